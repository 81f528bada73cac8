// How the JSON model keeps the text of a string value or of a pair's name:
// the bytes as they stand in the parsed text (escapes still in, when the
// flags say kEscaped), or a copy that belongs to the node (kOwned). The
// flags are TJsonTextFlags. For the model's own code only.
#pragma once

#include <cstdint>
#include <cstring>
#include <new>
#include <string>
#include <string_view>

#include "json/fast_json.h"
#include "json/json_text_internal.h"

namespace vx {

// A node's text: where its bytes are, their length when it fits 32 bits
// (else 0, with kLong, and the length stands before the bytes), and
// TJsonTextFlags.
struct TJsonStoredText {
  const char* Data = nullptr;
  uint32_t Length = 0;
  uint8_t Flags = 0;
};

// The functions a node calls for every text it makes, reads or frees are
// inline: the parser makes a text for every string it reads.

// A text for a node with the given flags; copy makes it the node's own. A
// length beyond 32 bits is kept before the bytes, so such a text is always
// copied. An empty text is no text. Raises std::bad_alloc.
inline TJsonStoredText MakeStoredText(std::string_view bytes, uint8_t flags, bool copy) {
  if (bytes.empty()) return TJsonStoredText();
  if (bytes.size() > UINT32_MAX) {
    const size_t length = bytes.size();
    char* block = static_cast<char*>(::operator new(sizeof length + length));
    std::memcpy(block, &length, sizeof length);
    std::memcpy(block + sizeof length, bytes.data(), length);
    return {block + sizeof length, 0, static_cast<uint8_t>(flags | TJsonTextFlags::kOwned | TJsonTextFlags::kLong)};
  }
  if (!copy) return {bytes.data(), static_cast<uint32_t>(bytes.size()), flags};
  char* data = static_cast<char*>(::operator new(bytes.size()));
  std::memcpy(data, bytes.data(), bytes.size());
  return {data, static_cast<uint32_t>(bytes.size()), static_cast<uint8_t>(flags | TJsonTextFlags::kOwned)};
}

// The bytes of a stored text, escapes and all.
inline std::string_view StoredTextView(const char* data, uint32_t length, uint8_t flags) {
  if (flags & TJsonTextFlags::kLong) {
    size_t longLength;
    std::memcpy(&longLength, data - sizeof longLength, sizeof longLength);
    return std::string_view(data, longLength);
  }
  return std::string_view(data, length);
}

// Frees the bytes when the node owns them; does nothing otherwise.
inline void FreeStoredText(const char* data, uint8_t flags) {
  if (!(flags & TJsonTextFlags::kOwned)) return;
  ::operator delete(const_cast<char*>(flags & TJsonTextFlags::kLong ? data - sizeof(size_t) : data));
}

// The text flags of a string's inner text in the form the parser found.
inline uint8_t StoredTextFlags(const TJsonStringForm& form) {
  return static_cast<uint8_t>((form.Escaped ? TJsonTextFlags::kEscaped : 0) |
                              (form.Canonical ? TJsonTextFlags::kCanonical : 0));
}

// The decoded text: the bytes as they are unless kEscaped says they hold
// escapes, which must be valid.
std::string DecodeStoredText(std::string_view raw, uint8_t flags);

// A stored name equals name ignoring the letter case of A-Z.
bool StoredNameEquals(std::string_view raw, uint8_t flags, std::string_view name);

}  // namespace vx
