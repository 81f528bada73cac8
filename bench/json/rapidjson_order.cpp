// What vxorder's check, compact and format do, done with RapidJSON: the
// yardstick of the whole-file rows. As vxorder does, the file is read into
// memory whole, the compact text is made in memory and then written, and
// the formatted text is written to its file while it is made.
//   rapidjson_order check FILE        prints "OK <n> positions"
//   rapidjson_order compact FILE      writes the compact text to standard output
//   rapidjson_order format FILE OUT   writes the pretty text to OUT
// Compact JSON holds no line break, so standard output needs no binary mode.
#include <cstdio>
#include <cstring>
#include <string>

#include <rapidjson/document.h>
#include <rapidjson/stringbuffer.h>
#include <rapidjson/writer.h>

#include "peer_file.h"
#include "rapidjson_pretty.h"

int main(int argc, char** argv) {
  std::string text;
  if (!vx::bench::ReadPeerArguments(argc, argv, "rapidjson_order", text)) return 2;
  rapidjson::Document document;
  document.Parse(text.data(), text.size());
  if (document.HasParseError()) {
    std::fprintf(stderr, "parse error at byte %zu\n", document.GetErrorOffset());
    return 1;
  }
  if (std::strcmp(argv[1], "check") == 0) {
    std::printf("OK %u positions\n", document["Order"][0]["Parts"].Size());
    return 0;
  }
  if (std::strcmp(argv[1], "compact") == 0) {
    rapidjson::StringBuffer buffer;
    rapidjson::Writer<rapidjson::StringBuffer> writer(buffer);
    document.Accept(writer);
    return std::fwrite(buffer.GetString(), 1, buffer.GetSize(), stdout) == buffer.GetSize() ? 0 : 1;
  }
  return vx::bench::WriteRapidJSONPretty(document, argv[3]) ? 0 : 1;
}
