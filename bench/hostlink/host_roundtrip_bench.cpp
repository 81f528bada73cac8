// One "DBPATH" read through the whole host link against the simulator,
// beside a bare ping-pong of the same bytes over the same transport with
// no framing code: the difference is what the framing costs.
#include <benchmark/benchmark.h>

#include "roundtrip_rig.h"

namespace vx {
namespace {

TRoundTripRig* gRig = nullptr;

void BM_ReadIPCValueSync(benchmark::State& state) {
  for (auto _ : state) {
    if (!gRig->FramedRoundTrip()) state.SkipWithError("wrong answer");
  }
}
BENCHMARK(BM_ReadIPCValueSync);

void BM_BarePingPong(benchmark::State& state) {
  for (auto _ : state) {
    if (!gRig->BareRoundTrip()) {
      state.SkipWithError("bare round trip failed");
      break;
    }
  }
}
BENCHMARK(BM_BarePingPong);

}  // namespace
}  // namespace vx

int main(int argc, char** argv) {
  vx::TRoundTripRig rig;
  vx::gRig = &rig;
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  return 0;
}
