#include "monitor/live_display.h"

#include <algorithm>
#include <cstdio>

namespace kova {

void GlyphCell::Set(View& view, int g) {
  if (g < 0 || g >= count_) g = -1;
  if (g == shown_) return;
  if (g >= 0) view.Show(first_ + g, true);
  if (shown_ >= 0) view.Show(first_ + shown_, false);
  shown_ = g;
}

// ---- engine speed -----------------------------------------------------------

SpeedDigits::SpeedDigits(const std::array<int, 4>& first_ids)
    : cells_{GlyphCell(first_ids[0], 10), GlyphCell(first_ids[1], 10),
             GlyphCell(first_ids[2], 10), GlyphCell(first_ids[3], 10)} {}

std::string SpeedDigits::Positions(std::string_view text) {
  switch (text.size()) {
    case 3: return " " + std::string(text);
    case 4: return std::string(text);
    default:
      if (text.size() > 4) return std::string(text.substr(0, 4));
      return "0000";  // "0", and any other 1- or 2-character text
  }
}

void SpeedDigits::Show(View& view, std::string_view text) {
  const std::string shown = Positions(text);
  for (int p = 0; p < 4; ++p) {
    const char ch = shown[static_cast<size_t>(p)];
    cells_[static_cast<size_t>(p)].Set(view, ch >= '0' && ch <= '9' ? ch - '0' : -1);
  }
}

void SpeedDigits::Forget() {
  for (GlyphCell& c : cells_) c.Assume(-1);
}

void SpeedArc::Show(View& view, double speed) {
  if (speed == last_speed_) return;
  const bool rising = speed > last_speed_;
  for (int k = 0; k < kDots; ++k) {
    const int i = rising ? k : kDots - 1 - k;
    const bool lit = Lit(i, speed);
    if (lit == lit_[static_cast<size_t>(i)]) continue;
    view.Show(first_ + i, lit);
    lit_[static_cast<size_t>(i)] = lit;
  }
  last_speed_ = speed;
}

void SpeedArc::Forget() {
  last_speed_ = 0;
  lit_.fill(false);
}

// ---- readouts ---------------------------------------------------------------

SmallReadout::SmallReadout(const std::array<int, 3>& first_ids)
    : cells_{GlyphCell(first_ids[0], 10), GlyphCell(first_ids[1], 10),
             GlyphCell(first_ids[2], 10)} {}

void SmallReadout::Cell(View& view, int c, char ch) {
  cells_[static_cast<size_t>(c)].Set(view, ch >= '0' && ch <= '9' ? ch - '0' : 0);
}

void SmallReadout::ShowVolts(View& view, std::string_view text) {
  auto at = [&](size_t i) { return i < text.size() ? text[i] : ' '; };
  Cell(view, 0, at(0));
  Cell(view, 1, at(2));
  Cell(view, 2, at(3));
}

void SmallReadout::ShowCount(View& view, int count) {
  char text[16];
  std::snprintf(text, sizeof text, "%3d", std::clamp(count, 0, 999));
  for (int c = 0; c < 3; ++c) Cell(view, c, text[c]);
}

void SmallReadout::Forget() {
  for (GlyphCell& c : cells_) c.Assume(-1);
}

// ---- bars -------------------------------------------------------------------

namespace bar {

// The bars' zero line and the pixels per volt, as the panel picture draws
// its tracks and ticks.
constexpr double kZeroY = 376;

int TpsTop(double volts) { return static_cast<int>(kZeroY - volts * 44.6 * (1.0 / 240) * 238); }

int LambdaTop(double volts, double full_scale) {
  return static_cast<int>(kZeroY - (volts * 222 / (full_scale * 240)) * 238);
}

}  // namespace bar

namespace {

// Moves a bar's top edge, keeping its bottom edge, and shows it.
void MoveTop(View& view, int id, int top) {
  ControlRect r = view.GetControlRect(id);
  r.top = std::min(top, r.bottom);
  view.MoveControl(id, r);
  view.Show(id, true);
}

}  // namespace

RefreshCounters& ProcessRefreshCounters() {
  static RefreshCounters counters;
  return counters;
}

void TpsBar::Show(View& view, double volts, bool inverted) {
  double v = inverted ? 5.0 - volts : volts;
  if (v <= 0) {
    view.Show(id_, false);
    last_ = 0;
    return;
  }
  if (v == last_) return;
  last_ = v;
  MoveTop(view, id_, bar::TpsTop(v));
}

void LambdaBar::Show(View& view, double volts, double full_scale) {
  if (full_scale <= 0) full_scale = 1;
  if (volts <= 0) {
    view.Show(id_, false);
    last_ = 0;
    return;
  }
  // A voltage past the full scale stands at the top of the bar.
  const double v = std::min(volts, full_scale);
  if (v == last_ && counters_.lambda_bar > 4) return;
  if (counters_.lambda_bar < 5) ++counters_.lambda_bar;
  last_ = v;
  MoveTop(view, id_, bar::LambdaTop(v, full_scale));
}

// ---- actuator -----------------------------------------------------------------

StepDisplay::StepDisplay(const std::array<int, 3>& readout_first_ids, int marker_id,
                         int first_frame_id)
    : readout_(readout_first_ids), marker_(marker_id), frame_(first_frame_id, kFrames) {}

int StepDisplay::Frame(int steps) {
  const double f = std::clamp(steps, 0, kMaxSteps) / static_cast<double>(kMaxSteps);
  return 31 - static_cast<int>(f * 31);
}

int StepDisplay::MarkerTop(int steps) {
  const double f = std::clamp(steps, 0, kMaxSteps) / static_cast<double>(kMaxSteps);
  return static_cast<int>(379 - f * 228);
}

void StepDisplay::Show(View& view, int steps) {
  readout_.ShowCount(view, steps);
  ControlRect r = view.GetControlRect(marker_);
  const int top = MarkerTop(steps);
  if (r.top != top) {
    const int h = r.Height();
    r.top = top;
    r.bottom = top + h;
    view.MoveControl(marker_, r);
  }
  frame_.Set(view, Frame(steps));
}

void StepDisplay::ShowFirstFrame(View& view) { frame_.Set(view, 0); }

void StepDisplay::Forget() {
  readout_.Forget();
  frame_.Assume(-1);
}

// ---- actuator scale ------------------------------------------------------------

ScaleState ScaleFor(bool no_answer, bool has_83, long value_83) {
  if (no_answer) return ScaleState::kHidden;
  if (!has_83 || value_83 == 0) return ScaleState::kGreen;
  if (value_83 == 1) return ScaleState::kRed;
  return ScaleState::kUnchanged;
}

void StatusScale::Show(View& view, ScaleState state) {
  if (state == ScaleState::kUnchanged || state == shown_) return;
  const bool green = state == ScaleState::kGreen, red = state == ScaleState::kRed;
  // The one that appears goes first, so the scale never blinks empty.
  if (green) view.Show(green_, true);
  if (red) view.Show(red_, true);
  if (!green) view.Show(green_, false);
  if (!red) view.Show(red_, false);
  shown_ = state;
}

}  // namespace kova
