#include "documents/save_parser.h"

namespace vx {

namespace {

// The position keys the host imports, in the order it gets them.
const char* const kPositionKeys[] = {"Intern",   "Price",         "TypLine",      "Position", "Unit",
                                     "Quantity", "Description1",  "Description2", "Number",   "TaxRate",
                                     "LongText", "DeliverNumber", "SerialNumber", "Rabatt",   "L2"};

}  // namespace

bool HostMayDeleteL2(const TVXJSONObject& document, const std::string& l2) {
  return l2.empty() || document.IsExtractedL2File(l2);
}

void TSaveParser::ParseText(const std::string&, TStringList&, const std::string& description, uint8_t) {
  if (!OrderDocument) throw Exception(JsonErrorText("TSaveParser", "no order document"));
  TVXJSONObject& document = *OrderDocument;
  TJsonArray& parts = document.Parts();
  Importer().SetDescription(description);
  TJSON::AddImportBoolean(ilOrder, "NettoPrices", document.JSON().Values("NettoPrices").AsBoolean());
  TJSON::AddImportBoolean(ilOrder, "TaxImport", true);
  TJSON::AddImportBoolean(ilOrder, "UpdateParts", false);
  TJSON::AddImportBoolean(ilOrder, "AppendMode", true);
  for (int i = 0; i < parts.Count(); ++i) {
    TJSON::NewPart();
    TJsonObject& part = parts.Items(i).AsObject();
    for (const char* key : kPositionKeys) TJSON::AddImportString(ilPart, key, part.Values(key).AsString());
    TJSON::AddImportBoolean(ilPart, "DeleteL2", HostMayDeleteL2(document, part.Values("L2").AsString()));
  }
}

}  // namespace vx
