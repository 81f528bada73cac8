// What the copy and save actions derive from a loaded order document: the
// grid lines of the clipboard block and the proposed order file names.
#pragma once

#include <string>

#include "documents/data_grid_lines.h"
#include "documents/file_name_template.h"
#include "documents/order_document.h"

namespace vx {

// Appends one line per position, in order (Isnetto from the root's
// "NettoPrices" on every line), and sets the lines' GUID to the root's
// "UID". Keys a position lacks are added to the document, as every lookup
// does. Raises the model's value type errors.
void FillDataGridLines(TVXJSONObject& document, TDataGridLines& lines);

// The placeholder values of a valid document: the address's "AdressSmart"
// and "CustomerNumber", the order's "PrintName" and "PrintUID" as text.
TFileNameValues FileNameValuesOf(TVXJSONObject& document);

// ProposeOrderFileName of the template with the document's values.
std::string ProposeOrderFileName(TVXJSONObject& document, const std::string& fileNameTemplate,
                                 const TCalendarDate& today);

// The name the save dialog proposes: the template filled from the document
// and made safe. When that leaves nothing, the default template's name.
std::string ProposeSaveFileName(TVXJSONObject& document, const std::string& fileNameTemplate,
                                const TCalendarDate& today);

// The local date of today.
TCalendarDate Today();

}  // namespace vx
