// What vxorder's check, compact and format do, done with nlohmann::json,
// in the same way as rapidjson_order.
//   nlohmann_order check FILE | compact FILE | format FILE OUT
// Numbers are converted exactly, as the model does. The writing differs
// from the model's as RapidJSON's does (texts as they are, the shortest
// form of numbers), with an indentation of two spaces: the formatted
// numbers file is more than twice the size of vxorder's.
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iomanip>
#include <string>

#include <nlohmann/json.hpp>

#include "peer_file.h"

int main(int argc, char** argv) {
  std::string text;
  if (!vx::bench::ReadPeerArguments(argc, argv, "nlohmann_order", text)) return 2;
  const nlohmann::json document = nlohmann::json::parse(text, nullptr, false);
  if (document.is_discarded()) {
    std::fputs("parse error\n", stderr);
    return 1;
  }
  if (std::strcmp(argv[1], "check") == 0) {
    std::printf("OK %zu positions\n", document["Order"][0]["Parts"].size());
    return 0;
  }
  if (std::strcmp(argv[1], "compact") == 0) {
    const std::string compact = document.dump();
    return std::fwrite(compact.data(), 1, compact.size(), stdout) == compact.size() ? 0 : 1;
  }
  std::ofstream out(argv[3], std::ios::binary);
  out << std::setw(2) << document;
  return out.good() ? 0 : 1;
}
