#include "json/json_error.h"

namespace vx {

std::string JsonErrorText(std::string_view className, std::string_view message) {
  std::string text;
  text.reserve(className.size() + message.size() + 2);
  text += '<';
  text += className;
  text += '>';
  text += message;
  return text;
}

}  // namespace vx
