#include "monitor/live_display.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/support/fake_view.h"

namespace kova {
namespace {

// A view whose glyph controls start hidden, as in a new window, and which
// counts and orders the Show calls.
struct Glyphs : FakeView {
  bool Visible(int id) { return controls.count(id) && controls[id].visible; }
  int Lit(int first, int n) {
    int lit = 0;
    for (int i = 0; i < n; ++i) lit += Visible(first + i);
    return lit;
  }
  void HideAll(int first, int n) {
    for (int i = 0; i < n; ++i) controls[first + i].visible = false;
  }
  std::vector<int> shown;
  void Show(int id, bool visible) override {
    shown.push_back(id);
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
  EXPECT_EQ(v.Cells(100, 4), " 850");  // the blank shows no glyph
  v.shown.clear();
  d.Show(v, "860");
  EXPECT_EQ(v.Cells(100, 4), " 860");
  EXPECT_EQ(v.shown.size(), 2u);  // one shown, one hidden; the rest untouched
  // A new window: nothing is drawn yet, so the same text draws again.
  v.HideAll(100, 40);
  d.Forget();
  d.Show(v, "860");
  EXPECT_EQ(v.Cells(100, 4), " 860");
}

TEST(SpeedArc, LitDotsAndTheirSweep) {
  Glyphs v;
  v.HideAll(0, 28);
  SpeedArc arc(0);
  // 50 lights the first dot already; 1000 is not above 1000.
  const int speeds[][2] = {{0, 0}, {50, 1}, {850, 4}, {7000, 28}, {1000, 4}};
  for (auto [speed, dots] : speeds) {
    arc.Show(v, speed);
    EXPECT_EQ(v.Lit(0, 28), dots) << speed;
  }
  v.shown.clear();
  arc.Show(v, 1000);
  EXPECT_TRUE(v.shown.empty());
  arc.Show(v, 300);
  EXPECT_EQ(v.shown, (std::vector<int>{3, 2}));  // falling: sweeps down
  v.shown.clear();
  arc.Show(v, 1100);
  EXPECT_EQ(v.shown, (std::vector<int>{2, 3, 4}));  // rising: sweeps up
}

TEST(SmallReadout, VoltsAndCounts) {
  Glyphs v;
  v.HideAll(300, 30);
  SmallReadout r({300, 310, 320});
  const std::pair<const char*, const char*> volts[] = {
      {"0.00", "000"}, {"4.20", "420"}, {"5.10", "510"}, {" .5", "050"}};
  for (auto [text, shown] : volts) {
    r.ShowVolts(v, text);
    EXPECT_EQ(v.Cells(300, 3), shown) << text;
  }
  const std::pair<int, const char*> counts[] = {{0, "000"}, {7, "007"}, {60, "060"}, {250, "250"}};
  for (auto [n, shown] : counts) {
    r.ShowCount(v, n);
    EXPECT_EQ(v.Cells(300, 3), shown) << n;
  }
}

TEST(Bars, TopEdgeArithmetic) {
  struct Case {
    double volts;
    int scale, top;  // scale 0: the TPS bar
  } cases[] = {{5.0, 0, 154}, {4.0, 0, 199}, {1.0, 0, 331}, {1.0, 1, 155},
               {0.5, 1, 265}, {2.4, 5, 270}, {5.0, 5, 155}};
  for (const Case& c : cases)
    EXPECT_EQ(c.scale ? bar::LambdaTop(c.volts, c.scale) : bar::TpsTop(c.volts), c.top) << c.volts;
}

TEST(Bars, TopMovesBottomStaysAndZeroVoltsHides) {
  Glyphs v;
  v.controls[9].rect = {45, 153, 57, 393};
  v.controls[8].rect = {397, 151, 409, 393};
  TpsBar tps(9);
  tps.Show(v, 1.0, true);  // a 5-0 V sensor at 1 V stands as 4 V does
  EXPECT_EQ(v.controls[9].rect, (ControlRect{45, 199, 57, 393}));
  int moves = v.moves;
  tps.Show(v, 1.0, true);
  EXPECT_EQ(v.moves, moves);  // the same value draws nothing
  tps.Show(v, 5.0, true);
  EXPECT_FALSE(v.Visible(9));
  tps.Show(v, 0.5, false);
  EXPECT_TRUE(v.Visible(9));

  RefreshCounters counters;
  LambdaBar lambda(8, counters);
  lambda.Show(v, 2.40, 1);
  EXPECT_EQ(v.controls[8].rect, (ControlRect{397, 155, 409, 393}));  // past 1 V: at the top
  lambda.Show(v, 0, 1);
  EXPECT_FALSE(v.Visible(8));
}

TEST(Bars, LambdaBarRedrawsAnEqualValueOnlyForTheFirstFiveDrawings) {
  Glyphs v;
  RefreshCounters counters;
  LambdaBar b(8, counters);
  for (int i = 0; i < 6; ++i) b.Show(v, 0.5, 1);
  EXPECT_EQ(v.moves, 5);
  EXPECT_EQ(counters.lambda_bar, 5);
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
  EXPECT_EQ(v.Cells(400, 3), "250");  // the readout is not limited
  EXPECT_EQ(v.controls[7].rect, (ControlRect{496, 151, 508, 166}));
  s.Show(v, 0);
  EXPECT_EQ(v.Cells(400, 3), "000");
  EXPECT_EQ(v.Lit(500, 32), 1);
  EXPECT_TRUE(v.Visible(531));
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
}

}  // namespace
}  // namespace kova
