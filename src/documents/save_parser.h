// Maps the positions of an order document onto the import document and
// sends it: the send action's converter.
#pragma once

#include "documents/custom_text_parser.h"
#include "documents/order_document.h"

namespace vx {

class TSaveParser : public TCustomTextParser {
 public:
  // Not owned; must be valid when Execute runs (its L2 attachments already
  // extracted).
  TVXJSONObject* OrderDocument = nullptr;

  // text and option are not used. Order switches "NettoPrices" (the root's
  // flag), "TaxImport" true, "UpdateParts" false, "AppendMode" true; then
  // one position object per position, its keys read as text (a missing key
  // is added to the order document and sent as ""), and "DeleteL2".
  // Raises the model's value type errors for a position that is no object
  // or a value that is an object or array.
  void ParseText(const std::string& text, TStringList& lines, const std::string& description, uint8_t option) override;
};

// "DeleteL2" of a position: true unless "L2" names a file that is not a
// temporary file extracted for this document, so that the host never
// deletes a user's own file that an order file points to.
bool HostMayDeleteL2(const TVXJSONObject& document, const std::string& l2);

}  // namespace vx
