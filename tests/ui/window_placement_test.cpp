#include "ui/window_placement.h"

#include <gtest/gtest.h>

#include "support/text_utils.h"
#include "ui/window_caption.h"

namespace vx {
namespace {

// The main window's outer size at 96 dpi with a dialog frame.
const TPixelRect kWindow{294, 185, 294 + 422, 185 + 119};
const TPixelRect kScreen{0, 0, 1280, 1024};
const std::vector<TMonitorArea> kOneMonitor{{kScreen, kScreen, true}};

TEST(ParseHostMetrics, FieldsAndNonNumbers) {
  struct Case {
    const char* answer;
    TPixelRect host;
  } cases[] = {
      {"100,50,1000,700", {100, 50, 1100, 750}},
      {"abc", {0, 0, 0, 0}},
      {"-10,+5,20", {-10, 5, 10, 5}},
      {" 7,x1,12a,3", {7, 0, 7, 3}},
      // The fourth field takes the rest of the text, so it is no number.
      {"1,2,3,4,5", {1, 2, 4, 2}},
      {"99999999999,1,1,1", {0, 1, 1, 2}},
  };
  for (const Case& c : cases) {
    const std::optional<TPixelRect> host = ParseHostMetrics(c.answer);
    ASSERT_TRUE(host.has_value()) << c.answer;
    EXPECT_EQ(*host, c.host) << c.answer;
  }
  EXPECT_FALSE(ParseHostMetrics("").has_value());
}

TEST(PlaceByHostMode, AllCornerModes) {
  const TPixelRect host{100, 50, 1100, 750};
  const TPixelRect window{0, 0, 400, 100};
  struct Case {
    int mode;
    int left, top;
  } cases[] = {{0, 400, 350}, {1, 120, 70}, {2, 680, 70}, {3, 680, 630}, {4, 0, 0}, {-1, 0, 0}};
  for (const Case& c : cases) {
    EXPECT_EQ(PlaceByHostMode(host, c.mode, window), window.MovedTo(c.left, c.top)) << c.mode;
  }
  // Odd sizes: both halves round toward zero.
  EXPECT_EQ(PlaceByHostMode({0, 0, 101, 51}, 0, {0, 0, 11, 5}), (TPixelRect{45, 23, 56, 28}));
}

TEST(PlaceNearHost, HostAnswerExamples) {
  const int w = kWindow.Width();
  TPlacement placed = PlaceNearHost("100,50,1000,700", 2, kWindow, 1280, 1024, kOneMonitor);
  EXPECT_EQ(placed.Window, kWindow.MovedTo(1080 - w, 70));
  EXPECT_EQ(placed.Monitor, 0);
  EXPECT_EQ(KeepInsideWorkArea(placed.Window, kScreen, kScreen), placed.Window);

  placed = PlaceNearHost("abc", 2, kWindow, 1280, 1024, kOneMonitor);
  EXPECT_EQ(placed.Window, kWindow.MovedTo(-(w + 20), 20));
  EXPECT_EQ(KeepInsideWorkArea(placed.Window, kScreen, kScreen), kWindow.MovedTo(0, 20));

  placed = PlaceNearHost("", 2, kWindow, 1280, 1024, kOneMonitor);
  EXPECT_EQ(placed.Window, kWindow.MovedTo(640 - w / 2, 512 - kWindow.Height() / 2));
  EXPECT_EQ(placed.Monitor, -1);
}

TEST(MonitorOfWindow, NeedsMoreThanHalfInBothDirections) {
  const TPixelRect left{0, 0, 1000, 800};
  const TPixelRect right{1000, 0, 2000, 800};
  const std::vector<TMonitorArea> monitors{{left, left, true}, {right, right, false}};
  const TPixelRect window{0, 0, 100, 100};
  EXPECT_EQ(MonitorOfWindow(monitors, window.MovedTo(1100, 100)), 1);
  EXPECT_EQ(MonitorOfWindow(monitors, window.MovedTo(951, 100)), 1);
  // Exactly half on each monitor: neither counts, monitor 0 is taken.
  EXPECT_EQ(MonitorOfWindow(monitors, window.MovedTo(950, 100)), 0);
  EXPECT_EQ(MonitorOfWindow(monitors, window.MovedTo(1100, 751)), 0);
  EXPECT_EQ(MonitorOfWindow(monitors, window.MovedTo(5000, 5000)), 0);
}

TEST(KeepInsideWorkArea, ClampsRightBottomFirst) {
  const TPixelRect work{0, 0, 1280, 984};
  const TPixelRect window{0, 0, 400, 100};
  EXPECT_EQ(KeepInsideWorkArea(window.MovedTo(1000, 950), work, work), window.MovedTo(880, 884));
  EXPECT_EQ(KeepInsideWorkArea(window.MovedTo(-5, -7), work, work), window.MovedTo(0, 0));
  // Larger than the work area: the top-left corner wins.
  const TPixelRect huge{0, 0, 2000, 1200};
  EXPECT_EQ(KeepInsideWorkArea(huge.MovedTo(100, 100), work, work), huge.MovedTo(0, 0));
}

TEST(KeepInsideWorkArea, MovesFromTheNearestToTheChosenMonitor) {
  const TPixelRect chosen{0, 0, 1000, 800};
  const TPixelRect nearest{1000, 40, 2000, 800};
  const TPixelRect window{0, 0, 100, 100};
  EXPECT_EQ(KeepInsideWorkArea(window.MovedTo(1200, 300), chosen, nearest), window.MovedTo(200, 260));
  EXPECT_EQ(KeepInsideWorkArea(window.MovedTo(1950, 300), chosen, nearest), window.MovedTo(900, 260));
}

TEST(CentreInArea, UsesTheAreaOrigin) {
  EXPECT_EQ(CentreInArea({100, 20, 1100, 820}, {0, 0, 401, 200}), (TPixelRect{399, 320, 800, 520}));
}

TEST(ScalePercentForDpi, RoundsToNearest) {
  EXPECT_EQ(ScalePercentForDpi(96), 100);
  EXPECT_EQ(ScalePercentForDpi(120), 125);
  EXPECT_EQ(ScalePercentForDpi(144), 150);
  EXPECT_EQ(ScalePercentForDpi(100), 104);  // 104.17
  EXPECT_EQ(ScalePercentForDpi(97), 101);   // 101.04
}

TEST(DatabaseCaption, EmptyShortAndLongPaths) {
  EXPECT_EQ(DatabaseCaption(""), "Keine Datenbank erreichbar");
  EXPECT_EQ(DatabaseCaption("C:\\VX\\Daten"), "Datenbank: C:\\VX\\Daten");
  const std::string longPath = "C:\\Programme\\Kastelo\\VX\\Mandanten\\M\xfcller\\Daten.fdb";
  const std::string caption = DatabaseCaption(longPath);
  EXPECT_EQ(caption, "Datenbank: " + ShortenPath(longPath, 30));
  EXPECT_LE(caption.size(), std::string("Datenbank: ").size() + 30);
  EXPECT_EQ(caption.substr(caption.size() - 9), "Daten.fdb");
}

}  // namespace
}  // namespace vx
