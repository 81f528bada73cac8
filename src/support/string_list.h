// Lists of text lines, as read from and written to text files.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace vx {

class TStringList {
 public:
  virtual ~TStringList() = default;

  int Count() const { return static_cast<int>(FLines.size()); }
  // Raises the list index error for an index outside 0..Count-1.
  const std::string& Get(int index) const;
  void Put(int index, const std::string& line);
  int Add(const std::string& line);
  void Insert(int index, const std::string& line);
  void Delete(int index);
  void Clear() { FLines.clear(); }
  int IndexOf(std::string_view line) const;

  // Every line followed by CR LF.
  std::string Text() const;
  // Splits at CR LF, LF or CR; a last line without a break is kept.
  void SetText(std::string_view text);

  const std::vector<std::string>& Lines() const { return FLines; }

 protected:
  std::vector<std::string> FLines;
};

// A list of "name<separator>value" lines.
class TStringListEx : public TStringList {
 public:
  char NameValueSeparator = '=';
  // Off: names compare ignoring the Windows-1252 letter case.
  bool CaseSensitive = false;

  // Text before the first separator; empty for a line without one.
  std::string Names(int index) const;
  // First line whose name matches; -1 when none.
  int IndexOfName(std::string_view name) const;
  // Value of the first matching line; empty when none.
  std::string Values(std::string_view name) const;
  // A non-empty value replaces or appends the line; an empty value deletes it.
  void SetValue(std::string_view name, const std::string& value);
  // Text after the name and separator of a line; empty for a negative index.
  std::string ValueFromIndex(int index) const;
  // Sorts with the caller's compare (negative, 0, positive by index pair).
  void CustomSort(const std::function<int(const TStringListEx&, int, int)>& compare);

  void Assign(const TStringListEx& source);

 private:
  bool NamesMatch(std::string_view a, std::string_view b) const;
};

}  // namespace vx
