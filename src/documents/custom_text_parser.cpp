#include "documents/custom_text_parser.h"

#include "hostlink/host_commands.h"

namespace vx {

TCustomTextParser::TCustomTextParser() : SendFunction(WriteIPCValueASync) {}

TCustomTextParser::~TCustomTextParser() = default;

int32_t TCustomTextParser::ValueTypeCode() const { return kImportTypeCode; }

TJSONImport& TCustomTextParser::Importer() {
  if (!FImporter) FImporter = std::make_unique<TJSONImport>();
  return *FImporter;
}

bool TCustomTextParser::Send(TStringList&, const std::string&, int flags) {
  const std::string command = CommandName();
  const std::string text = Importer().Execute(flags);
  return (flags & kImportAsText) != 0 && SendFunction(text, ValueTypeCode(), command);
}

bool TCustomTextParser::Execute(const std::string& text, const std::string& description, int flags, uint8_t option) {
  TStringList lines;
  try {
    ParseText(text, lines, description, option);
    return Send(lines, description, flags);
  } catch (...) {
    TJSON::ResetImportDocument();
    throw;
  }
}

}  // namespace vx
