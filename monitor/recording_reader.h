// Reading a recording of the monitor panel back (recorder.h writes them)
// for the recording viewer. Both forms of the file are read: ";" between
// fields with a decimal comma (or point), and "," between fields with a
// decimal point, as the PC's list separator had it when it was recorded.
//
// A damaged or cut-off file gives what could be read before the first line
// that cannot be, and that line's number.
#pragma once
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "monitor/chart.h"

namespace kova {

struct Recording {
  std::vector<ChartSample> samples;  // times since the recording began
  std::vector<ChartMark> marks;      // the calibrations' start and end
  std::string started;               // date and time of the first line, as written
  int stopped_line = 0;              // 1-based line that stopped the reading; 0: none
  // A probe of 0-5 V when a voltage above 1 V was recorded, else 0-1 V.
  double lambda_full_scale = 1;
};

// The recording in the file's bytes, or nothing when they are not a
// recording of the monitor panel.
std::optional<Recording> ReadRecording(std::string_view bytes);

// The largest file the viewer opens (about a day of recording).
inline constexpr size_t kMaxRecordingBytes = 64u << 20;

}  // namespace kova
