#include "ui/window_placement.h"

#include <algorithm>
#include <climits>

#include "support/text_utils.h"

namespace vx {

namespace {

// Optional blanks, an optional sign and decimal digits, nothing else; a
// field that does not fit an int counts as 0 like any other non-number.
int FieldToInt(const std::string& field) {
  size_t at = 0;
  while (at < field.size() && field[at] == ' ') ++at;
  bool negative = false;
  if (at < field.size() && (field[at] == '-' || field[at] == '+')) negative = field[at++] == '-';
  if (at == field.size()) return 0;
  long long value = 0;
  for (; at < field.size(); ++at) {
    if (field[at] < '0' || field[at] > '9') return 0;
    value = value * 10 + (field[at] - '0');
    if (value > static_cast<long long>(INT_MAX) + 1) return 0;
  }
  if (negative) value = -value;
  return value > INT_MAX ? 0 : static_cast<int>(value);
}

}  // namespace

std::optional<TPixelRect> ParseHostMetrics(const std::string& answer) {
  if (answer.empty()) return std::nullopt;
  const std::vector<std::string> fields = SplitText(",", answer, 4, 4);
  const int x = FieldToInt(fields[0]);
  const int y = FieldToInt(fields[1]);
  return TPixelRect{x, y, x + FieldToInt(fields[2]), y + FieldToInt(fields[3])};
}

TPixelRect PlaceByHostMode(const TPixelRect& host, int mode, const TPixelRect& window) {
  constexpr int kInset = 20;
  const int w = window.Width();
  const int h = window.Height();
  switch (mode) {
    case 0:
      return window.MovedTo(host.Left + host.Width() / 2 - w / 2, host.Top + host.Height() / 2 - h / 2);
    case 1:
      return window.MovedTo(host.Left + kInset, host.Top + kInset);
    case 2:
      return window.MovedTo(host.Right - w - kInset, host.Top + kInset);
    case 3:
      return window.MovedTo(host.Right - w - kInset, host.Bottom - h - kInset);
    default:
      return window;
  }
}

TPixelRect CentreOnScreen(int screenWidth, int screenHeight, const TPixelRect& window) {
  return window.MovedTo(screenWidth / 2 - window.Width() / 2, screenHeight / 2 - window.Height() / 2);
}

TPixelRect CentreInArea(const TPixelRect& area, const TPixelRect& window) {
  return window.MovedTo(area.Left + (area.Width() - window.Width()) / 2,
                        area.Top + (area.Height() - window.Height()) / 2);
}

int MonitorOfWindow(const std::vector<TMonitorArea>& monitors, const TPixelRect& window) {
  for (size_t i = 0; i < monitors.size(); ++i) {
    const TPixelRect& m = monitors[i].Bounds;
    const int overlapWidth = std::min(m.Right, window.Right) - std::max(m.Left, window.Left);
    const int overlapHeight = std::min(m.Bottom, window.Bottom) - std::max(m.Top, window.Top);
    if (overlapWidth > window.Width() / 2 && overlapHeight > window.Height() / 2) return static_cast<int>(i);
  }
  return 0;
}

int PrimaryMonitor(const std::vector<TMonitorArea>& monitors) {
  for (size_t i = 0; i < monitors.size(); ++i) {
    if (monitors[i].Primary) return static_cast<int>(i);
  }
  return 0;
}

TPlacement PlaceNearHost(const std::string& answer, int mode, const TPixelRect& window, int screenWidth,
                         int screenHeight, const std::vector<TMonitorArea>& monitors) {
  const std::optional<TPixelRect> host = ParseHostMetrics(answer);
  if (!host) return {CentreOnScreen(screenWidth, screenHeight, window), -1};
  const TPixelRect placed = PlaceByHostMode(*host, mode, window);
  return {placed, MonitorOfWindow(monitors, placed)};
}

TPixelRect KeepInsideWorkArea(const TPixelRect& window, const TPixelRect& chosenWorkArea,
                               const TPixelRect& nearestWorkArea) {
  int left = window.Left;
  int top = window.Top;
  if (!(nearestWorkArea == chosenWorkArea)) {
    left += chosenWorkArea.Left - nearestWorkArea.Left;
    top += chosenWorkArea.Top - nearestWorkArea.Top;
  }
  if (left + window.Width() > chosenWorkArea.Right) left = chosenWorkArea.Right - window.Width();
  if (left < chosenWorkArea.Left) left = chosenWorkArea.Left;
  if (top + window.Height() > chosenWorkArea.Bottom) top = chosenWorkArea.Bottom - window.Height();
  if (top < chosenWorkArea.Top) top = chosenWorkArea.Top;
  return window.MovedTo(left, top);
}

int ScalePercentForDpi(int dpi) { return (dpi * 100 + 48) / 96; }

}  // namespace vx
