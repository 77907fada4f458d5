#include "monitor/chart.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "common/texts.h"

namespace kova {
namespace {

// Margins of the chart, in pixels.
constexpr int kLegendHeight = 18;
constexpr int kAxisHeight = 16;
constexpr int kScaleWidth = 32;    // a scale column's labels
constexpr int kSideWidth = 2 * kScaleWidth + 4;  // two columns and their gap
// Rows kept free above a full-scale value and below zero, so that a trace
// at either end still shows.
constexpr int kEdgeRows = 2;

const TraceStyle kStyles[kTraces] = {
    {"Rotação", "rpm", 0x4FC3F7},
    {"TPS", "V", 0xFFD43B},
    {"Sonda lambda", "V", 0xFF7A45},
    {"Atuador", "passos", 0x3DDC6E},
};

// Grid steps of the time axis, from which the first that leaves room for
// its label is taken.
constexpr uint32_t kGridStepsMs[] = {1000,   2000,   5000,    10000,   15000,   30000, 60000,
                                     120000, 300000, 600000, 1200000, 1800000, 3600000};
constexpr int kGridMinPixels = 70;

int64_t FloorDiv(int64_t a, int64_t b) { return a / b - ((a % b != 0) && ((a < 0) != (b < 0))); }
int64_t CeilDiv(int64_t a, int64_t b) { return -FloorDiv(-a, b); }

char DecimalMark() { return CurrentLanguage() == Language::kEnglish ? '.' : ','; }

// A number with `decimals` places and the language's decimal mark.
std::string Decimal(double v, int decimals) {
  char text[48];
  std::snprintf(text, sizeof text, "%.*f", decimals, v);
  for (char* c = text; *c; ++c)
    if (*c == '.') *c = DecimalMark();
  return text;
}

// A scale label: no decimals where the value is whole.
std::string ScaleLabel(double v) {
  return Decimal(v, std::fabs(v - std::round(v)) < 1e-9 ? 0 : 1);
}

double ScaleStep(Trace trace, double full_scale) {
  switch (trace) {
    case Trace::kRpm: return 2000;
    case Trace::kSteps: return 60;
    default: return full_scale <= 1 ? 0.2 : 1;
  }
}

uint32_t GridStep(uint32_t span, int width) {
  for (uint32_t step : kGridStepsMs)
    if (static_cast<int64_t>(step) * width >= static_cast<int64_t>(kGridMinPixels) * span)
      return step;
  return kGridStepsMs[std::size(kGridStepsMs) - 1];
}

}  // namespace

const TraceStyle& StyleOf(Trace trace) { return kStyles[static_cast<int>(trace)]; }

double FullScale(Trace trace, double lambda_full_scale) {
  switch (trace) {
    case Trace::kRpm: return 8000;
    case Trace::kTps: return 5;
    case Trace::kLambda: return lambda_full_scale > 1 ? 5 : 1;
    case Trace::kSteps: return 240;
  }
  return 1;
}

ChartLayout LayoutChart(int width, int height) {
  ChartLayout l;
  l.legend = {0, 0, width, kLegendHeight};
  const int plot_top = kLegendHeight + 6;
  const int plot_bottom = std::max(plot_top + 1, height - kAxisHeight - 1);
  const int plot_right = std::max(kSideWidth + 1, width - kSideWidth);
  l.plot = {kSideWidth, plot_top, plot_right, plot_bottom};
  l.axis = {l.plot.left, plot_bottom + 1, l.plot.right, std::max(plot_bottom + 1, height)};
  const int top = plot_top - 8, bottom = plot_bottom + 8;
  auto column = [&](int left) { return ChartRect{left, top, left + kScaleWidth, bottom}; };
  l.scales[static_cast<int>(Trace::kRpm)] = {column(0), true};
  l.scales[static_cast<int>(Trace::kTps)] = {column(kScaleWidth + 2), true};
  l.scales[static_cast<int>(Trace::kLambda)] = {column(plot_right + 2), false};
  l.scales[static_cast<int>(Trace::kSteps)] = {column(plot_right + kScaleWidth + 4), false};
  return l;
}

int ValueY(Trace trace, double value, double lambda_full_scale, int height) {
  const double full = FullScale(trace, lambda_full_scale);
  const double f = std::clamp(value / full, 0.0, 1.0);
  const int rows = std::max(0, height - 1 - 2 * kEdgeRows);
  return kEdgeRows + static_cast<int>(std::lround((1.0 - f) * rows));
}

std::vector<ScaleTick> ScaleTicks(Trace trace, double lambda_full_scale, int height) {
  const double full = FullScale(trace, lambda_full_scale);
  const double step = ScaleStep(trace, full);
  std::vector<ScaleTick> ticks;
  for (int i = 0; i * step <= full + 1e-9; ++i)
    ticks.push_back({ValueY(trace, i * step, lambda_full_scale, height), ScaleLabel(i * step)});
  return ticks;
}

// ---- the model ------------------------------------------------------------------

void ChartModel::StartLive() {
  samples_.clear();
  marks_.clear();
  live_ = true;
  paused_ = false;
  span_ = kLiveSpanMs;
  start_ = 0;
  frozen_end_ = 0;
}

void ChartModel::LoadRun(std::vector<ChartSample> samples, std::vector<ChartMark> marks) {
  samples_.assign(samples.begin(), samples.end());
  marks_ = std::move(marks);
  live_ = false;
  paused_ = false;
  ShowWhole();
}

void ChartModel::Add(const ChartSample& sample) {
  ChartSample s = sample;
  if (!samples_.empty()) s.t_ms = std::max(s.t_ms, samples_.back().t_ms);
  samples_.push_back(s);
  // What neither the moving window nor a paused one can show again goes.
  int64_t keep = static_cast<int64_t>(s.t_ms) - span_;
  if (paused_) keep = std::min<int64_t>(keep, static_cast<int64_t>(frozen_end_) - span_);
  keep -= 2 * kJoinMs;
  while (!samples_.empty() && static_cast<int64_t>(samples_.front().t_ms) < keep)
    samples_.pop_front();
  std::erase_if(marks_, [keep](const ChartMark& m) { return m.t_ms < keep; });
}

void ChartModel::AddMark(uint32_t t_ms, MarkKind kind) { marks_.push_back({t_ms, kind}); }

void ChartModel::SetPaused(bool paused) {
  if (!live_) return;
  paused_ = paused;
  if (paused) frozen_end_ = samples_.empty() ? 0 : samples_.back().t_ms;
}

int64_t ChartModel::start() const {
  if (!live_) return start_;
  const uint32_t end = paused_ ? frozen_end_ : samples_.empty() ? 0 : samples_.back().t_ms;
  return static_cast<int64_t>(end) - span_;
}

uint32_t ChartModel::run_begin() const { return samples_.empty() ? 0 : samples_.front().t_ms; }
uint32_t ChartModel::run_end() const { return samples_.empty() ? 0 : samples_.back().t_ms; }

void ChartModel::ShowWhole() {
  if (live_) return;
  // A little room on the right, so that the last sample lands inside.
  const uint32_t duration = run_end() - run_begin();
  span_ = std::max(kMinSpanMs, duration + duration / 100 + 1);
  start_ = run_begin();
}

void ChartModel::ZoomAt(double factor, double fraction) {
  if (live_ || !(factor > 0)) return;
  fraction = std::clamp(fraction, 0.0, 1.0);
  const uint32_t duration = run_end() - run_begin();
  const double most = std::max<double>(kMinSpanMs, duration + duration / 100 + 1);
  const double span = std::clamp(span_ * factor, static_cast<double>(kMinSpanMs), most);
  const double at = start_ + fraction * span_;
  span_ = static_cast<uint32_t>(std::lround(span));
  start_ = static_cast<int64_t>(std::llround(at - fraction * span_));
  ClampStart();
}

void ChartModel::ScrollTo(int64_t start_ms) {
  if (live_) return;
  start_ = start_ms;
  ClampStart();
}

void ChartModel::ClampStart() {
  const int64_t first = run_begin();
  const int64_t last = std::max<int64_t>(first, static_cast<int64_t>(run_end()) - span_ + 1);
  start_ = std::clamp(start_, first, last);
}

int64_t ChartModel::Column(int64_t t_ms, int width) const {
  return FloorDiv(t_ms * width, span_);
}

int64_t ChartModel::ColumnTime(int64_t col, int width) const {
  return CeilDiv(col * span_, width);
}

int64_t ChartModel::FirstColumn(int width) const {
  if (!live_) return Column(start_, width);
  return Column(start() + span_, width) - width + 1;
}

std::deque<ChartSample>::const_iterator ChartModel::From(int64_t t_ms) const {
  return std::lower_bound(samples_.begin(), samples_.end(), t_ms,
                          [](const ChartSample& s, int64_t t) { return s.t_ms < t; });
}

ChartSlice ChartModel::Slice(int64_t first, int64_t last, int width, int height) const {
  ChartSlice slice;
  slice.first = first;
  slice.last = last;
  if (width <= 0 || height <= 0 || last < first) return slice;

  for (int q = 1; q < 4; ++q)
    slice.rows.push_back(ValueY(Trace::kRpm, 2000.0 * q, lambda_full_scale_, height));

  const uint32_t step = GridStep(span_, width);
  int64_t t = std::max<int64_t>(0, ColumnTime(first - kLabelReach, width));
  t = CeilDiv(t, step) * step;
  for (; Column(t, width) <= last; t += step) {
    slice.grid.push_back({Column(t, width), TrFormat("{0} s", {std::to_string(t / 1000)})});
  }
  for (const ChartMark& m : marks_) {
    const int64_t col = Column(m.t_ms, width);
    if (col >= first - kLabelReach && col <= last) slice.marks.push_back({col, m.kind});
  }

  // Samples from a join's length before the first column (a line into the
  // slice) to one after the last (a line out of it). Within one column the
  // samples make a vertical stroke, so a long run costs a few lines a
  // column however many samples it holds.
  struct Run {
    bool open = false, joined_in = false;
    int64_t col = 0, min_y = 0, max_y = 0, last_y = 0;
  };
  std::array<Run, kTraces> runs;
  auto emit = [&](int k, ChartLine line) {
    if (std::max(line.x0, line.x1) >= first && std::min(line.x0, line.x1) <= last)
      slice.lines[k].push_back(line);
  };
  auto close_column = [&](int k, bool run_ends) {
    Run& r = runs[k];
    if (r.min_y < r.max_y) emit(k, {r.col, r.min_y, r.col, r.max_y});
    else if (run_ends && !r.joined_in) emit(k, {r.col, r.min_y, r.col, r.min_y});
  };
  auto end_runs = [&] {
    for (int k = 0; k < kTraces; ++k)
      if (runs[k].open) close_column(k, true), runs[k].open = false;
  };
  const int64_t lo = ColumnTime(first, width) - kJoinMs - span_ / width - 1;
  const int64_t hi = ColumnTime(last + 1, width) + kJoinMs;
  uint32_t last_t = 0;
  for (auto it = From(lo); it != samples_.end() && it->t_ms <= hi; ++it) {
    const ChartSample& s = *it;
    if (!s.answered || (runs[0].open && s.t_ms - last_t > kJoinMs)) end_runs();
    last_t = s.t_ms;
    if (!s.answered) continue;
    const int64_t col = Column(s.t_ms, width);
    for (int k = 0; k < kTraces; ++k) {
      Run& r = runs[k];
      const int64_t y = ValueY(kAllTraces[k], s.values[k], lambda_full_scale_, height);
      if (!r.open) {
        r = {true, false, col, y, y, y};
      } else if (col == r.col) {
        r.min_y = std::min(r.min_y, y);
        r.max_y = std::max(r.max_y, y);
        r.last_y = y;
      } else {
        close_column(k, false);
        emit(k, {r.col, r.last_y, col, y});
        r = {true, true, col, y, y, y};
      }
    }
  }
  end_runs();
  return slice;
}

int64_t ChartModel::TimeAt(int x, int width) const {
  if (width <= 0) return 0;
  const int64_t col = FirstColumn(width) + x;
  return ColumnTime(col, width) + span_ / (2 * width);
}

std::optional<ChartSample> ChartModel::SampleAt(int x, int width) const {
  if (samples_.empty() || width <= 0 || x < 0 || x >= width) return std::nullopt;
  const int64_t t = TimeAt(x, width);
  auto it = From(t);
  // The nearer neighbour; the earlier one when both are as near.
  if (it == samples_.end() ||
      (it != samples_.begin() && t - std::prev(it)->t_ms <= static_cast<int64_t>(it->t_ms) - t))
    it = std::prev(it);
  const int64_t reach = std::max<int64_t>(kJoinMs / 2, span_ / width);
  if (!it->answered || std::llabs(static_cast<int64_t>(it->t_ms) - t) > reach) return std::nullopt;
  return *it;
}

// ---- texts ------------------------------------------------------------------------

std::string TraceCaption(Trace trace) {
  const TraceStyle& s = StyleOf(trace);
  return TrFormat("{0} ({1})", {Tr(s.name), Tr(s.unit)});
}

std::string TraceValueText(Trace trace, double value) {
  const TraceStyle& s = StyleOf(trace);
  const bool volts = trace == Trace::kTps || trace == Trace::kLambda;
  return TrFormat("{0} {1}", {Decimal(value, volts ? 2 : 0), Tr(s.unit)});
}

std::string ChartTimeText(int64_t t_ms) {
  return TrFormat("{0} s", {Decimal(static_cast<double>(t_ms) / 1000.0, 1)});
}

std::string MarkCaption(MarkKind kind) {
  return Tr(kind == MarkKind::kCalibrationStart ? "Início da calibração" : "Fim da calibração");
}

}  // namespace kova
