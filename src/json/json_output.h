// Where the JSON writer's bytes go: a block that is appended to a text, or
// written to a stream, whenever it is full. Pieces are copied into the
// block without the checks of a string's append.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>

namespace vx {

class TStream;

class TJsonOutput {
 public:
  // Writes to stream, from its position on; with no stream, into a text.
  // sizeHint: about how many bytes the text will take, when known.
  TJsonOutput(TStream* stream, size_t sizeHint);
  TJsonOutput(const TJsonOutput&) = delete;
  TJsonOutput& operator=(const TJsonOutput&) = delete;

  // Stream errors pass through, when the block is written out.
  void Put(char c) {
    if (FUsed == kBlockSize) Spill();
    FBlock[FUsed++] = c;
  }
  void Put(std::string_view bytes) {
    const size_t size = bytes.size();
    if (size > kBlockSize - FUsed) {
      Spill();
      if (size > kBlockSize / 2) {
        Emit(bytes);
        return;
      }
    }
    char* const out = FBlock.get() + FUsed;
    const char* const in = bytes.data();
    // Most pieces are a few bytes (a line break, an indentation, a name):
    // two copies of a fixed size that overlap cover them without a call.
    if (size >= 8 && size <= 16) {
      std::memcpy(out, in, 8);
      std::memcpy(out + size - 8, in + size - 8, 8);
    } else if (size >= 4 && size < 8) {
      std::memcpy(out, in, 4);
      std::memcpy(out + size - 4, in + size - 4, 4);
    } else if (size > 0 && size < 4) {
      out[0] = in[0];
      out[size / 2] = in[size / 2];
      out[size - 1] = in[size - 1];
    } else if (size > 16) {
      std::memcpy(out, in, size);
    }
    FUsed += size;
  }

  // Room for up to size bytes (at most a block) written in place; Advance
  // then keeps the count written.
  char* Room(size_t size) {
    if (size > kBlockSize - FUsed) Spill();
    return FBlock.get() + FUsed;
  }
  void Advance(size_t count) { FUsed += count; }

  // The stream position of the next byte.
  int64_t Position() const { return FBase + FEmitted + static_cast<int64_t>(FUsed); }
  // Writes what is left to the stream.
  void Finish() { Spill(); }
  // The whole text; the output is empty afterwards.
  std::string TakeText() {
    Spill();
    return std::move(FText);
  }

 private:
  static constexpr size_t kBlockSize = 16 * 1024;

  void Spill();
  void Emit(std::string_view bytes);

  TStream* const FStream;
  std::unique_ptr<char[]> FBlock;
  size_t FUsed = 0;
  std::string FText;
  int64_t FBase = 0;
  int64_t FEmitted = 0;
};

}  // namespace vx
