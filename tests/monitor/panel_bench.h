// The monitor panel on a bench: the simulated controller, the virtual
// clock, a record file in memory, and the glyph cells read back as text.
#pragma once
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "monitor/monitor_panel.h"
#include "resources/control_ids.h"
#include "resources/monitor_ids.h"
#include "tests/support/screen_bench.h"

namespace kova {

using Bytes = ScreenBench::Bytes;

// A record file in memory that can run out of room.
struct MemoryFile : RecordFile {
  struct Shared {
    std::string path, bytes;
    size_t room = std::string::npos;
    bool create_fails = false;
    int writes = 0;
    std::vector<std::string> created;  // a name is never created twice
  };
  explicit MemoryFile(Shared& s) : s(s) {}
  bool Create(const std::string& path) override {
    if (s.create_fails || std::count(s.created.begin(), s.created.end(), path)) return false;
    s.created.push_back(path);
    s.path = path;
    return true;
  }
  bool Write(std::string_view b) override {
    ++s.writes;
    if (s.bytes.size() + b.size() > s.room) return false;
    s.bytes += b;
    return true;
  }
  void Close() override {}
  Shared& s;
};

// A chart window that counts what it is asked to draw.
struct FakeCanvas : ChartCanvas {
  void Attach(ChartModel* m) override {
    model = m;
    ++redraws;
  }
  void Advance() override { ++advances; }
  void Redraw() override { ++redraws; }
  ChartModel* model = nullptr;
  int advances = 0, redraws = 0;
};

class Panel : public ::testing::Test {
 protected:
  explicit Panel(int model = kModelBrio) : bench(model) {}

  MonitorPanel& Make() {
    MonitorEnv env;
    env.counters = &counters;
    env.local_time = [] { return LocalTime{2024, 5, 17, 14, 3, 9, 0}; };
    env.recording_folder = [this] { return bench.Path("docs"); };
    env.record_file = [this] { return std::make_unique<MemoryFile>(file); };
    env.chart_canvas = [this](int id) { return id == IDC_MON_CHART ? &canvas : nullptr; };
    env.show_recording = [this](const Recording& r, const std::string& path) {
      shown.push_back({r, path});
    };
    panel = std::make_unique<MonitorPanel>(bench.app, env);
    // A new window: glyphs hidden, bars and marker where the template puts them.
    for (int id = IDC_MON_RPM_FIRST; id < IDC_MON_ACTUATOR_FIRST + 32; ++id)
      bench.view.controls[id].visible = false;
    for (int id : {IDC_MON_TPS_BAR, IDC_MON_LAMBDA_BAR, IDC_MON_SCALE_GREEN, IDC_MON_SCALE_RED})
      bench.view.controls[id].visible = false;
    C(IDC_MON_TPS_BAR).rect = {45, 153, 57, 393};
    C(IDC_MON_LAMBDA_BAR).rect = {397, 151, 409, 393};
    C(IDC_MON_MARKER).rect = {496, 380, 508, 395};
    return *panel;
  }
  void Open() {
    Make();
    panel->OnInit(bench.view);
  }
  // n steps of 100 ms; each timer the panel runs fires on its period.
  void Ticks(int n) {
    for (int i = 0; i < n; ++i) {
      bench.clock.Advance(100);
      elapsed += 100;
      const auto timers = bench.view.timers;
      for (auto [id, period] : timers)
        if (period && elapsed % period == 0) panel->OnTimer(bench.view, id);
    }
  }
  FakeView::Control& C(int id) { return bench.view.controls[id]; }
  bool Visible(int id) { return C(id).visible; }
  std::string Cells(int first, int n) { return bench.view.Cells(first, n); }
  std::string Rpm() { return Cells(IDC_MON_RPM_FIRST, 4); }
  std::string Readout(int first) { return Cells(first, 3); }
  int LitDots() {
    int n = 0;
    for (int i = 0; i < 28; ++i) n += Visible(IDC_MON_ARC_FIRST + i);
    return n;
  }
  int Count(const Bytes& frame) {
    auto f = bench.Frames();
    return static_cast<int>(std::count(f.begin(), f.end(), frame));
  }

  ScreenBench bench;
  RefreshCounters counters;
  MemoryFile::Shared file;
  FakeCanvas canvas;
  std::vector<std::pair<Recording, std::string>> shown;  // recordings opened in the viewer
  std::unique_ptr<MonitorPanel> panel;
  uint32_t elapsed = 0;
};

class PanelVela : public Panel {
 protected:
  PanelVela() : Panel(kModelVela) {}
};
class PanelVelaPlus : public Panel {
 protected:
  PanelVelaPlus() : Panel(kModelVelaPlus) {}
};

}  // namespace kova
