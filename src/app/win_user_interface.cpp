#include "app/win_user_interface.h"

#include "app/application.h"
#include "app/busy_cursor.h"
#include "app/clipboard.h"
#include "app/message_box.h"
#include "settings/file_dialog.h"
#include "support/string_list.h"

namespace vx {

TWinUserInterface::TWinUserInterface(HWND owner, const TWave& wave) : FOwner(owner), FWave(wave) {
  ClipboardFormat(kDataGridClipboardFormat);
}

void TWinUserInterface::ShowHtmlMessage(const std::string& message) { vx::ShowHtmlMessage(message); }

bool TWinUserInterface::ShowHtmlQuestion(const std::string& question) { return vx::ShowHtmlQuestion(question); }

std::vector<std::string> TWinUserInterface::ExecuteFileDialog(const TFileDialogRequest& request) {
  std::string fileName;
  TStringList files;
  const std::string chosen =
      vx::ExecuteFileDialog(request.DialogKey, request.FolderKey, request.Filter, fileName, request.ProposedFileName,
                            request.MultiSelect ? &files : nullptr, nullptr, request.Save, request.DefaultFolder,
                            request.DefaultExt, FOwner);
  if (request.MultiSelect) return files.Lines();
  if (chosen.empty()) return {};
  return {chosen};
}

void TWinUserInterface::PutOnClipboard(const std::string& formatName, const std::string& block) {
  PutBlockOnClipboard(FOwner, ClipboardFormat(formatName), block);
}

void TWinUserInterface::PlayWave() { FWave.Play(); }

void TWinUserInterface::BeginBusyCursor() { vx::BeginBusyCursor(); }

void TWinUserInterface::EndBusyCursor() { vx::EndBusyCursor(); }

void TWinUserInterface::ShowException(const std::exception_ptr& error) { vx::ShowException(error); }

UINT TWinUserInterface::ClipboardFormat(const std::string& name) {
  auto known = FClipboardFormats.find(name);
  if (known != FClipboardFormats.end()) return known->second;
  const UINT format = RegisterClipboardFormatName(name);
  // A refused registration is tried again next time; the clipboard refuses
  // format 0 meanwhile.
  if (format != 0) FClipboardFormats.emplace(name, format);
  return format;
}

}  // namespace vx
