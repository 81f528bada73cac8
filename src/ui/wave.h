// The confirmation sound: a complete wave file held in memory and played
// by the system in the background. Its stored form is portable; playing
// it, and so TWave, exists only on Windows (wave_win.cpp).
#pragma once

#include <string>

#include "support/streams.h"

namespace vx {

class TWaveData {
 public:
  void Clear() { FData.clear(); }
  bool Empty() const { return FData.empty(); }
  const std::string& Data() const { return FData; }

  // The stored form: the size as a signed 32-bit little-endian number, then
  // the bytes. A size of 0 or less leaves the data empty; a stream that
  // ends early raises EStreamError and leaves it empty too.
  void ReadData(TStream& stream);
  // Writes nothing for empty data.
  void WriteData(TStream& stream) const;

  // Starts playing and returns at once; a new call stops a sound still
  // playing. Nothing plays for empty or unplayable data, and no default
  // sound replaces it; no error is reported.
  void Play() const;

 private:
  std::string FData;
};

class TWave {
 public:
  TWave() = default;
  // Stops a sound still playing from this data, which is about to go.
  ~TWave();
  TWave(const TWave&) = delete;
  TWave& operator=(const TWave&) = delete;

  TWaveData WaveData;
  void Play() const { WaveData.Play(); }
};

}  // namespace vx
