// Where the main window and the message box go on screen: the arithmetic on
// plain rectangles, kept apart from the window system so it can be tested.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace vx {

// A screen rectangle; Right and Bottom lie just outside it.
struct TPixelRect {
  int Left = 0;
  int Top = 0;
  int Right = 0;
  int Bottom = 0;

  int Width() const { return Right - Left; }
  int Height() const { return Bottom - Top; }
  TPixelRect MovedTo(int left, int top) const { return {left, top, left + Width(), top + Height()}; }
  bool operator==(const TPixelRect& other) const {
    return Left == other.Left && Top == other.Top && Right == other.Right && Bottom == other.Bottom;
  }
};

struct TMonitorArea {
  TPixelRect Bounds;
  TPixelRect WorkArea;  // the monitor without its task bars
  bool Primary = false;
};

// The host window's rectangle from an "OFFICEMETRICS" answer "X,Y,W,H"
// (left, top, width, height). A field that is not an integer counts as 0;
// an empty answer gives nothing.
std::optional<TPixelRect> ParseHostMetrics(const std::string& answer);

// The window moved relative to the host window: mode 0 centred over it,
// 1 top-left, 2 top-right, 3 bottom-right corner, each 20 pixels inside.
// Other modes leave the window where it is.
TPixelRect PlaceByHostMode(const TPixelRect& host, int mode, const TPixelRect& window);

// The window centred in an area that starts at the screen origin, halves
// rounded toward zero (the window's and the area's).
TPixelRect CentreOnScreen(int screenWidth, int screenHeight, const TPixelRect& window);

// The window centred in a work area.
TPixelRect CentreInArea(const TPixelRect& area, const TPixelRect& window);

// Index of the first monitor that covers more than half the window's width
// and more than half its height; 0 when none does.
int MonitorOfWindow(const std::vector<TMonitorArea>& monitors, const TPixelRect& window);

// Index of the first monitor flagged primary; 0 when none is.
int PrimaryMonitor(const std::vector<TMonitorArea>& monitors);

struct TPlacement {
  TPixelRect Window;
  int Monitor = -1;  // the remembered monitor; -1 when none was chosen
};

// Where the window goes for an "OFFICEMETRICS" answer before it is kept on
// its monitor: centred on the primary screen for an empty answer (no
// monitor remembered), else by the corner mode, remembering its monitor.
TPlacement PlaceNearHost(const std::string& answer, int mode, const TPixelRect& window, int screenWidth,
                         int screenHeight, const std::vector<TMonitorArea>& monitors);

// Keeps the window inside the chosen monitor's work area. When the monitor
// nearest to the window's centre has another work area, the window first
// moves by the offset between the two areas' top-left corners; then the
// right and bottom edges are pulled in, and after them the left and top,
// so a window larger than the area sticks to its top-left corner.
TPixelRect KeepInsideWorkArea(const TPixelRect& window, const TPixelRect& chosenWorkArea,
                               const TPixelRect& nearestWorkArea);

// The screen's dots per inch as a percentage of 96, rounded.
int ScalePercentForDpi(int dpi);

}  // namespace vx
