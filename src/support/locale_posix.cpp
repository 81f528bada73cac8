#include "support/text_utils.h"

namespace vx {

// Programs here run in the "C" numeric locale; the host's Windows locale
// does not apply.
char DecimalSeparator() { return '.'; }

}  // namespace vx
