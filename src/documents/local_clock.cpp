#include "documents/local_clock.h"

#include <chrono>
#include <ctime>

namespace vx {

TJsonDateTime LocalDateTimeNow() {
  const auto now = std::chrono::system_clock::now();
  const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
  const auto milliseconds =
      std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000;
  // std::localtime shares one buffer; the program asks for the time on its
  // window thread only.
  const std::tm local = *std::localtime(&seconds);
  TJsonDateTime result;
  result.Year = local.tm_year + 1900;
  result.Month = local.tm_mon + 1;
  result.Day = local.tm_mday;
  result.Hour = local.tm_hour;
  result.Minute = local.tm_min;
  result.Second = local.tm_sec;
  result.Millisecond = static_cast<int>(milliseconds);
  return result;
}

}  // namespace vx
