// The live chart's portable part: turning values into what a window draws.
// Per tick: one sample added to a minute of samples and the slice of the
// columns that came in (target: far under the 1 ms a tick may cost in
// all). Beside it, what a whole redraw costs: the minute, and an hour's
// recording shown whole; and reading that hour's file.
#include <benchmark/benchmark.h>

#include <cmath>

#include "monitor/chart.h"
#include "monitor/recorder.h"
#include "monitor/recording_reader.h"

namespace kova {
namespace {

// The panel's plot at 1024 x 768: about 864 x 190 pixels.
constexpr int kWidth = 864, kHeight = 190;

ChartSample Engine(uint32_t t) {
  const double phase = t / 1000.0;
  return {t, true, {850 + 1000 * (1 + std::sin(phase / 3)), 0.6 + std::fabs(std::sin(phase / 3)) * 3,
                    0.1 + 0.8 * std::fabs(std::sin(phase * 2)), 60 + 30 * (1 + std::sin(phase / 3))}};
}

void BM_ChartTick(benchmark::State& state) {
  ChartModel chart;
  chart.StartLive();
  uint32_t t = 0;
  for (; t < ChartModel::kLiveSpanMs; t += 100) chart.Add(Engine(t));
  int64_t drawn = chart.FirstColumn(kWidth) + kWidth - 1;
  size_t lines = 0;
  for (auto _ : state) {
    chart.Add(Engine(t += 100));
    const int64_t last = chart.FirstColumn(kWidth) + kWidth - 1;
    const ChartSlice slice = chart.Slice(drawn, last, kWidth, kHeight);
    drawn = last;
    for (const auto& l : slice.lines) lines += l.size();
    benchmark::DoNotOptimize(slice);
  }
  state.SetLabel(std::to_string(lines / std::max<size_t>(1, state.iterations())) +
                 " lines per tick");
}
BENCHMARK(BM_ChartTick);

void BM_ChartWholeMinute(benchmark::State& state) {
  ChartModel chart;
  chart.StartLive();
  for (uint32_t t = 0; t <= ChartModel::kLiveSpanMs; t += 100) chart.Add(Engine(t));
  for (auto _ : state) {
    const int64_t first = chart.FirstColumn(kWidth);
    benchmark::DoNotOptimize(chart.Slice(first, first + kWidth - 1, kWidth, kHeight));
  }
}
BENCHMARK(BM_ChartWholeMinute);

std::vector<ChartSample> Hour() {
  std::vector<ChartSample> run;
  for (uint32_t t = 0; t <= 3600000; t += 100) run.push_back(Engine(t));
  return run;
}

void BM_ChartWholeHour(benchmark::State& state) {
  ChartModel chart;
  chart.LoadRun(Hour(), {});
  for (auto _ : state) {
    const int64_t first = chart.FirstColumn(kWidth);
    benchmark::DoNotOptimize(chart.Slice(first, first + kWidth - 1, kWidth, kHeight));
  }
}
BENCHMARK(BM_ChartWholeHour)->Unit(benchmark::kMillisecond);

void BM_ReadHourRecording(benchmark::State& state) {
  const LocalTime when{2024, 5, 17, 14, 3, 9, 0};
  std::string file = Recorder::Header() + "\r\n";
  for (const ChartSample& s : Hour())
    file += Recorder::Line(s.t_ms, when,
                           {static_cast<int>(s.values[0]), s.values[1], s.values[2],
                            static_cast<int>(s.values[3]), "verde", ""}) + "\r\n";
  for (auto _ : state) benchmark::DoNotOptimize(ReadRecording(file));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * file.size()));
}
BENCHMARK(BM_ReadHourRecording)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace kova

BENCHMARK_MAIN();
