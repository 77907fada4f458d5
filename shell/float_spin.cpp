#include "shell/float_spin.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string_view>

namespace kova {
namespace {

constexpr int kMaxPositions = 32767;

std::string Print(const char* format, double value) {
  char buf[128];
  int n = std::snprintf(buf, sizeof buf, format, value);
  if (n < 0) return {};
  return std::string(buf, std::min<size_t>(static_cast<size_t>(n), sizeof buf - 1));
}

// Trailing zeros, then a trailing decimal point, go when the text has one.
void TrimZeros(std::string& text, char point) {
  if (text.find(point) == std::string::npos) return;
  while (!text.empty() && text.back() == '0') text.pop_back();
  if (!text.empty() && text.back() == point) text.pop_back();
}

}  // namespace

void FloatSpinModel::SetRangeAndStep(double min, double max, double step) {
  min_ = min;
  max_ = max;
  step_ = step;
  if (step != 0.0) {
    double q = std::fabs((max - min) / step);
    positions_ = q >= kMaxPositions ? kMaxPositions : static_cast<int>(q);
  }
}

std::string FloatSpinModel::Format(double value) const {
  if (!format_.empty()) {
    // A user format holds one floating-point conversion; anything else
    // would read past the argument list, so it is printed literally.
    size_t conversions = 0;
    for (size_t i = 0; i < format_.size(); ++i) {
      if (format_[i] != '%') continue;
      if (i + 1 < format_.size() && format_[i + 1] == '%') { ++i; continue; }
      size_t j = i + 1;
      while (j < format_.size() && std::string_view("0123456789.-+ #").find(format_[j]) != std::string_view::npos) ++j;
      if (j >= format_.size() || std::string_view("fFeEgG").find(format_[j]) == std::string_view::npos) return format_;
      ++conversions;
      i = j;
    }
    if (conversions != 1) return format_;
    return Print(format_.c_str(), value);
  }
  if (decimals_ < 0) return Print("%g", value);
  std::string g = Print("%g", value);
  int places = std::min(decimals_, 60);
  bool exponent = g.find('e') != std::string::npos;
  char conversion[32];
  std::snprintf(conversion, sizeof conversion, exponent ? "%%.%de" : "%%.%df", places);
  std::string text = Print(conversion, value);
  if (!trim_) return text;
  if (exponent) {
    size_t e = text.find('e');
    std::string mantissa = text.substr(0, e);
    TrimZeros(mantissa, point_);
    return mantissa + text.substr(e);
  }
  TrimZeros(text, point_);
  return text;
}

int FloatSpinModel::IntegerPosition(double value) const {
  if (max_ == min_) return 0;
  if (value < min_) return 0;
  if (value >= max_) return positions_;
  return static_cast<int>(std::lround((value - min_) / (max_ - min_) * positions_));
}

double FloatSpinModel::Parse(const std::string& text) const {
  std::string t = text;
  // The text follows the locale's decimal point; read it with either.
  for (char& c : t)
    if (c == point_) c = '.';
  char* end = nullptr;
  double v = std::strtod(t.c_str(), &end);
  if (end == t.c_str() || !std::isfinite(v)) return 0.0;
  return v;
}

double FloatSpinModel::Step(double current, int delta, bool wrap) const {
  double v = current + delta * step_;
  if (wrap) {
    double tol_max = std::max(std::fabs(max_) * 1e-9, 1e-9);
    double tol_min = std::max(std::fabs(min_) * 1e-9, 1e-9);
    if (v > max_ + tol_max) return min_;
    if (v < min_ - tol_min) return max_;
    return v;
  }
  return std::clamp(v, std::min(min_, max_), std::max(min_, max_));
}

}  // namespace kova
