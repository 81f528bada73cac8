// The error of the JSON model and the one place that builds its texts.
#pragma once

#include <string>
#include <string_view>

#include "support/errors.h"

namespace vx {

// The general error of the model.
class EJsonError : public Exception {
 public:
  using Exception::Exception;
};

// "<" + className + ">" + message, as every node error reads.
std::string JsonErrorText(std::string_view className, std::string_view message);

}  // namespace vx
