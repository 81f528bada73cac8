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
    if (bytes.empty()) return;
    if (bytes.size() > kBlockSize - FUsed) {
      Spill();
      if (bytes.size() > kBlockSize / 2) {
        Emit(bytes);
        return;
      }
    }
    std::memcpy(FBlock.get() + FUsed, bytes.data(), bytes.size());
    FUsed += bytes.size();
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
