#include "support/guid.h"

#include "support/text_utils.h"

namespace vx {

uint32_t NewGuidHash() { return ElfHash(NewGuidText()); }

}  // namespace vx
