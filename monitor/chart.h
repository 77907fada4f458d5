// The strip chart of the monitor panel and of the recording viewer: engine
// speed, TPS, lambda and actuator steps over time, each on its own scale.
//
// Everything a window needs to draw it is decided here, in pixels: where
// each part of the chart sits, where a value lands, which lines join which
// samples (a silent tick or a pause in the stream leaves a gap, never a
// flat line), the time grid and the calibration marks. The window side only
// paints what a slice lists.
//
// Time maps to absolute pixel columns, column = t x plot width / span, so
// a live chart that moves on by a few columns draws only those columns and
// shifts what it drew before.
#pragma once
#include <array>
#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <vector>

namespace kova {

enum class Trace { kRpm, kTps, kLambda, kSteps };
inline constexpr int kTraces = 4;
inline constexpr std::array<Trace, kTraces> kAllTraces = {Trace::kRpm, Trace::kTps,
                                                          Trace::kLambda, Trace::kSteps};

struct TraceStyle {
  const char* name;  // Portuguese; shown through Tr()
  const char* unit;
  unsigned rgb;      // 0xRRGGBB
};
const TraceStyle& StyleOf(Trace trace);

// The top of a trace's scale: 8000 rpm, 5 V, the probe's 1 or 5 V, 240 steps.
double FullScale(Trace trace, double lambda_full_scale);

struct ChartSample {
  uint32_t t_ms = 0;       // since the chart began
  bool answered = false;   // false: nothing came from the controller here
  std::array<double, kTraces> values{};  // in the order of Trace
};

enum class MarkKind { kCalibrationStart, kCalibrationEnd };
struct ChartMark {
  uint32_t t_ms = 0;
  MarkKind kind = MarkKind::kCalibrationStart;
  bool operator==(const ChartMark&) const = default;
};

struct ChartRect {
  int left = 0, top = 0, right = 0, bottom = 0;
  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
};

// Where the parts of a chart of the given size go: the legend (which is
// also the cursor readout) on top, a scale column per trace at the sides
// (engine speed and TPS left, lambda and steps right), the plot, and the
// time axis under the plot, which moves with it.
struct ChartLayout {
  ChartRect legend, plot, axis;
  struct ScaleColumn {
    ChartRect area;
    bool right_aligned;  // the left side's labels stand against the plot
  };
  std::array<ScaleColumn, kTraces> scales;
};
ChartLayout LayoutChart(int width, int height);

// A value's row in a plot `height` pixels high (0 at the top), kept inside
// the plot when the value lies outside its scale.
int ValueY(Trace trace, double value, double lambda_full_scale, int height);

struct ScaleTick {
  int y;  // plot row
  std::string label;
};
// The labelled values of a trace's scale, bottom to top.
std::vector<ScaleTick> ScaleTicks(Trace trace, double lambda_full_scale, int height);

// A line between two plot points; x in absolute columns, y in plot rows.
// A line whose ends coincide is a lone sample's dot.
struct ChartLine {
  int64_t x0, y0, x1, y1;
  bool operator==(const ChartLine&) const = default;
};

// What to draw in columns [first, last] of a plot. Grid lines and marks
// whose label starts a little to the left are listed too: their labels
// reach into these columns.
struct ChartSlice {
  int64_t first = 0, last = -1;
  std::array<std::vector<ChartLine>, kTraces> lines;
  struct GridLine {
    int64_t col;
    std::string label;  // "30 s"
  };
  std::vector<GridLine> grid;
  struct MarkLine {
    int64_t col;
    MarkKind kind;
  };
  std::vector<MarkLine> marks;
  std::vector<int> rows;  // horizontal grid rows, at the quarters
};

// The samples of a chart and the stretch of time it shows. A live chart
// shows the last minute and moves with its newest sample unless paused; a
// recorded run starts whole and is zoomed and scrolled along time.
class ChartModel {
 public:
  static constexpr uint32_t kLiveSpanMs = 60000;
  // Samples further apart than this are not joined: the poll stopped (a
  // write, a calibration) or the controller was silent.
  static constexpr uint32_t kJoinMs = 500;
  static constexpr uint32_t kMinSpanMs = 2000;
  // How far left of a slice a label may start and still reach into it.
  static constexpr int kLabelReach = 160;

  // An empty live chart.
  void StartLive();
  // A recorded run, shown whole. Samples in time order.
  void LoadRun(std::vector<ChartSample> samples, std::vector<ChartMark> marks);
  bool live() const { return live_; }

  void SetLambdaFullScale(double volts) { lambda_full_scale_ = volts; }
  double lambda_full_scale() const { return lambda_full_scale_; }

  // The next sample of a live chart; a time before the last counts as the
  // last. Keeps what a paused or moving window can still show.
  void Add(const ChartSample& sample);
  void AddMark(uint32_t t_ms, MarkKind kind);

  // A paused live chart stays where it is while samples keep coming.
  void SetPaused(bool paused);
  bool paused() const { return paused_; }

  // The time shown: from start() for span() ms.
  uint32_t span() const { return span_; }
  int64_t start() const;
  // A recorded run: its first and last sample times.
  uint32_t run_begin() const;
  uint32_t run_end() const;
  void ShowWhole();
  // Zooms by `factor` (below 1 shows less time) keeping the time at
  // `fraction` of the plot's width where it is.
  void ZoomAt(double factor, double fraction);
  void ScrollTo(int64_t start_ms);

  // The absolute column of a time, and the first column shown, for a plot
  // `width` columns wide.
  int64_t Column(int64_t t_ms, int width) const;
  int64_t FirstColumn(int width) const;
  ChartSlice Slice(int64_t first, int64_t last, int width, int height) const;
  // The time under plot column x (0 at the plot's left edge), and the
  // sample drawn there: none in a gap.
  int64_t TimeAt(int x, int width) const;
  std::optional<ChartSample> SampleAt(int x, int width) const;

  const std::deque<ChartSample>& samples() const { return samples_; }
  const std::vector<ChartMark>& marks() const { return marks_; }

 private:
  // The first ms of a column (floor), and the samples from a time on.
  int64_t ColumnTime(int64_t col, int width) const;
  std::deque<ChartSample>::const_iterator From(int64_t t_ms) const;
  void ClampStart();

  std::deque<ChartSample> samples_;
  std::vector<ChartMark> marks_;
  bool live_ = true;
  bool paused_ = false;
  uint32_t span_ = kLiveSpanMs;
  int64_t start_ = 0;       // a recorded run's first time shown
  uint32_t frozen_end_ = 0;  // the end of a paused live chart
  double lambda_full_scale_ = 1;
};

// Texts of the legend and the cursor readout, in the chosen language.
std::string TraceCaption(Trace trace);                 // "Rotação (rpm)"
std::string TraceValueText(Trace trace, double value);  // "1850 rpm", "0,45 V"
std::string ChartTimeText(int64_t t_ms);                // "73,4 s"
std::string MarkCaption(MarkKind kind);

}  // namespace kova
