#include "monitor/recording_reader.h"

#include <algorithm>
#include <cstdint>

#include "common/cp1252.h"
#include "common/texts.h"
#include "monitor/recorder.h"

namespace kova {
namespace {

// The columns of a line, as the recorder writes them.
enum Column { kElapsed, kWhen, kRpm, kTps, kLambda, kSteps, kScale, kEvent };
constexpr size_t kNeeded = kScale + 1;  // a line cut in its event still has its values

std::string_view Trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) s.remove_suffix(1);
  // A spreadsheet that saved the file again may have quoted its fields.
  if (s.size() >= 2 && s.front() == '"' && s.back() == '"') s = s.substr(1, s.size() - 2);
  return s;
}

std::vector<std::string_view> Split(std::string_view line, char sep) {
  std::vector<std::string_view> fields;
  for (;;) {
    const size_t at = line.find(sep);
    fields.push_back(Trim(line.substr(0, at)));
    if (at == std::string_view::npos) return fields;
    line.remove_prefix(at + 1);
  }
}

std::optional<uint32_t> Whole(std::string_view s) {
  if (s.empty() || s.size() > 9) return std::nullopt;
  uint32_t v = 0;
  for (char c : s) {
    if (c < '0' || c > '9') return std::nullopt;
    v = v * 10 + static_cast<uint32_t>(c - '0');
  }
  return v;
}

// Digits with at most one decimal mark; "," only where it does not
// separate fields.
std::optional<double> Number(std::string_view s, char sep) {
  const size_t mark = s.find_first_of(sep == ',' ? "." : ".,");
  auto whole = Whole(s.substr(0, mark));
  if (!whole) return std::nullopt;
  double v = *whole;
  if (mark == std::string_view::npos) return v;
  std::string_view fraction = s.substr(mark + 1);
  if (fraction.empty() || fraction.size() > 6) return std::nullopt;
  auto digits = Whole(fraction);
  if (!digits) return std::nullopt;
  double scale = 1;
  for (size_t i = 0; i < fraction.size(); ++i) scale *= 10;
  return v + *digits / scale;
}

bool BlankLine(std::string_view line, char sep) {
  return line.find_first_not_of(std::string(" \t\r\"") + sep) == std::string_view::npos;
}

}  // namespace

std::optional<Recording> ReadRecording(std::string_view bytes) {
  bool utf8 = false;
  if (bytes.substr(0, 3) == "\xEF\xBB\xBF") {
    bytes.remove_prefix(3);
    utf8 = true;
  }
  // The header names the columns; its separator is the file's.
  const std::string_view header = bytes.substr(0, bytes.find('\n'));
  const auto semicolons = std::count(header.begin(), header.end(), ';');
  const auto commas = std::count(header.begin(), header.end(), ',');
  const char sep = semicolons >= static_cast<long>(kNeeded) - 1 ? ';'
                   : commas >= static_cast<long>(kNeeded) - 1 ? ','
                                                              : '\0';
  if (!sep) return std::nullopt;
  const std::vector<std::string_view> names = Split(header, sep);
  if (names.size() < kNeeded || names[kElapsed].find("(ms)") == std::string_view::npos)
    return std::nullopt;

  Recording rec;
  bool in_calibration = false;
  int line_no = 1;
  size_t at = header.size();
  while (at < bytes.size()) {
    ++at;  // the line break
    const size_t end = std::min(bytes.find('\n', at), bytes.size());
    const std::string_view line = bytes.substr(at, end - at);
    at = end;
    ++line_no;
    if (BlankLine(line, sep)) continue;

    const std::vector<std::string_view> f = Split(line, sep);
    std::optional<uint32_t> t, steps;
    std::optional<double> rpm, tps, lambda;
    if (f.size() >= kNeeded) {
      t = Whole(f[kElapsed]);
      rpm = Number(f[kRpm], sep);
      tps = Number(f[kTps], sep);
      lambda = Number(f[kLambda], sep);
      steps = Whole(f[kSteps]);
    }
    const bool in_order = t && (rec.samples.empty() || *t >= rec.samples.back().t_ms);
    if (!in_order || !rpm || !tps || !lambda || !steps) {
      rec.stopped_line = line_no;
      break;
    }
    if (rec.samples.empty()) rec.started = std::string(f[kWhen]);
    rec.samples.push_back({*t, true, {*rpm, *tps, *lambda, static_cast<double>(*steps)}});
    if (*lambda > 1.0 + 1e-9) rec.lambda_full_scale = 5;

    if (f.size() > kEvent && !f[kEvent].empty()) {
      const std::string event = utf8 ? std::string(f[kEvent]) : Cp1252ToUtf8(f[kEvent]);
      // A recording made in another language marks its calibrations too.
      const bool starts = InAnyLanguage(event, kCalibrationStartEvent);
      // Every other event closes the calibration it belongs to (its report,
      // its time-out, its end); events outside one mark nothing.
      if (starts || in_calibration)
        rec.marks.push_back({*t, starts ? MarkKind::kCalibrationStart : MarkKind::kCalibrationEnd});
      in_calibration = starts;
    }
  }
  return rec;
}

}  // namespace kova
