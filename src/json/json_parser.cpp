#include "json/json_parser.h"

#include <algorithm>
#include <string>

namespace vx {

namespace {

// The closer that matches the bracket at open, scanning from there; end
// when the text ends first. Only for a bracket that TJsonClosers did not
// keep, which the rules never ask for.
const char* ScanForClosing(const char* open, const char* end) {
  std::string closers(1, *open == '[' ? ']' : '}');
  for (const char* p = open + 1; p < end; ++p) {
    const char c = *p;
    if (c == closers.back()) {
      closers.pop_back();
      if (closers.empty()) return p;
    } else if (c == '"') {
      p = FindJsonStringEnd(p + 1, end);
      if (p == nullptr) break;
    } else if (c == '[') {
      closers += ']';
    } else if (c == '{') {
      closers += '}';
    }
  }
  return end;
}

}  // namespace

void TJsonClosers::Build() {
  FBuilt = true;
  constexpr size_t kNone = std::string_view::npos;
  const char* const begin = FText.data();
  const char* const end = begin + FText.size();
  // The closers awaited by the open groups (true for "]"), innermost last,
  // and where the kept ones of them stand in FOpeners.
  std::vector<bool> awaited;
  std::vector<size_t> kept;
  for (const char* p = begin; p < end; ++p) {
    p = FindJsonByte<'"', '[', ']', '{', '}'>(p, end);
    if (p == end) break;
    const char c = *p;
    if (c == '"') {
      p = FindJsonStringEnd(p + 1, end);
      if (p == nullptr) break;  // the string takes the rest: no group closes
    } else if (c == '[' || c == '{') {
      if (awaited.size() <= static_cast<size_t>(FMaxDepth)) {
        kept.push_back(FOpeners.size());
        FOpeners.push_back(static_cast<size_t>(p - begin));
        FClosers.push_back(kNone);
      }
      awaited.push_back(c == '[');
    } else if ((c == ']' || c == '}') && !awaited.empty() && awaited.back() == (c == ']')) {
      awaited.pop_back();
      if (awaited.size() < kept.size()) {
        FClosers[kept.back()] = static_cast<size_t>(p - begin);
        kept.pop_back();
      }
    }
  }
}

const char* TJsonClosers::Closing(const char* open, const char* end) {
  if (!FBuilt) Build();
  const size_t position = static_cast<size_t>(open - FText.data());
  const auto found = std::lower_bound(FOpeners.begin(), FOpeners.end(), position);
  if (found == FOpeners.end() || *found != position) return ScanForClosing(open, end);
  const size_t closer = FClosers[static_cast<size_t>(found - FOpeners.begin())];
  if (closer == std::string_view::npos || FText.data() + closer >= end) return end;
  return FText.data() + closer;
}

TJsonSeparators TJsonSeparators::Within(const char* first, const char* last) const {
  TJsonSeparators result;
  for (uint8_t i = 0; i < Count; ++i) {
    if (At[i] >= first && At[i] < last) result.Add(At[i]);
  }
  // Those not listed come after the third.
  result.More = More && At[2] < last;
  return result;
}

TJsonPieceWalker::TJsonPieceWalker(TJsonClosers& closers, std::string_view text, char separator, const char* tail,
                                   const TJsonPiece* tailFacts)
    : FClosers(closers), FEnd(text.data() + text.size()), FSeparator(separator), FStart(text.data()) {
  if (tail != nullptr && tailFacts != nullptr && tail < FEnd) {
    const bool cutsAtCommas = separator == ',';
    if ((cutsAtCommas ? tailFacts->Commas : tailFacts->Colons).Empty()) {
      FTail = tail;
      FTailSeparators = cutsAtCommas ? &tailFacts->Colons : &tailFacts->Commas;
    }
  }
}

bool TJsonPieceWalker::Next(TJsonPiece& piece) {
  if (FDone) return false;
  piece.Commas = TJsonSeparators();
  piece.Colons = TJsonSeparators();
  const char other = FSeparator == ',' ? ':' : ',';
  TJsonSeparators& others = FSeparator == ',' ? piece.Colons : piece.Commas;
  for (const char* p = FStart; p < FEnd; ++p) {
    p = FSeparator == ',' ? FindJsonByte<',', ':', '"', '[', '{'>(p, FEnd) : FindJsonByte<':', ',', '"', '[', '{'>(p, FEnd);
    if (p == FEnd) break;
    if (FTail != nullptr && p >= FTail) {
      // The rest was walked above: it belongs to this last piece.
      for (uint8_t i = 0; i < FTailSeparators->Count; ++i) others.Add(FTailSeparators->At[i]);
      others.More = others.More || FTailSeparators->More;
      break;
    }
    const char c = *p;
    if (c == FSeparator) {
      piece.Text = JsonTrim(std::string_view(FStart, static_cast<size_t>(p - FStart)));
      FStart = p + 1;
      return true;
    }
    if (c == other) {
      others.Add(p);
    } else if (c == '"') {
      const char* quote = FindJsonStringEnd(p + 1, FEnd);
      p = quote ? quote : FEnd;
    } else if (c == '[' || c == '{') {
      p = FClosers.Closing(p, FEnd);
    }
  }
  FDone = true;
  piece.Text = JsonTrim(std::string_view(FStart, static_cast<size_t>(FEnd - FStart)));
  return !piece.Text.empty();
}

TJsonTextType DetectJsonTextType(std::string_view text) {
  if (text.size() >= 2) {
    if (JsonTextEncloses(text, '{', '}')) return TJsonTextType::Object;
    if (JsonTextEncloses(text, '[', ']')) return TJsonTextType::Array;
    if (JsonTextEncloses(text, '"', '"')) return TJsonTextType::String;
    if (TextEquals(text, "null")) return TJsonTextType::Null;
    if (TextEquals(text, "true") || TextEquals(text, "false")) return TJsonTextType::Boolean;
  }
  double number;
  return TryJsonTextToFloat(text, number) ? TJsonTextType::Number : TJsonTextType::None;
}

}  // namespace vx
