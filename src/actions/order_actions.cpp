#include "actions/order_actions.h"

#include "actions/window_messages.h"
#include "documents/data_grid_lines.h"
#include "documents/order_document.h"
#include "documents/order_outputs.h"
#include "documents/save_parser.h"
#include "hostlink/host_commands.h"
#include "support/errors.h"
#include "support/file_io.h"
#include "support/folders.h"
#include "support/text_utils.h"
#include "ui/user_interface.h"

namespace vx {

namespace {

// The save and the open dialog share the remembered filter index.
constexpr const char* kDialogKey = kProgramKey;
constexpr char kJsonFilter[] = "JSON File|*.json";
constexpr char kJsonExtension[] = "json";
constexpr char kJsonFileExtension[] = ".json";

// Every action begins by telling the user whether the host is reachable.
void RefreshCaption(const TOrderActionContext& context) {
  if (context.UpdateCaption) context.UpdateCaption();
}

bool HostCanTakePositions() { return TextIsTrue(ReadIPCValueSync("CANPOSTJSON")); }

std::string LowerCase(std::string text) {
  for (char& c : text) c = static_cast<char>(AnsiLowerChar(static_cast<unsigned char>(c)));
  return text;
}

// The host's temporary order file belongs to this program once answered;
// it goes only after a load that did not raise, so a broken one can still
// be looked at.
void LoadHostOrder(TVXJSONObject& document, const std::string& answer) {
  document.Load(answer, false, true);
  if (!answer.empty()) DeleteFileRetry(answer);
}

std::string OpenDialogFilter(const TCurrentCustomer& current) {
  const std::string customer = MakeFileNameSafe(current.CustomerNumber, true);
  const std::string address = MakeFileNameSafe(current.AdressSmart, false);
  std::string filter = kJsonFilter;
  if (!customer.empty()) {
    filter += "|JSON File f\xfc" "r Kundennummer " + customer + " [" + address + "]|*" + customer + "*.json";
  }
  return filter;
}

// The path the save writes for the dialog's answer. The dialog asked
// before its own answer is replaced, not before the appended name is:
// that question comes here. Empty when the user keeps the existing file.
std::string SaveTarget(TUserInterface& ui, const std::string& chosen) {
  if (HasJsonExtension(chosen)) return chosen;
  const std::string target = chosen + kJsonFileExtension;
  if (FileIsPresent(target) && !ui.ShowHtmlQuestion(ReplaceFileQuestion(target))) return "";
  return target;
}

// The save road after the host's answer; its errors reach the guard of
// ButtonReadClick. True when the file was written.
bool SaveHostOrder(const TOrderActionContext& context, const std::string& answer, std::string* savedFile) {
  TVXJSONObject& document = *context.OrderDocument;
  LoadHostOrder(document, answer);
  if (!document.IsValid()) {
    context.UI.ShowHtmlMessage(kOrderNotLoaded);
    return false;
  }
  TFileDialogRequest request;
  request.Save = true;
  request.DialogKey = kDialogKey;
  request.Filter = kJsonFilter;
  request.ProposedFileName = ProposeSaveFileName(document, LoadFileNameTemplate(), Today());
  request.DefaultExt = kJsonExtension;
  const std::vector<std::string> chosen = context.UI.ExecuteFileDialog(request);
  if (chosen.empty() || chosen.front().empty()) return false;
  const std::string target = SaveTarget(context.UI, chosen.front());
  if (target.empty()) return false;
  WriteOrderFile(document, target);
  context.UI.ShowHtmlMessage(SavedFileMessage(target));
  if (savedFile) *savedFile = target;
  return true;
}

// Why an entry is not even loaded; Delivered for one that is.
TSendResult EntryResult(const std::string& fileName) {
  if (FileIsPresent(fileName)) return HasJsonExtension(fileName) ? TSendResult::Delivered : TSendResult::NotJson;
  return FolderIsPresent(fileName) ? TSendResult::Folder : TSendResult::Missing;
}

// Loads one order file into the window's document and sends it: Delivered
// or Refused by the host's acknowledgement, Unreadable (with the load's
// error in reason) when no valid order loads.
TSendResult SendOrderFile(const TOrderActionContext& context, const std::string& fileName, std::string& reason) {
  TVXJSONObject& document = *context.OrderDocument;
  try {
    document.Load(fileName, false, false);
    if (!document.IsValid()) return TSendResult::Unreadable;
    ExtractL2Files(document, context.TempFiles);
    TSaveParser parser;
    parser.OrderDocument = &document;
    return parser.Execute("", "", kImportAsText, 0) ? TSendResult::Delivered : TSendResult::Refused;
  } catch (const Exception& error) {
    // One broken file must not keep the others from the host.
    reason = error.Message();
    return TSendResult::Unreadable;
  }
}

}  // namespace

void TOrderDocumentDelete::operator()(TVXJSONObject* document) const { delete document; }

TOrderDocumentPtr NewOrderDocument() { return TOrderDocumentPtr(new TVXJSONObject()); }

bool HasJsonExtension(const std::string& fileName) {
  return LowerCase(ExtractFileExt(fileName)) == kJsonFileExtension;
}

TCurrentCustomer ReadCurrentCustomer() {
  TVXJSONObject current;
  TCurrentCustomer customer;
  try {
    current.Load(ReadIPCValueSync("SIMPLEGETJSON"), true, false);
  } catch (const Exception&) {
    // The exchange server answers with the customer's two members at the
    // root, without an order around them; any other text that parses but
    // holds no order is an error.
    TFastJSON& answer = current.JSON();
    if (!answer.JsonObject() || answer.JsonObject()->Find("CustomerNumber") < 0) throw;
    customer.CustomerNumber = answer.Values("CustomerNumber").AsString();
    customer.AdressSmart = answer.Values("AdressSmart").AsString();
    return customer;
  }
  if (!current.IsValid()) return customer;
  customer.CustomerNumber = current.Adress().Values("CustomerNumber").AsString();
  customer.AdressSmart = current.Adress().Values("AdressSmart").AsString();
  return customer;
}

bool ButtonReadClick(const TOrderActionContext& context, std::string* savedFile) {
  RefreshCaption(context);
  const std::string answer = ReadIPCValueSync("GETJSON");
  try {
    return SaveHostOrder(context, answer, savedFile);
  } catch (const Exception& error) {
    context.UI.ShowHtmlMessage(kOrderNotLoadedBecause + error.Message());
    return false;
  }
}

void ButtonWriteClick(const TOrderActionContext& context) {
  RefreshCaption(context);
  if (!HostCanTakePositions()) {
    context.UI.ShowHtmlMessage(kNotInEditMode);
    return;
  }
  TFileDialogRequest request;
  request.DialogKey = kDialogKey;
  request.Filter = OpenDialogFilter(ReadCurrentCustomer());
  request.MultiSelect = true;
  request.DefaultExt = kJsonExtension;
  const std::vector<std::string> fileNames = context.UI.ExecuteFileDialog(request);
  if (!fileNames.empty()) PostOrderFiles(context, fileNames);
}

bool PostOrderFiles(const TOrderActionContext& context, const std::vector<std::string>& fileNames,
                    std::vector<TSendReport>* report) {
  if (report) report->clear();
  RefreshCaption(context);
  if (!HostCanTakePositions()) {
    context.UI.ShowHtmlMessage(kNotInEditMode);
    if (report) {
      for (const std::string& fileName : fileNames) report->push_back({fileName, TSendResult::NotInEditMode, ""});
    }
    return false;
  }
  for (size_t i = 0; i < fileNames.size(); ++i) {
    const std::string& fileName = fileNames[i];
    std::string reason;
    TSendResult result = EntryResult(fileName);
    if (result == TSendResult::Delivered) result = SendOrderFile(context, fileName, reason);
    if (report) report->push_back({fileName, result, reason});
    if (result == TSendResult::Unreadable) context.UI.ShowHtmlMessage(kDataNotReadable + fileName);
    const bool sent = result == TSendResult::Delivered || result == TSendResult::Refused;
    if (sent && i + 1 == fileNames.size()) context.UI.PlayWave();
  }
  return true;
}

bool CopyPositionsToClipboard(const TOrderActionContext& context) {
  TBusyCursorScope busy(context.UI);
  TVXJSONObject document;
  LoadHostOrder(document, ReadIPCValueSync("GETJSON"));
  if (!document.IsValid()) return false;
  const std::vector<std::string> embedded = EmbedL2Files(document);
  TDataGridLines lines;
  FillDataGridLines(document, lines);
  TMemoryStream stream;
  WriteDataGridLinesStream(lines, stream);
  context.UI.PutOnClipboard(kDataGridClipboardFormat, MakeClipboardBlock(stream));
  // The attachments travel in the block now; only now may their files go.
  DeleteEmbeddedL2Files(embedded);
  return true;
}

}  // namespace vx
