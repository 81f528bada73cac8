// What the peer programs of the whole-file rows share: their command line
// and reading a whole file.
#pragma once

#include <cstdio>
#include <cstring>
#include <string>

namespace vx::bench {

// The file's bytes; false when it cannot be read.
inline bool ReadWholeFile(const char* name, std::string& text) {
  std::FILE* file = std::fopen(name, "rb");
  if (file == nullptr) return false;
  bool read = std::fseek(file, 0, SEEK_END) == 0;
  const long size = read ? std::ftell(file) : -1;
  read = size >= 0 && std::fseek(file, 0, SEEK_SET) == 0;
  if (read) {
    text.resize(static_cast<size_t>(size));
    read = std::fread(&text[0], 1, text.size(), file) == text.size();
  }
  std::fclose(file);
  return read;
}

// Checks "check FILE", "compact FILE" or "format FILE OUT" and reads FILE
// into text; false, with a message, when either fails.
inline bool ReadPeerArguments(int argc, char** argv, const char* program, std::string& text) {
  const bool known = argc == 3 && (std::strcmp(argv[1], "check") == 0 || std::strcmp(argv[1], "compact") == 0);
  if (!known && !(argc == 4 && std::strcmp(argv[1], "format") == 0)) {
    std::fprintf(stderr, "usage: %s check|compact FILE | format FILE OUT\n", program);
    return false;
  }
  if (!ReadWholeFile(argv[2], text)) {
    std::fprintf(stderr, "cannot read %s\n", argv[2]);
    return false;
  }
  return true;
}

}  // namespace vx::bench
