// What the peer programs of the whole-file rows share: their command line
// and reading the file it names.
#pragma once

#include <cstdio>
#include <cstring>
#include <string>

#include "support/file_io.h"

namespace vx::bench {

// Checks "check FILE", "compact FILE" or "format FILE OUT" and reads FILE
// into text; false, with a message, when either fails.
inline bool ReadPeerArguments(int argc, char** argv, const char* program, std::string& text) {
  const bool known = argc == 3 && (std::strcmp(argv[1], "check") == 0 || std::strcmp(argv[1], "compact") == 0);
  if (!known && !(argc == 4 && std::strcmp(argv[1], "format") == 0)) {
    std::fprintf(stderr, "usage: %s check|compact FILE | format FILE OUT\n", program);
    return false;
  }
  if (!ReadWholeFile(argv[2], &text)) {
    std::fprintf(stderr, "cannot read %s\n", argv[2]);
    return false;
  }
  return true;
}

}  // namespace vx::bench
