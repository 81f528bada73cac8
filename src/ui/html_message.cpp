#include "ui/html_message.h"

#include <string_view>

#include "support/string_list.h"
#include "ui/html_text.h"
#include "support/text_utils.h"

namespace vx {

namespace {

size_t FindIgnoringCase(std::string_view text, std::string_view pattern) {
  if (pattern.size() > text.size()) return std::string_view::npos;
  for (size_t at = 0; at + pattern.size() <= text.size(); ++at) {
    if (AnsiSameText(text.substr(at, pattern.size()), pattern)) return at;
  }
  return std::string_view::npos;
}

std::string RemoveFirstIgnoringCase(const std::string& text, std::string_view pattern) {
  const size_t at = FindIgnoringCase(text, pattern);
  if (at == std::string_view::npos) return text;
  return text.substr(0, at) + text.substr(at + pattern.size());
}

}  // namespace

std::string MessageToHtml(const std::string& text, int maxLines) {
  std::string normalized = text;
  ReplaceAllText(normalized, "\r\n", "<BR>");
  ReplaceAllText(normalized, "<BR>", "\r\n");
  TStringList lines;
  lines.SetText(normalized);
  std::string html;
  for (int i = 0; i < lines.Count(); ++i) {
    html += html.empty() ? lines.Get(i) : "<br>" + lines.Get(i);
    if (i + 1 == maxLines && lines.Count() > maxLines) {
      html += "<br>................<br>" + lines.Get(lines.Count() - 1);
      break;
    }
  }
  return html;
}

std::string MessagePlainText(const std::string& text) { return PlainText(ParseHtml(MessageToHtml(text))); }

TLinkAction MessageLinkAction(const std::string& target) {
  if (target.find("://") == std::string::npos && FindIgnoringCase(target, "mailto:") == std::string_view::npos) {
    return {};
  }
  for (const char* scheme : {"SHOpenFolderAndSelectItems", "fileselect"}) {
    if (FindIgnoringCase(target, scheme) != std::string_view::npos) {
      return {TLinkKind::SelectFile, RemoveFirstIgnoringCase(target, std::string(scheme) + "://")};
    }
  }
  return {TLinkKind::ShellOpen, RemoveFirstIgnoringCase(target, "file://")};
}

TBoxKeyResult MessageBoxKey(int key, bool shift, bool control, bool alt) {
  if (key == kKeyF1) return TBoxKeyResult::Swallow;
  const bool modifier = shift || control || alt || key == kKeyShift || key == kKeyControl || key == kKeyMenu;
  if (!modifier) return TBoxKeyResult::CloseCancel;
  if (key == kKeyReturn) return TBoxKeyResult::CloseOk;
  if (key == kKeyEscape) return TBoxKeyResult::CloseCancel;
  return TBoxKeyResult::Ignore;
}

TBoxKeyResult QuestionBoxKey(int key) {
  if (key == kKeyF1) return TBoxKeyResult::Swallow;
  if (key == kKeyReturn || key == kKeySpace) return TBoxKeyResult::PressFocused;
  if (key == kKeyEscape) return TBoxKeyResult::CloseCancel;
  return TBoxKeyResult::Ignore;
}

}  // namespace vx
