#include "json/json_stored_text.h"

#include "support/text_utils.h"

namespace vx {

std::string DecodeStoredText(std::string_view raw, uint8_t flags) {
  if (!(flags & TJsonTextFlags::kEscaped)) return std::string(raw);
  std::string text;
  text.reserve(raw.size());
  AppendDecodedJsonText(text, raw);
  return text;
}

bool StoredNameEquals(std::string_view raw, uint8_t flags, std::string_view name) {
  if (flags & TJsonTextFlags::kEscaped) return TextEquals(DecodeStoredText(raw, flags), name);
  return TextEquals(raw, name);
}

}  // namespace vx
