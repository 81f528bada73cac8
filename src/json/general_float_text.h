// The general decimal form in which the import document writes numbers.
#pragma once

#include <string>

namespace vx {

// At most 15 significant digits, "." as decimal separator, no thousands
// separators: plain while the integer part has at most 15 digits and the
// magnitude is at least 0.00001 ("1", "2.5", "-19.99", "0.00001"), else
// scientific with an unsigned exponent without leading zeros ("1.5E-7",
// "1E20"). Not-a-number and infinities give "NAN", "INF" and "-INF".
std::string GeneralFloatText(double value);

}  // namespace vx
