// The live display's decisions: which glyph control shows in each digit
// cell, which arc dots are lit, where the bars and the step marker go and
// which actuator frame shows. Every glyph is a pre-created bitmap control
// that the View only shows, hides or moves; each piece remembers what it
// drew and touches a control only when that changes, so nothing flickers.
//
// Used by the monitor panel and by the BRIO lambda screen (speed digits and
// arc). A piece starts with nothing drawn: the glyph controls of a new
// window are hidden, so the first Show draws everything it needs.
#pragma once
#include <array>
#include <string>
#include <string_view>

#include "shell/view.h"

namespace kova {

// A place that shows at most one glyph out of `count` controls with
// consecutive ids (digit d of a cell is first_id + d; an actuator frame).
class GlyphCell {
 public:
  GlyphCell(int first_id, int count) : first_(first_id), count_(count) {}
  // Shows glyph g, or none for -1 (or anything out of range). The new glyph
  // is shown before the old one is hidden, so the place is never empty.
  void Set(View& view, int g);
  // Glyph shown now, -1 for none.
  int shown() const { return shown_; }
  int first_id() const { return first_; }
  // Treat the cell as showing glyph g without touching the controls (what a
  // new window shows by itself).
  void Assume(int g) { shown_ = g; }

 private:
  int first_, count_;
  int shown_ = -1;
};

// The four big digits of the engine speed. Position p's digit d is the
// control first_ids[p] + d.
class SpeedDigits {
 public:
  explicit SpeedDigits(const std::array<int, 4>& first_ids);
  // The four characters a speed text shows: "0" and 1- or 2-character
  // texts become "0000", a 3-character text gets a leading blank, a
  // 4-character text is kept. Anything longer is the caller's business
  // (the panel shows its previous text instead); it is cut to 4 here.
  static std::string Positions(std::string_view text);
  // Draws the text: a blank position shows no glyph, a digit its glyph;
  // positions whose character did not change are not touched.
  void Show(View& view, std::string_view text);
  void Forget();

 private:
  std::array<GlyphCell, 4> cells_;
};

// The 28 dots of the engine-speed arc; dot i is the control first_id + i
// and is lit when i < speed x 0.004 (above 250 x i rpm).
class SpeedArc {
 public:
  static constexpr int kDots = 28;
  explicit SpeedArc(int first_id) : first_(first_id) {}
  static bool Lit(int dot, double speed) { return dot < speed * 0.004; }
  // Sweeps up (dot 0 first) when the speed rose since the last call, down
  // when it fell; an equal speed draws nothing. Only dots whose state
  // changes are touched.
  void Show(View& view, double speed);
  void Forget();
  double last_speed() const { return last_speed_; }

 private:
  int first_;
  double last_speed_ = 0;
  std::array<bool, kDots> lit_ = {};
};

// Three small digit cells (units, tenths, hundredths of a voltage; or the
// three places of a step count). Cell c's digit d is first_ids[c] + d.
class SmallReadout {
 public:
  explicit SmallReadout(const std::array<int, 3>& first_ids);
  // A "%2.2f" text: units from its first character, tenths from its third,
  // hundredths from its fourth; a blank or a missing character shows 0.
  void ShowVolts(View& view, std::string_view text);
  // A count, right-aligned in three places; the leading blanks show 0.
  void ShowCount(View& view, int count);
  // The digit drawn in cell c, -1 while never drawn.
  int digit(int c) const { return cells_[c].shown(); }
  void Forget();

 private:
  void Cell(View& view, int c, char ch);
  std::array<GlyphCell, 3> cells_;
};

// A vertical bar whose top edge moves while its bottom edge stays (TPS and
// lambda bars, in client pixels).
namespace bar {
// Where a TPS bar's top goes for v volts (44.6 px per volt over a 240-pixel
// picture drawn 238 high), truncated.
int TpsTop(double volts);
// Where a lambda bar's top goes for v volts on a probe of the given full
// scale (1 or 5 V), truncated.
int LambdaTop(double volts, double full_scale);
}  // namespace bar

// The process-wide refresh counters (counting up to 5, never reset): for
// the first redraws of a run the step display and the lambda bar are drawn
// even when their value did not change.
struct RefreshCounters {
  int step_display = 0;
  int lambda_bar = 0;
};
RefreshCounters& ProcessRefreshCounters();

class TpsBar {
 public:
  explicit TpsBar(int id) : id_(id) {}
  // Draws v volts; a type "2" sensor (5-0 V) is shown upside down (5 - v).
  // At 0 V or below the bar hides.
  void Show(View& view, double volts, bool inverted);
  void Forget() { last_ = 0; }

 private:
  int id_;
  double last_ = 0;
};

class LambdaBar {
 public:
  LambdaBar(int id, RefreshCounters& counters) : id_(id), counters_(counters) {}
  // Draws v volts on a probe of full scale 1 or 5 V; a voltage above the
  // full scale stands at the top. At 0 V or below the bar hides.
  void Show(View& view, double volts, double full_scale);
  void Forget() { last_ = 0; }

 private:
  int id_;
  RefreshCounters& counters_;
  double last_ = 0;
};

// The actuator's position: the three-place readout, the marker beside the
// 0-240 step scale and the 32 frames of the actuator picture (frame 31 at
// 0 steps, frame 0 at 240).
class StepDisplay {
 public:
  static constexpr int kMaxSteps = 240;
  static constexpr int kFrames = 32;
  StepDisplay(const std::array<int, 3>& readout_first_ids, int marker_id, int first_frame_id);
  // The frame for a position (limited to 0..240).
  static int Frame(int steps);
  // The marker's top edge for a position (limited to 0..240), client pixels.
  static int MarkerTop(int steps);
  // Draws the position: the readout shows the number itself, the marker
  // and the picture stop at 240.
  void Show(View& view, int steps);
  // The picture a new window shows (the first frame).
  void ShowFirstFrame(View& view);
  void Forget();
  const SmallReadout& readout() const { return readout_; }
  int frame() const { return frame_.shown(); }

 private:
  SmallReadout readout_;
  int marker_;
  GlyphCell frame_;
};

// The actuator scale's colour from the live value "83": 0 (or missing)
// green, 1 red; any other value leaves it as it is; with no answer from
// the controller both scales hide.
enum class ScaleState { kGreen, kRed, kHidden, kUnchanged };
ScaleState ScaleFor(bool no_answer, bool has_83, long value_83);

class StatusScale {
 public:
  StatusScale(int green_id, int red_id) : green_(green_id), red_(red_id) {}
  void Show(View& view, ScaleState state);
  ScaleState shown() const { return shown_; }
  void Forget() { shown_ = ScaleState::kUnchanged; }

 private:
  int green_, red_;
  ScaleState shown_ = ScaleState::kUnchanged;  // unknown: a new window
};

}  // namespace kova
