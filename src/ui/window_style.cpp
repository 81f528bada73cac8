#include "ui/window_style.h"

#include <cstdlib>

#include "support/string_list.h"
#include "support/text_utils.h"

namespace vx {

std::vector<TStyleEntry> ParseStyleList(std::string_view list) {
  TStringList lines;
  lines.SetText(list);
  std::vector<TStyleEntry> entries;
  for (const std::string& line : lines.Lines()) {
    const std::vector<std::string> parts = SplitText("<>", line);
    if (parts.empty() || Trim(parts[0]).empty()) continue;
    TStyleEntry entry{Trim(parts[0]), {}};
    for (size_t i = 1; i < parts.size(); ++i) {
      const size_t equals = parts[i].find('=');
      if (equals == std::string::npos) continue;
      entry.Assignments.emplace_back(Trim(parts[i].substr(0, equals)), parts[i].substr(equals + 1));
    }
    entries.push_back(std::move(entry));
  }
  return entries;
}

void ApplyStyleList(std::string_view list, std::string_view ownerClassName,
                    const std::vector<TStyledComponent>& components) {
  const std::vector<TStyleEntry> entries = ParseStyleList(list);
  for (const TStyledComponent& component : components) {
    const std::string ownedKey = std::string(ownerClassName) + "." + component.Name;
    for (const TStyleEntry& entry : entries) {
      if (!TextEquals(entry.Key, component.ClassName) && !TextEquals(entry.Key, ownedKey)) continue;
      for (const auto& [property, value] : entry.Assignments) {
        if (TextEquals(property, "Color") && component.Color) {
          ColorFromName(value, *component.Color);
        } else if (TextEquals(property, "Font.Name") && component.FontName) {
          *component.FontName = value;
        }
      }
    }
  }
}

void ApplyLookAndFeel(std::string_view ownerClassName, const std::vector<TStyledComponent>& components) {
  static const char kStyleList[] = "TPanel<>Color=clwhite<>Font.Name=Tahoma";
  ApplyStyleList(kStyleList, ownerClassName, components);
}

bool ColorFromName(std::string_view name, uint32_t& color) {
  static const std::pair<const char*, uint32_t> kNamed[] = {
      {"clBlack", 0x000000}, {"clMaroon", 0x000080}, {"clGreen", 0x008000}, {"clOlive", 0x008080},
      {"clNavy", 0x800000},  {"clPurple", 0x800080}, {"clTeal", 0x808000},  {"clGray", 0x808080},
      {"clSilver", 0xC0C0C0}, {"clRed", 0x0000FF},   {"clLime", 0x00FF00},  {"clYellow", 0x00FFFF},
      {"clBlue", 0xFF0000},  {"clFuchsia", 0xFF00FF}, {"clAqua", 0xFFFF00}, {"clWhite", 0xFFFFFF}};
  for (const auto& [colorName, value] : kNamed) {
    if (TextEquals(name, colorName)) {
      color = value;
      return true;
    }
  }
  if (name.size() < 2 || name.size() > 9 || name[0] != '$') return false;
  const std::string digits(name.substr(1));
  char* end = nullptr;
  const unsigned long value = std::strtoul(digits.c_str(), &end, 16);
  if (*end != '\0' || value > 0xFFFFFF) return false;
  color = static_cast<uint32_t>(value);
  return true;
}

}  // namespace vx
