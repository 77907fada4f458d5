#include "shell/window_placement.h"

#include <gtest/gtest.h>

#include <cmath>

namespace kova {
namespace {

// The work areas of a 1366 x 768 laptop with a 40-pixel taskbar on each
// side, at 100 %, 125 % and 150 % for a program that is not DPI-aware, a
// monitor left of the primary one, and a large desktop.
struct Area {
  const char* name;
  Rect work;
};
constexpr Area kAreas[] = {
    {"100% bottom", {0, 0, 1366, 728}},     {"125% bottom", {0, 0, 1093, 582}},
    {"125% left", {32, 0, 1093, 614}},      {"125% top", {0, 32, 1093, 614}},
    {"150% bottom", {0, 0, 911, 485}},      {"150% right", {0, 0, 884, 512}},
    {"150% top", {0, 27, 911, 512}},        {"left monitor", {-1366, 0, 0, 728}},
    {"1920 x 1080", {0, 0, 1920, 1040}},
};

TEST(WindowPlacement, EveryScreenFitsEveryWorkArea) {
  struct Screen {
    int w, h;
  };
  // Data screens, selection screens, the monitor panel at its widest.
  for (Screen s : {Screen{800, 580}, Screen{487, 190}, Screen{1000, 700}}) {
    for (const Area& a : kAreas) {
      SCOPED_TRACE(std::string(a.name) + " " + std::to_string(s.w) + "x" + std::to_string(s.h));
      const WindowPlacement p = PlaceInWorkArea(s.w, s.h, 2, 2, a.work);
      EXPECT_GE(p.window.left, a.work.left);
      EXPECT_GE(p.window.top, a.work.top);
      EXPECT_LE(p.window.right, a.work.right);
      EXPECT_LE(p.window.bottom, a.work.bottom);
      const bool fits = s.w + 2 <= a.work.width() && s.h + 2 <= a.work.height();
      EXPECT_EQ(p.scale == 1.0, fits);
      EXPECT_LE(p.scale, 1.0);
      // Scaled as a whole, and no smaller than the area needs.
      EXPECT_EQ(p.window.width() - 2, static_cast<int>(s.w * p.scale));
      EXPECT_EQ(p.window.height() - 2, static_cast<int>(s.h * p.scale));
      EXPECT_TRUE(p.window.width() >= a.work.width() - 1 || p.window.height() >= a.work.height() - 1 ||
                  fits);
      // Centred in the work area.
      EXPECT_LE(std::abs((p.window.left - a.work.left) - (a.work.right - p.window.right)), 1);
      EXPECT_LE(std::abs((p.window.top - a.work.top) - (a.work.bottom - p.window.bottom)), 1);
    }
  }
}

TEST(WindowPlacement, AnEmptyWorkAreaKeepsTheSize) {
  const WindowPlacement p = PlaceInWorkArea(800, 580, 2, 2, {10, 20, 10, 20});
  EXPECT_EQ(p, (WindowPlacement{{10, 20, 812, 602}, 1.0}));
}

}  // namespace
}  // namespace kova
