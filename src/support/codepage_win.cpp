#include <windows.h>

#include "support/codepage.h"

namespace vx {

std::u16string AnsiToUtf16(std::string_view text) {
  if (text.empty()) return {};
  const int size = static_cast<int>(text.size());
  const int length = MultiByteToWideChar(CP_ACP, 0, text.data(), size, nullptr, 0);
  std::u16string result(static_cast<size_t>(length), u'\0');
  MultiByteToWideChar(CP_ACP, 0, text.data(), size, reinterpret_cast<wchar_t*>(&result[0]), length);
  return result;
}

std::string Utf16ToAnsi(std::u16string_view text) {
  if (text.empty()) return {};
  const auto* wide = reinterpret_cast<const wchar_t*>(text.data());
  const int size = static_cast<int>(text.size());
  const int length = WideCharToMultiByte(CP_ACP, 0, wide, size, nullptr, 0, nullptr, nullptr);
  std::string result(static_cast<size_t>(length), '\0');
  WideCharToMultiByte(CP_ACP, 0, wide, size, &result[0], length, nullptr, nullptr);
  return result;
}

bool IsControlByte(unsigned char byte) {
  if (byte < 0x20 || byte == 0x7F) return true;
  if (byte < 0x80) return false;
  const char c = static_cast<char>(byte);
  const std::u16string wide = AnsiToUtf16(std::string_view(&c, 1));
  return wide.size() == 1 && wide[0] >= 0x80 && wide[0] < 0xA0;
}

}  // namespace vx
