#include <windows.h>

#include <mmsystem.h>

#include "ui/wave.h"

namespace vx {

void TWaveData::Play() const {
  if (FData.empty()) return;
  // The system plays from this memory asynchronously; the owning TWave
  // stops it before the data goes.
  PlaySoundA(FData.data(), nullptr, SND_ASYNC | SND_NODEFAULT | SND_MEMORY);
}

TWave::~TWave() {
  if (!WaveData.Empty()) PlaySoundA(nullptr, nullptr, 0);
}

}  // namespace vx
