// What vxorder's check and compact do, done with simdjson's DOM parser: the
// third yardstick of the whole-file rows, native only.
//   simdjson_order check FILE        prints "OK <n> positions"
//   simdjson_order compact FILE      writes the compact text to standard output
// simdjson has no pretty writer, so there is no format.
//
// The same work as vxorder's: the parser reads the file whole into its own
// buffer (with the padding it needs behind the text), checks the whole
// text (its UTF-8 too) while it builds its document, and compact writes
// that document out again with simdjson's minifier. Not its minify of a
// text, which only takes the white space out of the text and leaves it
// unchecked: less work than vxorder's. Unlike the other programs, this one
// links its library as a shared object, whose loading its start holds.
#include <cstdio>
#include <cstring>
#include <iostream>

#include <simdjson.h>

int main(int argc, char** argv) {
  if (argc != 3 || (std::strcmp(argv[1], "check") != 0 && std::strcmp(argv[1], "compact") != 0)) {
    std::fputs("usage: simdjson_order check|compact FILE\n", stderr);
    return 2;
  }
  simdjson::dom::parser parser;
  simdjson::dom::element document;
  if (const simdjson::error_code error = parser.load(argv[2]).get(document)) {
    std::fprintf(stderr, "%s: %s\n", argv[2], simdjson::error_message(error));
    return 1;
  }
  if (std::strcmp(argv[1], "check") == 0) {
    simdjson::dom::array parts;
    if (const simdjson::error_code error = document["Order"].at(0)["Parts"].get(parts)) {
      std::fprintf(stderr, "no order: %s\n", simdjson::error_message(error));
      return 1;
    }
    std::printf("OK %zu positions\n", parts.size());
    return 0;
  }
  // The minifier writes its text straight into the stream, without the
  // copy that simdjson::minify makes into a std::string.
  std::cout << document;
  std::cout.flush();
  return std::cout ? 0 : 1;
}
