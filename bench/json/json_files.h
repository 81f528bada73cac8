// The files the JSON benchmarks read: the two order files and the three
// documents of other shapes.
#pragma once

#include <string>

namespace vx::bench {

struct TJsonFile {
  const char* Label;
  std::string (*Make)();
  // The text is the model's own compact text, which vxorder compact gives
  // back byte for byte.
  bool OwnCompactText;
  // The 150 MB of attachments, which the runs under wine leave out.
  bool Large;
};

extern const TJsonFile kJsonFiles[5];

}  // namespace vx::bench
