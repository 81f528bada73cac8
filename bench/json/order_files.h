// The texts the JSON benchmarks read, generated the same way in every run.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace vx::bench {

// One order as compact JSON, with realistic position texts.
//   10 000 positions without attachments: the large order file (6 MB).
//   200 positions, each with a base64 "L2" attachment of 50 KB to 1 MB.
std::string MakeOrderText(int positions, bool attachments);

// A text that makes the single pass give up and the splitting rules work,
// and a text of the same size and depth that the single pass reads.
struct TJsonShape {
  const char* Label;
  std::string Hostile;
  std::string Benign;
};

// The hostile shapes, each about size bytes, nested depth levels deep
// where the shape nests.
std::vector<TJsonShape> MakeHostileShapes(size_t size, int depth);

// Loads text into a document; a hostile text may well be refused, and
// only the time it takes counts.
void LoadIgnoringErrors(const std::string& text);

}  // namespace vx::bench
