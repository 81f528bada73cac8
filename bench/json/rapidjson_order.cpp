// What vxorder's check, compact and format do, done with RapidJSON: the
// yardstick of the whole-file rows. As vxorder does, the file is read into
// memory whole, the compact text is made in memory and then written, and
// the formatted text is written to its file while it is made.
//   rapidjson_order check FILE        prints "OK <n> positions"
//   rapidjson_order compact FILE      writes the compact text to standard output
//   rapidjson_order format FILE OUT   writes the pretty text to OUT
// Compact JSON holds no line break, so standard output needs no binary mode.
//
// Where the work differs from vxorder's (json_file_ratio prints the sizes
// of the outputs):
//  - numbers are converted RapidJSON's default way, which parses the
//    numbers file in half the time of its exact conversion
//    (kParseFullPrecisionFlag) and leaves some of 16 and 17 significant
//    digits a bit off (347 of its 120 843), where the model's are exact;
//  - texts are written as they are, UTF-8 and the slash included, and
//    numbers in their shortest form, where the model escapes bytes above
//    0x7F and the slash and writes 15 significant digits: the compact feed
//    is about a quarter shorter than vxorder's;
//  - the pretty layout indents by four spaces and puts each item of an
//    array on a line of its own: the formatted numbers file is about four
//    times the size of vxorder's, the formatted catalog about twice.
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
