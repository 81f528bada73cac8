// The host-link round trip against the bare ping-pong without Google
// Benchmark, so that it also runs in the Windows build: alternating
// batches of both, the median time per round trip of each and their ratio.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "roundtrip_rig.h"
#include "support/errors.h"

namespace vx {
namespace {

const char kUsage[] =
    "usage: hostlink_roundtrip_ratio [--iterations N] [--batches N]\n"
    "  --iterations N  round trips per batch (default 200)\n"
    "  --batches N     timed batches of each variant (default 7)\n";

constexpr int kWarmUpRoundTrips = 50;

struct TRatioOptions {
  int Iterations = 200;
  int Batches = 7;
};

// False for an unknown option or a count that is not a positive number.
bool ParseRatioOptions(int argc, char** argv, TRatioOptions& options) {
  for (int i = 1; i < argc; ++i) {
    const std::string option = argv[i];
    int* target = option == "--iterations" ? &options.Iterations : option == "--batches" ? &options.Batches : nullptr;
    if (!target || i + 1 == argc) return false;
    char* end = nullptr;
    const long value = std::strtol(argv[++i], &end, 10);
    if (*end != '\0' || value < 1 || value > 1000000) return false;
    *target = static_cast<int>(value);
  }
  return true;
}

using TRoundTrip = bool (TRoundTripRig::*)();

void RunRoundTrips(TRoundTripRig& rig, TRoundTrip roundTrip, int count) {
  for (int i = 0; i < count; ++i) {
    if (!(rig.*roundTrip)()) throw Exception("A round trip failed.");
  }
}

// Microseconds per round trip over one batch.
double TimeBatch(TRoundTripRig& rig, TRoundTrip roundTrip, int count) {
  const auto start = std::chrono::steady_clock::now();
  RunRoundTrips(rig, roundTrip, count);
  const std::chrono::duration<double, std::micro> elapsed = std::chrono::steady_clock::now() - start;
  return elapsed.count() / count;
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const size_t middle = values.size() / 2;
  return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

int Run(const TRatioOptions& options) {
  TRoundTripRig rig;
  RunRoundTrips(rig, &TRoundTripRig::FramedRoundTrip, kWarmUpRoundTrips);
  RunRoundTrips(rig, &TRoundTripRig::BareRoundTrip, kWarmUpRoundTrips);
  std::vector<double> framed;
  std::vector<double> bare;
  for (int batch = 0; batch < options.Batches; ++batch) {
    // Taking turns at going first keeps a drift of the machine from
    // favouring either variant.
    if (batch % 2 == 0) {
      framed.push_back(TimeBatch(rig, &TRoundTripRig::FramedRoundTrip, options.Iterations));
      bare.push_back(TimeBatch(rig, &TRoundTripRig::BareRoundTrip, options.Iterations));
    } else {
      bare.push_back(TimeBatch(rig, &TRoundTripRig::BareRoundTrip, options.Iterations));
      framed.push_back(TimeBatch(rig, &TRoundTripRig::FramedRoundTrip, options.Iterations));
    }
  }
  const double framedMedian = Median(framed);
  const double bareMedian = Median(bare);
  std::printf("framed %.1f us  bare %.1f us  ratio %.2f\n", framedMedian, bareMedian, framedMedian / bareMedian);
  return 0;
}

}  // namespace
}  // namespace vx

int main(int argc, char** argv) {
  vx::TRatioOptions options;
  if (!vx::ParseRatioOptions(argc, argv, options)) {
    std::fputs(vx::kUsage, stderr);
    return 2;
  }
  try {
    return vx::Run(options);
  } catch (const vx::Exception& error) {
    std::fprintf(stderr, "%s\n", error.what());
    return 1;
  }
}
