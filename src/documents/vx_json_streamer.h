// Writes an import tree as compact JSON text: no blanks or line breaks,
// children in insertion order. Its string rules are the host's: bytes from
// 0x81 up are written raw and 0x80 as the euro escape, unlike the order
// files' writer.
#pragma once

#include <string>

#include "documents/vx_json.h"
#include "support/streams.h"

namespace vx {

class TVXJSONStreamer {
 public:
  // The text of the tree; empty for no node. A pair without a value writes
  // null for it.
  static std::string GenerateText(const TVXCustomJSON* root);
  // Writes the text's bytes at the stream's position when both are given;
  // stream errors pass to the caller.
  static void SaveToStream(const TVXCustomJSON* root, TStream* stream);
};

}  // namespace vx
