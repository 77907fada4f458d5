// The arithmetic of the floating-point spin control: range, integer
// positions, formatting of the buddy text and the step on an arrow click.
// The Win32 control (FloatSpinControl, shell/win32/controls.h) only relays
// messages to it.
#pragma once
#include <string>

namespace kova {

class FloatSpinModel {
 public:
  // The decimal point of the runtime's locale, used to trim and to read.
  explicit FloatSpinModel(char decimal_point = '.') : point_(decimal_point) {}

  // Stores the range and step; a step of 0 keeps the previous positions.
  void SetRangeAndStep(double min, double max, double step);
  void SetDecimals(int decimals) { decimals_ = decimals; }
  void SetFormat(const std::string& format) { format_ = format; }
  void SetTrim(bool trim) { trim_ = trim; }

  double min() const { return min_; }
  double max() const { return max_; }
  double step() const { return step_; }
  int positions() const { return positions_; }
  int decimals() const { return decimals_; }
  char decimal_point() const { return point_; }

  // The buddy text for a value (the format text when set, else the
  // automatic formatting).
  std::string Format(double value) const;
  // The integer position of the up-down control for a value.
  int IntegerPosition(double value) const;
  // The value a buddy text stands for (0 for text that is no number).
  double Parse(const std::string& text) const;
  // The value after an arrow click of `delta` steps from `current`:
  // wrapped round with `wrap`, clamped to the range otherwise.
  double Step(double current, int delta, bool wrap) const;

 private:
  double min_ = 0.0, max_ = 100.0, step_ = 1.0;
  int positions_ = 100;
  int decimals_ = -1;
  std::string format_;
  bool trim_ = true;
  char point_;
};

}  // namespace kova
