#include "support/pause.h"

#include <atomic>
#include <chrono>
#include <thread>

namespace vx {

namespace {

void Sleep(int milliseconds) { std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds)); }

std::atomic<TPauseFunction> gPause{&Sleep};

}  // namespace

void Pause(int milliseconds) { gPause.load()(milliseconds); }

TPauseFunction SetPauseFunction(TPauseFunction pause) { return gPause.exchange(pause ? pause : &Sleep); }

}  // namespace vx
