#include "json/json_output.h"

#include "support/streams.h"

namespace vx {

TJsonOutput::TJsonOutput(TStream* stream, size_t sizeHint) : FStream(stream), FBlock(new char[kBlockSize]) {
  if (FStream) {
    FBase = FStream->Position();
  } else if (sizeHint > 0) {
    // Only what is written is touched; a generous block costs nothing
    // more and saves copying a large text while it grows.
    FText.reserve(sizeHint + sizeHint / 4);
  }
}

void TJsonOutput::Spill() {
  Emit(std::string_view(FBlock.get(), FUsed));
  FUsed = 0;
}

void TJsonOutput::Emit(std::string_view bytes) {
  if (bytes.empty()) return;
  if (FStream) {
    FStream->WriteText(bytes);
  } else {
    FText.append(bytes);
  }
  FEmitted += static_cast<int64_t>(bytes.size());
}

}  // namespace vx
