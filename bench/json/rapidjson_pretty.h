// Writing a RapidJSON document in its pretty layout straight into a file,
// as the peer program and the benchmarks do it.
#pragma once

#include <cstdio>
#include <string>

#include <rapidjson/document.h>
#include <rapidjson/filewritestream.h>
#include <rapidjson/prettywriter.h>

namespace vx::bench {

// False when the file cannot be written.
inline bool WriteRapidJSONPretty(const rapidjson::Document& document, const std::string& fileName) {
  std::FILE* file = std::fopen(fileName.c_str(), "wb");
  if (file == nullptr) return false;
  char block[65536];
  rapidjson::FileWriteStream stream(file, block, sizeof block);
  rapidjson::PrettyWriter<rapidjson::FileWriteStream> writer(stream);
  document.Accept(writer);
  stream.Flush();
  return std::fclose(file) == 0;
}

}  // namespace vx::bench
