#include "support/string_list.h"

#include <algorithm>

#include "support/errors.h"
#include "support/text_utils.h"

namespace vx {

const std::string& TStringList::Get(int index) const {
  if (index < 0 || index >= Count()) throw ListIndexError(index);
  return FLines[static_cast<size_t>(index)];
}

void TStringList::Put(int index, const std::string& line) {
  if (index < 0 || index >= Count()) throw ListIndexError(index);
  FLines[static_cast<size_t>(index)] = line;
}

int TStringList::Add(const std::string& line) {
  FLines.push_back(line);
  return Count() - 1;
}

void TStringList::Insert(int index, const std::string& line) {
  if (index < 0 || index > Count()) throw ListIndexError(index);
  FLines.insert(FLines.begin() + index, line);
}

void TStringList::Delete(int index) {
  if (index < 0 || index >= Count()) throw ListIndexError(index);
  FLines.erase(FLines.begin() + index);
}

int TStringList::IndexOf(std::string_view line) const {
  for (int i = 0; i < Count(); ++i) {
    if (AnsiSameText(FLines[static_cast<size_t>(i)], line)) return i;
  }
  return -1;
}

std::string TStringList::Text() const {
  std::string text;
  for (const std::string& line : FLines) {
    text += line;
    text += "\r\n";
  }
  return text;
}

void TStringList::SetText(std::string_view text) {
  FLines.clear();
  size_t start = 0;
  while (start < text.size()) {
    size_t end = start;
    while (end < text.size() && text[end] != '\r' && text[end] != '\n') ++end;
    FLines.emplace_back(text.substr(start, end - start));
    if (end < text.size() && text[end] == '\r') {
      ++end;
      if (end < text.size() && text[end] == '\n') ++end;
    } else if (end < text.size()) {
      ++end;
    }
    start = end;
  }
}

bool TStringListEx::NamesMatch(std::string_view a, std::string_view b) const {
  return CaseSensitive ? a == b : AnsiSameText(a, b);
}

std::string TStringListEx::Names(int index) const {
  const std::string& line = Get(index);
  const size_t at = line.find(NameValueSeparator);
  return at == std::string::npos ? std::string() : line.substr(0, at);
}

int TStringListEx::IndexOfName(std::string_view name) const {
  for (int i = 0; i < Count(); ++i) {
    const std::string& line = FLines[static_cast<size_t>(i)];
    const size_t at = line.find(NameValueSeparator);
    if (at != std::string::npos && NamesMatch(std::string_view(line).substr(0, at), name)) return i;
  }
  return -1;
}

std::string TStringListEx::Values(std::string_view name) const {
  const int index = IndexOfName(name);
  return index < 0 ? std::string() : ValueFromIndex(index);
}

void TStringListEx::SetValue(std::string_view name, const std::string& value) {
  const int index = IndexOfName(name);
  if (value.empty()) {
    if (index >= 0) Delete(index);
    return;
  }
  std::string line = std::string(name) + NameValueSeparator + value;
  if (index >= 0) {
    Put(index, line);
  } else {
    Add(line);
  }
}

std::string TStringListEx::ValueFromIndex(int index) const {
  if (index < 0) return "";
  const std::string& line = Get(index);
  const size_t at = line.find(NameValueSeparator);
  return at == std::string::npos ? std::string() : line.substr(at + 1);
}

void TStringListEx::CustomSort(const std::function<int(const TStringListEx&, int, int)>& compare) {
  if (Count() < 2) return;
  // The compare works on indexes, so sort a permutation and apply it.
  std::vector<int> order(static_cast<size_t>(Count()));
  for (int i = 0; i < Count(); ++i) order[static_cast<size_t>(i)] = i;
  std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return compare(*this, a, b) < 0; });
  std::vector<std::string> sorted;
  sorted.reserve(order.size());
  for (int i : order) sorted.push_back(FLines[static_cast<size_t>(i)]);
  FLines = std::move(sorted);
}

void TStringListEx::Assign(const TStringListEx& source) {
  FLines = source.FLines;
  NameValueSeparator = source.NameValueSeparator;
  CaseSensitive = source.CaseSensitive;
}

}  // namespace vx
