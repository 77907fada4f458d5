// Fuzz target for the recording reader: any bytes as a file opened with
// "Abrir gravação". What comes back must be what the viewer can draw.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "monitor/recording_reader.h"

namespace {

void Check(bool ok) {
  if (!ok) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const auto rec = kova::ReadRecording(std::string_view(reinterpret_cast<const char*>(data), size));
  if (!rec) return 0;
  // Samples in time order with finite values; marks at sample times; a
  // stopped line only where a line could not be read.
  for (size_t i = 0; i < rec->samples.size(); ++i) {
    const kova::ChartSample& s = rec->samples[i];
    Check(i == 0 || s.t_ms >= rec->samples[i - 1].t_ms);
    for (double v : s.values) Check(std::isfinite(v) && v >= 0);
  }
  for (const kova::ChartMark& m : rec->marks)
    Check(!rec->samples.empty() && m.t_ms >= rec->samples.front().t_ms &&
          m.t_ms <= rec->samples.back().t_ms);
  Check(rec->stopped_line == 0 || rec->stopped_line >= 2);
  kova::ChartModel chart;
  chart.LoadRun(rec->samples, rec->marks);
  const int64_t first = chart.FirstColumn(800);
  chart.Slice(first, first + 799, 800, 200);
  return 0;
}
