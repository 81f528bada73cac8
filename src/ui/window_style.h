// Style lists: text with one entry per line, "Key<>Property=Value<>...".
// The key is a component's class name, or its owner's class name, a point
// and the component's name. Applying a list sets the properties a
// component exposes; unknown keys and properties are skipped.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace vx {

struct TStyleEntry {
  std::string Key;
  std::vector<std::pair<std::string, std::string>> Assignments;
};

std::vector<TStyleEntry> ParseStyleList(std::string_view list);

// What a component offers to a style list; a null field is not settable.
struct TStyledComponent {
  std::string ClassName;
  std::string Name;
  uint32_t* Color = nullptr;       // 0x00BBGGRR
  std::string* FontName = nullptr;
};

// Applies every matching entry in list order. Key and property names
// ignore letter case.
void ApplyStyleList(std::string_view list, std::string_view ownerClassName,
                    const std::vector<TStyledComponent>& components);

// Applies the program's built-in style list, whose one entry that matters
// here makes every panel white with the font Tahoma.
void ApplyLookAndFeel(std::string_view ownerClassName, const std::vector<TStyledComponent>& components);

// A colour by name ("clWhite", letter case ignored) or as "$BBGGRR";
// false for anything else.
bool ColorFromName(std::string_view name, uint32_t& color);

}  // namespace vx
