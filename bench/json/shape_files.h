// JSON documents of other shapes than orders, as real files hold them,
// generated the same way in every run. Each starts with an empty order,
// so that "check" finds its 0 positions and every program of the
// whole-file rows does the same work on it as on an order file; the rest
// of the document is the shape.
//
// The texts are written as other programs write them, not by the model:
// raw UTF-8 in strings, integers of up to 18 digits and numbers with 17
// significant digits, which the model reads but does not write that way.
#pragma once

#include <string>

namespace vx::bench {

// About 2.25 MB of map polygons: rings of coordinate pairs, each ring on a
// line of its own, every longitude negative. As in files that print
// millionths of a degree with 17 significant digits, four numbers in five
// have 17 digits (-65.613616999999977), the others fewer.
std::string MakeNumbersText();

// About 1.7 MB of many small objects with short keys, integers, nulls and
// short texts, one item a line.
std::string MakeCatalogText();

// About 0.63 MB of messages nested two and three objects deep: UTF-8
// texts (accents, Japanese, emoji) with some escapes, 18-digit ids,
// booleans and nulls, one item a line.
std::string MakeFeedText();

}  // namespace vx::bench
