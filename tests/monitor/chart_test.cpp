// The chart's geometry: values to rows and the scales per probe, the gap
// rule, the live window (moving, paused), a recorded run zoomed and
// scrolled, the readout under the cursor.
#include "monitor/chart.h"

#include <gtest/gtest.h>

#include "common/texts.h"

namespace kova {
namespace {

// A plot 600 columns wide for a minute: 10 columns a second, one per tick.
constexpr int kWidth = 600, kHeight = 105;  // 100 rows between the edge rows

ChartSample At(uint32_t t, double rpm = 1000, double tps = 1, double lambda = 0.5,
               double steps = 60) {
  return {t, true, {rpm, tps, lambda, steps}};
}
ChartSample Silent(uint32_t t) { return {t, false, {}}; }

TEST(ChartScale, ValuesToRowsPerTraceAndProbe) {
  struct Case {
    Trace trace;
    double value, probe;
    int row;
  } cases[] = {
      {Trace::kRpm, 0, 1, 102},      {Trace::kRpm, 4000, 1, 52},   {Trace::kRpm, 8000, 1, 2},
      {Trace::kRpm, 9500, 1, 2},     {Trace::kRpm, -5, 1, 102},    {Trace::kTps, 2.5, 1, 52},
      {Trace::kTps, 5.1, 1, 2},      {Trace::kLambda, 0.5, 1, 52}, {Trace::kLambda, 1, 1, 2},
      {Trace::kLambda, 2.4, 1, 2},   {Trace::kLambda, 0.5, 5, 92}, {Trace::kLambda, 2.5, 5, 52},
      {Trace::kLambda, 5, 5, 2},     {Trace::kSteps, 120, 1, 52},  {Trace::kSteps, 250, 1, 2},
      {Trace::kSteps, 0, 5, 102},
  };
  for (const Case& c : cases)
    EXPECT_EQ(ValueY(c.trace, c.value, c.probe, kHeight), c.row)
        << StyleOf(c.trace).name << " " << c.value << " on a " << c.probe << " V probe";
}

TEST(ChartScale, EachTraceLabelsItsOwnScale) {
  struct Case {
    Trace trace;
    double probe;
    std::vector<std::string> labels;
  } cases[] = {
      {Trace::kRpm, 1, {"0", "2000", "4000", "6000", "8000"}},
      {Trace::kTps, 1, {"0", "1", "2", "3", "4", "5"}},
      {Trace::kLambda, 1, {"0", "0,2", "0,4", "0,6", "0,8", "1"}},
      {Trace::kLambda, 5, {"0", "1", "2", "3", "4", "5"}},
      {Trace::kSteps, 5, {"0", "60", "120", "180", "240"}},
  };
  for (const Case& c : cases) {
    std::vector<std::string> labels;
    const auto ticks = ScaleTicks(c.trace, c.probe, kHeight);
    for (const ScaleTick& t : ticks) labels.push_back(t.label);
    EXPECT_EQ(labels, c.labels) << StyleOf(c.trace).name << " " << c.probe;
    EXPECT_EQ(ticks.front().y, kHeight - 3);  // zero at the bottom, full scale at the top
    EXPECT_EQ(ticks.back().y, 2);
  }
  SetLanguage(Language::kEnglish);
  EXPECT_EQ(ScaleTicks(Trace::kLambda, 1, kHeight)[1].label, "0.2");
  EXPECT_EQ(TraceValueText(Trace::kTps, 2.1), "2.10 V");
  SetLanguage(Language::kPortuguese);
  EXPECT_EQ(TraceValueText(Trace::kLambda, 0.456), "0,46 V");
  EXPECT_EQ(TraceValueText(Trace::kSteps, 98), "98 passos");
  EXPECT_EQ(ChartTimeText(73420), "73,4 s");
}

// The lines of the engine-speed trace in the columns of a slice.
std::vector<ChartLine> RpmLines(const ChartModel& m, int64_t first, int64_t last) {
  return m.Slice(first, last, kWidth, kHeight).lines[0];
}

TEST(ChartGaps, OnlyAnsweredNeighboursAreJoined) {
  ChartModel m;
  m.StartLive();
  const int64_t y = ValueY(Trace::kRpm, 1000, 1, kHeight);
  const int64_t y2 = ValueY(Trace::kRpm, 3000, 1, kHeight);
  // 0-200 ms joined; a silent tick at 300; a lone answer at 400; silence;
  // 700 and 800 joined; then the poll stopped for 600 ms (a write).
  for (ChartSample s : {At(0), At(100), At(200, 3000), Silent(300), At(400), Silent(500),
                        At(700), At(800), At(1400)})
    m.Add(s);
  EXPECT_EQ(RpmLines(m, 0, 20), (std::vector<ChartLine>{{0, y, 1, y},
                                                        {1, y, 2, y2},
                                                        {4, y, 4, y},  // a lone sample's dot
                                                        {7, y, 8, y},
                                                        {14, y, 14, y}}));
  // Every trace follows the same rule.
  const ChartSlice slice = m.Slice(0, 20, kWidth, kHeight);
  for (int k = 1; k < kTraces; ++k) EXPECT_EQ(slice.lines[k].size(), 5u) << k;
  // A slice of new columns carries the line coming into them.
  EXPECT_EQ(RpmLines(m, 2, 2), (std::vector<ChartLine>{{1, y, 2, y2}}));
}

TEST(ChartGaps, SamplesOfOneColumnMakeOneStroke) {
  ChartModel m;
  m.StartLive();
  // A long recorded run on a narrow plot: many samples a column.
  std::vector<ChartSample> run;
  for (uint32_t t = 0; t <= 600000; t += 100) run.push_back(At(t, 1000 + (t / 100 % 2) * 2000));
  m.LoadRun(run, {});
  const ChartSlice slice = m.Slice(m.FirstColumn(kWidth), m.FirstColumn(kWidth) + kWidth - 1,
                                   kWidth, kHeight);
  // A stroke and a line into the next column, per column: not 6000 lines.
  EXPECT_LE(slice.lines[0].size(), 2u * kWidth);
  EXPECT_GE(slice.lines[0].size(), kWidth - 10u);
  const int64_t top = ValueY(Trace::kRpm, 3000, 1, kHeight);
  const int64_t bottom = ValueY(Trace::kRpm, 1000, 1, kHeight);
  EXPECT_EQ(slice.lines[0][0], (ChartLine{0, top, 0, bottom}));
}

TEST(ChartLive, ShowsTheLastMinuteAndHoldsStillWhilePaused) {
  ChartModel m;
  m.StartLive();
  m.Add(At(0));
  EXPECT_EQ(m.FirstColumn(kWidth), -kWidth + 1);  // the first sample at the right edge
  for (uint32_t t = 100; t <= 90000; t += 100) m.Add(At(t));
  EXPECT_EQ(m.FirstColumn(kWidth), 900 - kWidth + 1);
  EXPECT_EQ(m.start(), 30000);
  // Older than the minute shown (and what joins into it) is let go.
  EXPECT_GE(m.samples().front().t_ms, 29000u);
  EXPECT_LE(m.samples().front().t_ms, 30000u);

  m.SetPaused(true);
  for (uint32_t t = 90100; t <= 200000; t += 100) m.Add(At(t));
  EXPECT_EQ(m.FirstColumn(kWidth), 900 - kWidth + 1);  // held where it was paused
  EXPECT_TRUE(m.SampleAt(kWidth - 1, kWidth));          // what it shows is still there
  EXPECT_EQ(m.samples().back().t_ms, 200000u);          // and the samples went on
  m.SetPaused(false);
  EXPECT_EQ(m.FirstColumn(kWidth), 2000 - kWidth + 1);
}

TEST(ChartLive, GridMarksAndReadout) {
  ChartModel m;
  m.StartLive();
  for (uint32_t t = 0; t <= 25000; t += 100) m.Add(t == 12000 ? Silent(t) : At(t, t / 10.0));
  m.AddMark(5000, MarkKind::kCalibrationStart);
  m.AddMark(9000, MarkKind::kCalibrationEnd);
  const int64_t first = m.FirstColumn(kWidth);
  const ChartSlice s = m.Slice(first, first + kWidth - 1, kWidth, kHeight);
  std::vector<std::string> labels;
  for (const auto& g : s.grid) labels.push_back(g.label);
  EXPECT_EQ(labels, (std::vector<std::string>{"0 s", "10 s", "20 s"}));
  EXPECT_EQ(s.grid[1].col, 100);
  ASSERT_EQ(s.marks.size(), 2u);
  EXPECT_EQ(s.marks[0].col, 50);
  EXPECT_EQ(s.marks[1].kind, MarkKind::kCalibrationEnd);
  // The readout: time and values under a column; nothing in the gap.
  const int x = static_cast<int>(73 - first);  // column of 7.3 s
  EXPECT_GE(m.TimeAt(x, kWidth), 7300);
  EXPECT_LT(m.TimeAt(x, kWidth), 7400);
  ASSERT_TRUE(m.SampleAt(x, kWidth));
  EXPECT_EQ(m.SampleAt(x, kWidth)->values[0], 730);
  EXPECT_FALSE(m.SampleAt(static_cast<int>(120 - first), kWidth));
  EXPECT_FALSE(m.SampleAt(0, kWidth));  // before the chart began
}

TEST(ChartRun, ShownWholeThenZoomedAndScrolled) {
  ChartModel m;
  std::vector<ChartSample> run;
  for (uint32_t t = 5000; t <= 305000; t += 100) run.push_back(At(t));
  m.LoadRun(run, {{100000, MarkKind::kCalibrationStart}});
  EXPECT_FALSE(m.live());
  // Whole: the first sample in the first column, the last inside the plot.
  EXPECT_EQ(m.Column(5000, kWidth), m.FirstColumn(kWidth));
  EXPECT_LT(m.Column(305000, kWidth), m.FirstColumn(kWidth) + kWidth);
  EXPECT_TRUE(m.SampleAt(kWidth - 10, kWidth));

  // Zoom in around a quarter of the way: that time stays under it.
  const int64_t before = m.TimeAt(kWidth / 4, kWidth);
  m.ZoomAt(0.25, 0.25);
  EXPECT_NEAR(m.TimeAt(kWidth / 4, kWidth), before, 303001 / kWidth + 1);  // a column before
  EXPECT_NEAR(m.span(), 75750, 10);
  // Scrolling stops at both ends of the run.
  m.ScrollTo(-100000);
  EXPECT_EQ(m.start(), 5000);
  m.ScrollTo(1000000);
  EXPECT_EQ(m.start() + m.span(), 305000 + 1);
  // Zooming stops at two seconds, and out at the whole run.
  for (int i = 0; i < 20; ++i) m.ZoomAt(0.5, 0.5);
  EXPECT_EQ(m.span(), ChartModel::kMinSpanMs);
  for (int i = 0; i < 20; ++i) m.ZoomAt(2, 0.5);
  EXPECT_EQ(m.start(), 5000);
  EXPECT_GE(m.span(), 300000u);
  // The grid thins out to keep its labels apart.
  const ChartSlice s = m.Slice(m.FirstColumn(kWidth), m.FirstColumn(kWidth) + kWidth - 1,
                               kWidth, kHeight);
  ASSERT_GE(s.grid.size(), 2u);
  EXPECT_GE(s.grid[1].col - s.grid[0].col, 70);
}

}  // namespace
}  // namespace kova
