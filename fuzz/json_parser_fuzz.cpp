// libFuzzer target for the JSON parser: any crash, sanitizer report or
// broken property (see CheckJsonInput) aborts with the input kept.
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "json/json_fuzz_check.h"  // tests/json

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string problem =
      vx::testing::CheckJsonInput(std::string_view(reinterpret_cast<const char*>(data), size));
  if (!problem.empty()) {
    std::fprintf(stderr, "%s\n", problem.c_str());
    std::abort();
  }
  return 0;
}
