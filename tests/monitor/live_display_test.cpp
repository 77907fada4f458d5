#include "monitor/live_display.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/support/fake_view.h"

namespace kova {
namespace {

// A view whose glyph controls start hidden, as in a new window.
struct Glyphs : FakeView {
  bool Visible(int id) { return controls.count(id) && controls[id].visible; }
  // The digit shown by a cell of ten controls, -1 for none, -2 for several.
  int Digit(int first) {
    int d = -1;
    for (int i = 0; i < 10; ++i)
      if (Visible(first + i)) d = d == -1 ? i : -2;
    return d;
  }
  void HideAll(int first, int n) {
    for (int i = 0; i < n; ++i) controls[first + i].visible = false;
  }
  int shows = 0;
  void Show(int id, bool visible) override {
    ++shows;
    FakeView::Show(id, visible);
  }
};

constexpr std::array<int, 4> kRpm = {100, 110, 120, 130};

TEST(SpeedDigits, TextRules) {
  struct Case {
    const char* text;
    const char* shown;
  } cases[] = {{"0", "0000"}, {"7", "0000"}, {"50", "0000"}, {"850", " 850"},
               {"3000", "3000"}, {"12345", "1234"}, {"", "0000"}};
  for (const Case& c : cases) EXPECT_EQ(SpeedDigits::Positions(c.text), c.shown) << c.text;
}

TEST(SpeedDigits, DrawsOnlyPositionsThatChange) {
  Glyphs v;
  v.HideAll(100, 40);
  SpeedDigits d(kRpm);
  d.Show(v, "850");
  EXPECT_EQ(v.Digit(100), -1);  // the blank shows no glyph
  EXPECT_EQ(v.Digit(110), 8);
  EXPECT_EQ(v.Digit(120), 5);
  EXPECT_EQ(v.Digit(130), 0);
  v.shows = 0;
  d.Show(v, "860");
  EXPECT_EQ(v.Digit(120), 6);
  EXPECT_EQ(v.shows, 2);  // one shown, one hidden; the rest untouched
  v.shows = 0;
  d.Show(v, "860");
  EXPECT_EQ(v.shows, 0);
  d.Show(v, "1000");
  EXPECT_EQ(v.Digit(100), 1);
  EXPECT_EQ(v.Digit(110), 0);
  // A new window: nothing is drawn yet, so the same text draws again.
  v.HideAll(100, 40);
  d.Forget();
  d.Show(v, "1000");
  EXPECT_EQ(v.Digit(100), 1);
  EXPECT_EQ(v.Digit(130), 0);
}

TEST(SpeedArc, DotsLitAbove250RpmEach) {
  Glyphs v;
  v.HideAll(200, 28);
  SpeedArc arc(200);
  auto lit = [&] {
    int n = 0;
    for (int i = 0; i < 28; ++i) n += v.Visible(200 + i);
    return n;
  };
  arc.Show(v, 0);
  EXPECT_EQ(lit(), 0);
  arc.Show(v, 50);  // the first dot already
  EXPECT_EQ(lit(), 1);
  arc.Show(v, 850);
  EXPECT_EQ(lit(), 4);  // 0, 250, 500, 750
  arc.Show(v, 7000);
  EXPECT_EQ(lit(), 28);
  arc.Show(v, 1000);
  EXPECT_EQ(lit(), 4);  // 1000 is not above 1000
  EXPECT_FALSE(v.Visible(204));
  v.shows = 0;
  arc.Show(v, 1000);
  EXPECT_EQ(v.shows, 0);
}

TEST(SpeedArc, SweepsUpWhenRisingAndDownWhenFalling) {
  struct Order : Glyphs {
    std::vector<int> order;
    void Show(int id, bool visible) override {
      order.push_back(id);
      Glyphs::Show(id, visible);
    }
  } v;
  SpeedArc arc(0);
  arc.Show(v, 1100);
  EXPECT_EQ(v.order, (std::vector<int>{0, 1, 2, 3, 4}));
  v.order.clear();
  arc.Show(v, 300);
  EXPECT_EQ(v.order, (std::vector<int>{4, 3, 2}));
}

TEST(SmallReadout, VoltsAndCounts) {
  Glyphs v;
  v.HideAll(300, 30);
  SmallReadout r({300, 310, 320});
  struct Case {
    const char* text;
    int units, tenths, hundredths;
  } volts[] = {{"0.00", 0, 0, 0}, {"4.20", 4, 2, 0}, {"5.10", 5, 1, 0}, {" .5", 0, 5, 0}};
  for (const Case& c : volts) {
    r.ShowVolts(v, c.text);
    EXPECT_EQ(v.Digit(300), c.units) << c.text;
    EXPECT_EQ(v.Digit(310), c.tenths) << c.text;
    EXPECT_EQ(v.Digit(320), c.hundredths) << c.text;
  }
  struct Count {
    int n, d0, d1, d2;
  } counts[] = {{0, 0, 0, 0}, {7, 0, 0, 7}, {60, 0, 6, 0}, {250, 2, 5, 0}};
  for (const Count& c : counts) {
    r.ShowCount(v, c.n);
    EXPECT_EQ(v.Digit(300), c.d0) << c.n;
    EXPECT_EQ(v.Digit(310), c.d1) << c.n;
    EXPECT_EQ(v.Digit(320), c.d2) << c.n;
  }
}

TEST(Bars, TopEdgeArithmetic) {
  EXPECT_EQ(bar::TpsTop(5.0), 154);   // 376 - 221.14
  EXPECT_EQ(bar::TpsTop(4.0), 199);   // 376 - 176.91
  EXPECT_EQ(bar::TpsTop(1.0), 331);
  EXPECT_EQ(bar::LambdaTop(1.0, 1), 155);  // 376 - 220.15
  EXPECT_EQ(bar::LambdaTop(0.5, 1), 265);
  EXPECT_EQ(bar::LambdaTop(2.4, 5), 270);  // 376 - 105.67
  EXPECT_EQ(bar::LambdaTop(5.0, 5), 155);
}

TEST(Bars, TpsBarMovesItsTopAndKeepsItsBottom) {
  Glyphs v;
  v.controls[9].rect = {45, 153, 57, 393};
  TpsBar b(9);
  b.Show(v, 1.0, true);  // a 5-0 V sensor at 1 V stands as 4 V does
  EXPECT_EQ(v.controls[9].rect, (ControlRect{45, 199, 57, 393}));
  EXPECT_TRUE(v.Visible(9));
  int moves = v.moves;
  b.Show(v, 1.0, true);
  EXPECT_EQ(v.moves, moves);  // the same value draws nothing
  b.Show(v, 5.0, true);
  EXPECT_FALSE(v.Visible(9));
  b.Show(v, 0.5, false);
  EXPECT_TRUE(v.Visible(9));
  EXPECT_EQ(v.controls[9].rect.top, bar::TpsTop(0.5));
}

TEST(Bars, LambdaBarLimitsToItsFullScale) {
  Glyphs v;
  v.controls[8].rect = {397, 151, 409, 393};
  RefreshCounters counters;
  LambdaBar b(8, counters);
  b.Show(v, 2.40, 5);
  EXPECT_EQ(v.controls[8].rect.top, 270);  // 2.40 V of 5, not stuck at a fifth
  b.Show(v, 2.40, 1);
  EXPECT_EQ(v.controls[8].rect.top, 155);  // past the 1 V scale: at the top
  EXPECT_EQ(v.controls[8].rect.bottom, 393);
  b.Show(v, 0, 1);
  EXPECT_FALSE(v.Visible(8));
}

TEST(Bars, LambdaBarRedrawsAnEqualValueOnlyForTheFirstFiveDrawings) {
  Glyphs v;
  v.controls[8].rect = {0, 100, 10, 393};
  RefreshCounters counters;
  LambdaBar b(8, counters);
  for (int i = 0; i < 5; ++i) b.Show(v, 0.5, 1);
  EXPECT_EQ(v.moves, 5);
  EXPECT_EQ(counters.lambda_bar, 5);
  b.Show(v, 0.5, 1);
  EXPECT_EQ(v.moves, 5);
  b.Show(v, 0.6, 1);
  EXPECT_EQ(v.moves, 6);
}

TEST(StepDisplay, MarkerAndPictureStopAt240) {
  struct Case {
    int steps, frame, marker_top;
  } cases[] = {{0, 31, 379}, {120, 16, 265}, {240, 0, 151}, {250, 0, 151}, {-3, 31, 379}};
  for (const Case& c : cases) {
    EXPECT_EQ(StepDisplay::Frame(c.steps), c.frame) << c.steps;
    EXPECT_EQ(StepDisplay::MarkerTop(c.steps), c.marker_top) << c.steps;
  }
}

TEST(StepDisplay, ShowsReadoutMarkerAndOneFrame) {
  Glyphs v;
  v.HideAll(400, 30);
  v.HideAll(500, 32);
  v.controls[7].rect = {496, 380, 508, 395};
  StepDisplay s({400, 410, 420}, 7, 500);
  s.ShowFirstFrame(v);
  EXPECT_TRUE(v.Visible(500));
  s.Show(v, 250);
  EXPECT_EQ(v.Digit(400), 2);
  EXPECT_EQ(v.Digit(410), 5);
  EXPECT_EQ(v.Digit(420), 0);
  EXPECT_EQ(v.controls[7].rect, (ControlRect{496, 151, 508, 166}));
  EXPECT_TRUE(v.Visible(500));  // frame 0 at 240 and beyond
  s.Show(v, 0);
  EXPECT_EQ(v.Digit(400), 0);   // "  0" shows 000
  EXPECT_TRUE(v.Visible(531));
  EXPECT_FALSE(v.Visible(500));
  int frames = 0;
  for (int j = 0; j < 32; ++j) frames += v.Visible(500 + j);
  EXPECT_EQ(frames, 1);
}

TEST(StatusScale, ColourFrom83) {
  struct Case {
    bool no_answer, has;
    long value;
    ScaleState state;
  } cases[] = {{false, false, 0, ScaleState::kGreen}, {false, true, 0, ScaleState::kGreen},
               {false, true, 1, ScaleState::kRed}, {false, true, 2, ScaleState::kUnchanged},
               {true, true, 1, ScaleState::kHidden}};
  for (const Case& c : cases)
    EXPECT_EQ(ScaleFor(c.no_answer, c.has, c.value), c.state) << c.value;

  Glyphs v;
  StatusScale s(1, 2);
  s.Show(v, ScaleState::kRed);
  EXPECT_FALSE(v.Visible(1));
  EXPECT_TRUE(v.Visible(2));
  s.Show(v, ScaleState::kUnchanged);
  EXPECT_TRUE(v.Visible(2));
  s.Show(v, ScaleState::kHidden);
  EXPECT_FALSE(v.Visible(1));
  EXPECT_FALSE(v.Visible(2));
  s.Show(v, ScaleState::kGreen);
  EXPECT_TRUE(v.Visible(1));
}

}  // namespace
}  // namespace kova
