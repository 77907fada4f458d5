// One tick of the monitor panel outside the drawing: the poll's read text
// (one BRIO live group as the controller streams it every 100 ms), the
// five-state parse into the live store, and the redraw decisions of the
// live display, against a view that only records them. Target: under 0.2 ms.
#include <benchmark/benchmark.h>

#include <cstring>
#include <string>

#include "common/clock.h"
#include "controller/parameter_table.h"
#include "controller/store_access.h"
#include "monitor/monitor_panel.h"
#include "tests/support/fake_view.h"
#include "tests/support/null_serial_port.h"

namespace kova {
namespace {

// A port whose reads return the next of a few canned answer texts.
class CannedPort final : public NullSerialPort {
 public:
  int ReadPort(unsigned char* buffer, unsigned long, unsigned long* length) override {
    const std::string& t = texts[next++ % 4];
    std::memcpy(buffer, t.data(), t.size());
    buffer[t.size()] = 0;
    *length = static_cast<unsigned long>(t.size());
    return 0;
  }
  std::string texts[4];
  unsigned next = 0;
};

// "B0|key|value|check|C0|" for each pair, as the serial read renders them.
std::string Group(std::initializer_list<std::pair<int, int>> pairs) {
  std::string s;
  char rec[40];
  for (auto [k, v] : pairs) {
    std::snprintf(rec, sizeof rec, "B0|%X|%X|%X|C0|", k, v, (k + v) & 0xFF);
    s += rec;
  }
  return s;
}

void BM_MonitorTick(benchmark::State& state) {
  VirtualClock clock;
  CannedPort port;
  AppContext app(port, clock);
  app.model = kModelBrio;
  BuildParameterTable(app.table, kModelBrio);
  for (const char* k : {"3D", "3E"}) StoreAdd(app.live, k, "3C");
  StoreAdd(app.live, "10", "1");
  StoreAdd(app.live, "13", "1");
  // Four groups of a rev: every value moves, so every cell is decided anew.
  for (int i = 0; i < 4; ++i)
    port.texts[i] = Group({{0x11, 60 + 20 * i}, {0x23, 28 + 30 * i}, {0x24, 5 + 10 * i},
                           {0x28, (850 + 600 * i) & 0xFF}, {0x29, (850 + 600 * i) >> 8},
                           {0x81, 28 + 10 * i}, {0x83, 0}});
  RefreshCounters counters;
  MonitorEnv env = DefaultMonitorEnv();
  env.counters = &counters;
  MonitorPanel panel(app, env);
  FakeView view;  // its bookkeeping stands in for the window's own
  panel.OnInit(view);
  for (auto _ : state) {
    panel.OnTimer(view, MonitorPanel::kPollTimer);
    benchmark::DoNotOptimize(panel.speed_text());
  }
  state.SetLabel("text of " + std::to_string(port.texts[0].size()) + " bytes per tick");
}
BENCHMARK(BM_MonitorTick);

}  // namespace
}  // namespace kova

BENCHMARK_MAIN();
