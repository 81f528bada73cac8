#include <windows.h>

#include "support/text_utils.h"

namespace vx {

char DecimalSeparator() {
  static const char separator = [] {
    char buffer[8] = {};
    if (GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, buffer, sizeof buffer) > 0 && buffer[0] != 0) {
      return buffer[0];
    }
    return '.';
  }();
  return separator;
}

}  // namespace vx
