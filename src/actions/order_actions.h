// The window's actions on the host's order: save it to a file, send order
// files to the host, copy its positions to the clipboard. They take plain
// values and the user-interface seam, never a window, so they also run in
// tests and in the command-line tool.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace vx {

class TStringList;
class TUserInterface;
class TVXJSONObject;

// The window's order document, created empty (not valid) at start-up and
// freed with the window.
struct TOrderDocumentDelete {
  void operator()(TVXJSONObject* document) const;
};
using TOrderDocumentPtr = std::unique_ptr<TVXJSONObject, TOrderDocumentDelete>;
TOrderDocumentPtr NewOrderDocument();

// What every action works on; all of it belongs to the caller.
struct TOrderActionContext {
  TUserInterface& UI;
  // The document that the save and the send reload; never null.
  TVXJSONObject* OrderDocument;
  // Temporary attachment files written while sending, deleted by the
  // owner at its end; the actions only append.
  TStringList& TempFiles;
  // Refreshes the caption from the host's database path; a caller without
  // a caption gives an empty function.
  std::function<void()> UpdateCaption;
};

// The host's current customer, for the open dialog's second filter.
struct TCurrentCustomer {
  std::string CustomerNumber;  // the address's "CustomerNumber"
  std::string AdressSmart;     // the address's "AdressSmart"
};
// From the host's "SIMPLEGETJSON" answer: the address of the order it
// holds, or the two members at its root when it holds no order. Both empty
// when the answer is empty. Raises the load's errors (broken JSON, an order
// without address, neither order nor customer).
TCurrentCustomer ReadCurrentCustomer();

// True when the name ends in ".json" in any letter case: the only order
// files that the send takes and the open dialog shows.
bool HasJsonExtension(const std::string& fileName);

// "VX Auftrag speichern": the host's open order into a file the user
// chooses. The file written always ends in ".json": a dialog's answer
// without it gets it appended (a dialog may take the proposed name's date
// for an extension and add none), and an existing file of the appended
// name is replaced only when the user says yes; no ends the action as a
// cancelled dialog does. Errors of the general kind are shown to the user
// ("Auftrag wurde nicht geladen" and the text), others pass on. True when
// the file was written; savedFile, when given, then receives its path.
bool ButtonReadClick(const TOrderActionContext& context, std::string* savedFile = nullptr);
// "Öffnen und nach VX senden": the open dialog, then PostOrderFiles.
void ButtonWriteClick(const TOrderActionContext& context);

// What became of one entry of PostOrderFiles.
enum class TSendResult {
  Delivered,      // the host acknowledged the document
  Refused,        // sent, but the host did not acknowledge it
  Unreadable,     // no order could be loaded from it
  NotJson,        // its name does not end in ".json"
  Missing,        // nothing of that name is there
  Folder,         // a folder of that name
  NotInEditMode,  // not tried: the host's order was not in edit mode
};
struct TSendReport {
  std::string FileName;  // as given
  TSendResult Result = TSendResult::Delivered;
  std::string Reason;  // for Unreadable: the load's error text
};

// Sends each order file of the list, in order, to the host's open order;
// the dialog's choice and dropped files come here. Names that are no file
// or not ".json" are skipped; a file that cannot be read or mapped is
// reported and the next one still goes. The sound follows the last entry
// when it was sent. False when the host's order was not in edit mode, so
// that nothing was sent. report, when given, receives one line per entry
// in list order (the window shows nothing for an entry the host did not
// acknowledge).
bool PostOrderFiles(const TOrderActionContext& context, const std::vector<std::string>& fileNames,
                    std::vector<TSendReport>* report = nullptr);
// "Nur Inhalt Kopieren": the positions of the host's open order onto the
// clipboard; true when the clipboard was written. The attachment files the
// host named are deleted only after the block went onto the clipboard.
bool CopyPositionsToClipboard(const TOrderActionContext& context);

}  // namespace vx
