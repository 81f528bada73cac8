// The pauses between retries go through one function that tests replace,
// so the long retry paths run in microseconds there.
#pragma once

namespace vx {

using TPauseFunction = void (*)(int milliseconds);

void Pause(int milliseconds);

// Installs a replacement (nullptr restores real sleeping); returns the previous one.
TPauseFunction SetPauseFunction(TPauseFunction pause);

}  // namespace vx
