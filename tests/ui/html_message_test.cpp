#include "ui/html_message.h"

#include <gtest/gtest.h>


namespace vx {
namespace {

std::string NumberedLines(int count) {
  std::string text;
  for (int i = 1; i <= count; ++i) text += "Zeile " + std::to_string(i) + "\r\n";
  return text;
}

std::string JoinedLines(int from, int to) {
  std::string html;
  for (int i = from; i <= to; ++i) html += (i == from ? "" : "<br>") + std::string("Zeile ") + std::to_string(i);
  return html;
}

TEST(MessageToHtml, BreaksInEveryForm) {
  for (const char* text : {"A<br>B", "A<BR>B", "A\r\nB", "A<Br>B", "A\nB", "A\rB", "A<br>B\r\n"}) {
    EXPECT_EQ(MessageToHtml(text), "A<br>B") << text;
  }
  EXPECT_EQ(MessageToHtml(""), "");
  EXPECT_EQ(MessageToHtml("Auftrag wurde <b>nicht geladen</b>."), "Auftrag wurde <b>nicht geladen</b>.");
}

TEST(MessageToHtml, LeadingEmptyLinesGoInnerOnesStay) {
  EXPECT_EQ(MessageToHtml("\r\n<br>A\r\n\r\nB"), "A<br><br>B");
  EXPECT_EQ(MessageToHtml("Auftrag wurde <b>nicht geladen</b>:\r\n<TFastJSON>Fehler"),
            "Auftrag wurde <b>nicht geladen</b>:<br><TFastJSON>Fehler");
  EXPECT_EQ(MessagePlainText("\r\nAuftrag wurde <b>nicht geladen</b>:\r\n<TFastJSON>Fehler"),
            "Auftrag wurde nicht geladen:\r\n<TFastJSON>Fehler");
}

TEST(MessageToHtml, TwentyOneLineRule) {
  const std::string dots = "<br>................<br>";
  EXPECT_EQ(MessageToHtml(NumberedLines(21)), JoinedLines(1, 21));
  EXPECT_EQ(MessageToHtml(NumberedLines(22)), JoinedLines(1, 21) + dots + "Zeile 22");
  EXPECT_EQ(MessageToHtml(NumberedLines(40)), JoinedLines(1, 21) + dots + "Zeile 40");
}

TEST(MessageLinkAction, FolderSchemesInAnyCase) {
  struct Case {
    const char* target;
    TLinkKind kind;
    const char* path;
  } cases[] = {
      {"SHOpenFolderAndSelectItems://C:\\Daten\\x.json", TLinkKind::SelectFile, "C:\\Daten\\x.json"},
      {"shopenfolderandselectitems://C:\\Daten\\x.json", TLinkKind::SelectFile, "C:\\Daten\\x.json"},
      {"FileSelect://C:\\M\xfcller\\a.json", TLinkKind::SelectFile, "C:\\M\xfcller\\a.json"},
      {"file://C:\\Daten\\x.txt", TLinkKind::ShellOpen, "C:\\Daten\\x.txt"},
      {"https://example.com/", TLinkKind::ShellOpen, "https://example.com/"},
      {"mailto:info@example.com", TLinkKind::ShellOpen, "mailto:info@example.com"},
      {"C:\\Daten\\x.json", TLinkKind::None, ""},
      {"c", TLinkKind::None, ""},
  };
  for (const Case& c : cases) {
    const TLinkAction action = MessageLinkAction(c.target);
    EXPECT_EQ(action.Kind, c.kind) << c.target;
    if (c.kind != TLinkKind::None) {
      EXPECT_EQ(action.Target, c.path) << c.target;
    }
  }
}

TEST(MessageBoxKey, ClosesOnPlainKeysOnly) {
  struct Case {
    int key;
    bool shift, control, alt;
    TBoxKeyResult result;
  } cases[] = {
      {' ', false, false, false, TBoxKeyResult::CloseCancel},
      {'A', false, false, false, TBoxKeyResult::CloseCancel},
      {kKeyReturn, false, false, false, TBoxKeyResult::CloseCancel},
      {kKeyEscape, false, false, false, TBoxKeyResult::CloseCancel},
      {kKeyF1, false, false, false, TBoxKeyResult::Swallow},
      {kKeyF1, true, false, false, TBoxKeyResult::Swallow},
      {kKeyShift, false, false, false, TBoxKeyResult::Ignore},
      {kKeyShift, true, false, false, TBoxKeyResult::Ignore},
      {kKeyControl, false, false, false, TBoxKeyResult::Ignore},
      {kKeyMenu, false, false, false, TBoxKeyResult::Ignore},
      {kKeyReturn, false, true, false, TBoxKeyResult::CloseOk},
      {kKeyEscape, true, false, false, TBoxKeyResult::CloseCancel},
      {'A', false, false, true, TBoxKeyResult::Ignore},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(MessageBoxKey(c.key, c.shift, c.control, c.alt), c.result) << c.key;
  }
}

TEST(QuestionBoxKey, OnlyTheButtonKeysAndEscapeAnswer) {
  const struct {
    int key;
    TBoxKeyResult result;
  } cases[] = {
      {kKeyReturn, TBoxKeyResult::PressFocused}, {kKeySpace, TBoxKeyResult::PressFocused},
      {kKeyEscape, TBoxKeyResult::CloseCancel},  {kKeyF1, TBoxKeyResult::Swallow},
      {'J', TBoxKeyResult::Ignore},              {kKeyShift, TBoxKeyResult::Ignore},
      {0x09, TBoxKeyResult::Ignore},  // Tab moves between the buttons
  };
  for (const auto& c : cases) EXPECT_EQ(QuestionBoxKey(c.key), c.result) << c.key;
}

}  // namespace
}  // namespace vx
