// The document commands of vxorder: what the send, copy and save actions
// would make of an order file, written to standard output.
#include <string>

#include "actions/order_actions.h"
#include "binary_output.h"
#include "command_support.h"
#include "commands.h"
#include "documents/data_grid_lines.h"
#include "documents/order_document.h"
#include "documents/order_outputs.h"
#include "documents/save_parser.h"
#include "support/errors.h"

namespace vx::vxorder {
namespace {

// Loads as the actions do; a load that raises nothing is valid unless the
// name was empty.
void LoadOrder(TVXJSONObject& document, const std::string& fileName, bool tryBackup) {
  document.Load(fileName, false, tryBackup);
  if (!document.IsValid()) throw Exception("no order file given");
}

int ImportDocument(const TArgs& args) {
  SetBinaryOutput();
  if (args.size() != 1) return WrongArguments("import-doc", "FILE");
  return RunReportingErrors([&args] {
    TVXJSONObject document;
    LoadOrder(document, args[0], false);
    // The extracted attachments stay in the temporary folder, as the host
    // would find them; the document names them.
    TStringList tempFiles;
    ExtractL2Files(document, tempFiles);
    std::string text;
    TSaveParser parser;
    parser.OrderDocument = &document;
    parser.SendFunction = [&text](const std::string& documentText, int32_t, const std::string&) {
      text = documentText;
      return true;
    };
    parser.Execute("", "", kImportAsText, 0);
    return WriteBytes(stdout, text) ? 0 : 1;
  });
}

int Grid(const TArgs& args) {
  SetBinaryOutput();
  if (args.size() != 1) return WrongArguments("grid", "FILE");
  return RunReportingErrors([&args] {
    TVXJSONObject document;
    LoadOrder(document, args[0], true);
    // The attachment files belong to the user here: embedded, not deleted.
    EmbedL2Files(document);
    TDataGridLines lines;
    FillDataGridLines(document, lines);
    TMemoryStream stream;
    WriteDataGridLinesStream(lines, stream);
    return WriteBytes(stdout, MakeClipboardBlock(stream)) ? 0 : 1;
  });
}

int Name(const TArgs& args) {
  SetBinaryOutput();
  if (args.size() != 1) return WrongArguments("name", "FILE");
  return RunReportingErrors([&args] {
    TVXJSONObject document;
    LoadOrder(document, args[0], true);
    // The save action's proposal, so that "save FOLDER" writes this name.
    const std::string name = ProposeSaveFileName(document, LoadFileNameTemplate(), Today());
    return WriteTextLine(stdout, name) ? 0 : 1;
  });
}

}  // namespace

const std::vector<TCommand>& DocumentCommands() {
  static const std::vector<TCommand> commands = {
      {"import-doc", "FILE", "write the import document that sending FILE would give", ImportDocument},
      {"grid", "FILE", "write the clipboard block (size, component stream) of FILE's positions", Grid},
      {"name", "FILE", "print the file name the save action proposes for FILE", Name},
  };
  return commands;
}

}  // namespace vx::vxorder
