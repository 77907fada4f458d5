// The monitor panel on the simulated controller and the virtual clock:
// opening, the poll and its redraw, the silent controller, the Enter write
// with its re-read, leaving, the calibration in every outcome, and the
// recording.
#include "monitor/monitor_panel.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <sstream>

#include "resources/control_ids.h"
#include "resources/monitor_ids.h"
#include "tests/support/screen_bench.h"

namespace kova {
namespace {

using Bytes = ScreenBench::Bytes;

// A record file in memory that can run out of room.
struct MemoryFile : RecordFile {
  struct Shared {
    std::string path, bytes;
    size_t room = std::string::npos;
    bool create_fails = false;
    int writes = 0;
  };
  explicit MemoryFile(Shared& s) : s(s) {}
  bool Create(const std::string& path) override {
    s.path = path;
    return !s.create_fails;
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

class Panel : public ::testing::Test {
 protected:
  explicit Panel(int model = kModelBrio) : bench(model) {}

  MonitorPanel& Make() {
    MonitorEnv env;
    env.counters = &counters;
    env.local_time = [] { return LocalTime{2024, 5, 17, 14, 3, 9, 0}; };
    env.recording_folder = [this] { return bench.Path("docs"); };
    env.record_file = [this] { return std::make_unique<MemoryFile>(file); };
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
  void Ticks(int n) {
    for (int i = 0; i < n; ++i) {
      bench.clock.Advance(100);
      panel->OnTimer(bench.view, 1);
    }
  }
  FakeView::Control& C(int id) { return bench.view.controls[id]; }
  bool Visible(int id) { return C(id).visible; }
  // The digits n cells of ten glyphs from first show: a blank for none,
  // '?' for several.
  std::string Cells(int first, int n) {
    std::string s;
    for (int c = 0; c < n; ++c) {
      int d = -1;
      for (int i = 0; i < 10; ++i)
        if (Visible(first + 10 * c + i)) d = d == -1 ? i : -2;
      s += d >= 0 ? char('0' + d) : d == -1 ? ' ' : '?';
    }
    return s;
  }
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
  std::unique_ptr<MonitorPanel> panel;
};

class PanelVela : public Panel {
 protected:
  PanelVela() : Panel(kModelVela) {}
};
class PanelVelaPlus : public Panel {
 protected:
  PanelVelaPlus() : Panel(kModelVelaPlus) {}
};

// ---- opening and polling ----------------------------------------------------------

TEST_F(Panel, OpensInOrderAndShowsTheStream) {
  Open();
  // Read every register into the live store, start the stream, poll once.
  EXPECT_EQ(bench.Frames(), (std::vector<Bytes>{{0x00, 0x04, 0x00}, {0x00, 0x08, 0x00}}));
  EXPECT_EQ(bench.clock.Waits(), (std::vector<uint32_t>{400}));
  EXPECT_EQ(bench.view.timers.at(1), 100u);
  EXPECT_EQ(C(IDC_MON_IDLE).text, "60");
  EXPECT_EQ(C(IDC_MON_HIGH).text, "120");
  EXPECT_EQ(C(IDC_MON_IDLE_SPIN).max, 240);
  EXPECT_TRUE(Visible(IDC_MON_TPS_0V_BOTTOM));
  EXPECT_TRUE(Visible(IDC_MON_LAMBDA_1V));
  panel->OnFocus(bench.view, IDC_MON_HIGH);
  EXPECT_EQ(bench.app.current_key, "3E");

  Ticks(10);  // idle: 850 to 870
  EXPECT_EQ(Rpm().substr(0, 2), " 8");
  EXPECT_EQ(Readout(IDC_MON_STEP_FIRST), "060");
  EXPECT_TRUE(Visible(IDC_MON_SCALE_GREEN));
  EXPECT_TRUE(Visible(IDC_MON_TPS_BAR));
  EXPECT_EQ(panel->misses(), 0);
  Ticks(90);  // into the rev
  EXPECT_GE(std::stoi(panel->speed_text()), 2000);
  EXPECT_GT(LitDots(), 8);
}

TEST_F(Panel, EngineSpeedFromTheLiveGroup) {
  struct Case {
    uint8_t low, high;
    const char* digits;
  } cases[] = {{0x52, 0x03, " 850"},
               {0xE8, 0x03, "1000"},  // 28 + E8 wraps its check byte: still shown
               {0xB8, 0x0B, "3000"}, {0x10, 0x27, "3000"}};  // 10000: previous text
  Open();
  for (const Case& c : cases) {
    bench.sim.SetLiveValue(0x28, c.low);
    bench.sim.SetLiveValue(0x29, c.high);
    Ticks(2);
    EXPECT_EQ(Rpm(), c.digits) << int(c.low);
  }
  EXPECT_EQ(LitDots(), 12);  // the arc follows the speed shown
}

TEST_F(PanelVela, SpeedFromTheIgnitionPeriod) {
  Open();
  Ticks(3);
  EXPECT_EQ(Rpm().substr(0, 2), " 8");  // idle, near 850
  // No coils: speed 0 whatever the period.
  StoreAdd(bench.app.live, "2B", "0");
  bench.sim.SetLiveValue(0x11, 0);
  Ticks(1);
  EXPECT_EQ(Rpm(), "0000");
  EXPECT_EQ(LitDots(), 0);
  // A zero period (as after the silent-controller reset) is a standing engine.
  StoreAdd(bench.app.live, "2B", "1");
  bench.sim.SetLiveValue(0x28, 0), bench.sim.SetLiveValue(0x29, 0), bench.sim.SetLiveValue(0x2A, 0);
  Ticks(2);  // the group already on its way still has the old period
  EXPECT_EQ(Rpm(), "0000");
}

TEST_F(Panel, SensorAndProbeTypesFromTheRegisters) {
  bench.sim.SetRegister(0x10, 2);  // a 5-0 V TPS
  bench.sim.SetRegister(0x13, 2);  // a 5 V lambda probe
  bench.sim.SetLiveValue(0x23, 50);   // 1.00 V
  bench.sim.SetLiveValue(0x24, 120);  // 2.40 V
  Open();
  Ticks(2);
  EXPECT_EQ(C(IDC_MON_TPS_BAR).rect.top, bar::TpsTop(4.0));
  EXPECT_EQ(Readout(IDC_MON_TPS_FIRST), "100");
  EXPECT_TRUE(Visible(IDC_MON_TPS_5V_BOTTOM));
  EXPECT_TRUE(Visible(IDC_MON_TPS_0V_TOP));
  EXPECT_FALSE(Visible(IDC_MON_TPS_5V_TOP));
  EXPECT_EQ(panel->lambda_full_scale(), 5);
  EXPECT_TRUE(Visible(IDC_MON_LAMBDA_5V));
  EXPECT_FALSE(Visible(IDC_MON_LAMBDA_1V));
  EXPECT_EQ(Readout(IDC_MON_LAMBDA_FIRST), "240");
  EXPECT_EQ(C(IDC_MON_LAMBDA_BAR).rect.top, bar::LambdaTop(2.4, 5));  // not held at 1 V
}

TEST_F(Panel, TwelveSilentTicksZeroTheValuesAndTheNextAnswerBringsTheScaleBack) {
  Open();
  Ticks(5);
  ASSERT_TRUE(Visible(IDC_MON_SCALE_GREEN));
  const std::string steps = Readout(IDC_MON_STEP_FIRST);
  bench.sim.faults().silent = true;
  Ticks(5);  // what arrived before the silence is still read
  bench.Forget();
  Ticks(11 - panel->misses());
  EXPECT_EQ(panel->misses(), 11);
  EXPECT_EQ(Readout(IDC_MON_STEP_FIRST), steps);  // kept on screen
  EXPECT_TRUE(Visible(IDC_MON_SCALE_GREEN));
  EXPECT_TRUE(bench.Frames().empty());
  Ticks(1);  // the twelfth
  EXPECT_EQ(panel->misses(), 0);
  EXPECT_EQ(Readout(IDC_MON_STEP_FIRST), "000");
  EXPECT_EQ(Readout(IDC_MON_TPS_FIRST), "000");
  EXPECT_EQ(Rpm(), "0000");
  EXPECT_FALSE(Visible(IDC_MON_SCALE_GREEN));
  EXPECT_FALSE(Visible(IDC_MON_TPS_BAR));
  EXPECT_EQ(bench.Frames(), (std::vector<Bytes>{{0x00, 0x08, 0x00}}));
  bench.sim.faults().silent = false;
  bench.app.port.ClosePort(), bench.app.port.OpenPort();
  Ticks(3);
  EXPECT_TRUE(Visible(IDC_MON_SCALE_GREEN));
  EXPECT_FALSE(panel->no_answer());
}

TEST_F(Panel, RedScaleWhileTheActuatorReportsIt) {
  Open();
  bench.sim.SetLiveValue(0x83, 1);
  Ticks(2);
  EXPECT_TRUE(Visible(IDC_MON_SCALE_RED));
  EXPECT_FALSE(Visible(IDC_MON_SCALE_GREEN));
  bench.sim.SetLiveValue(0x83, 7);  // unknown: unchanged
  Ticks(2);
  EXPECT_TRUE(Visible(IDC_MON_SCALE_RED));
}

TEST_F(Panel, ATickDrawingLetsNoSecondTickIn) {
  Open();
  int nested = 0;
  bench.view.on_pump = [&] {
    ++nested;
    panel->OnTimer(bench.view, 1);
  };
  size_t reads = bench.port.ReadTimes().size();
  Ticks(1);
  EXPECT_EQ(nested, 1);
  EXPECT_EQ(bench.port.ReadTimes().size(), reads + 1);
}

// ---- writing the defaults -----------------------------------------------------------

TEST_F(Panel, EnterWritesTheDefaultsAndReadsThemBack) {
  Open();
  Ticks(2);
  bench.Forget();
  C(IDC_MON_IDLE).text = "70";
  panel->OnEnter(bench.view);
  EXPECT_EQ(bench.sim.Register(0x3D), 70);
  EXPECT_EQ(bench.sim.Register(0x3E), 120);  // unchanged: not written
  auto f = bench.Frames();
  ASSERT_GE(f.size(), 9u);
  EXPECT_EQ(std::vector<Bytes>(f.begin(), f.begin() + 4),
            (std::vector<Bytes>{{0, 7, 0}, {0, 7, 0}, {0, 7, 0}, {0, 0x3D, 0x46}}));
  EXPECT_EQ(Count({0, 5, 0x18}), 3);
  EXPECT_EQ(f[f.size() - 2], (Bytes{0, 4, 0}));  // every register read back
  EXPECT_EQ(f.back(), (Bytes{0, 8, 0}));        // and the stream again
  EXPECT_EQ(bench.Stored(bench.app.equipment, "3D"), "46");
  EXPECT_EQ(bench.view.timers.at(1), 100u);
  EXPECT_TRUE(C(IDC_RETURN).enabled);
  EXPECT_TRUE(bench.view.ended.empty());
}

TEST_F(PanelVelaPlus, EnterWithTheFileSourceReReadsTheModelsSection) {
  std::string path = bench.Path("carro.BRIO");
  std::ofstream(path) << "[CONFIG_VELA]\r\n3D=11\r\n3E=22\r\n[CONFIG_BRIO]\r\n3D=50\r\n3E=A0\r\n";
  bench.app.source = kSourceFile;
  bench.app.current_path = path;
  Open();
  C(IDC_MON_HIGH).text = "130";
  panel->OnEnter(bench.view);
  EXPECT_EQ(bench.sim.Register(0x3E), 130);  // the write goes to the controller
  // The edits show the file's values, from the BRIO section.
  EXPECT_EQ(C(IDC_MON_IDLE).text, "80");
  EXPECT_EQ(C(IDC_MON_HIGH).text, "160");
  EXPECT_EQ(bench.Stored(bench.app.file_store, "3D"), "50");
  EXPECT_TRUE(bench.view.messages.empty());
}

TEST_F(Panel, AFailedReadBackEndsThePanelWith3) {
  Open();
  bench.sim.faults().silent = true;
  C(IDC_MON_IDLE).text = "70";
  panel->OnEnter(bench.view);
  ASSERT_EQ(bench.view.messages.size(), 1u);
  EXPECT_EQ(bench.view.messages[0].text, "Erro na leitura dos parâmetros !!!");
  EXPECT_EQ(bench.view.ended, (std::vector<int>{kScreenLinkFailure}));
}

// ---- leaving ----------------------------------------------------------------------

TEST_F(Panel, ReturnExitAndDestroy) {
  Open();
  bench.Forget();
  panel->OnNext(bench.view);  // Ctrl+Right: the panel has no Next
  EXPECT_TRUE(bench.view.ended.empty());
  panel->OnReturn(bench.view);
  EXPECT_EQ(bench.view.ended, (std::vector<int>{kScreenNext}));
  EXPECT_EQ(bench.view.timers.count(1), 0u);
  EXPECT_EQ(Count({0, 7, 0}), 3);
  panel->OnDestroy(bench.view);
  EXPECT_EQ(Count({0, 7, 0}), 6);  // once more as the window goes

  bench.view.ended.clear();
  Open();
  panel->OnExit(bench.view);
  EXPECT_EQ(bench.view.ended, (std::vector<int>{kScreenExit}));
}

// ---- calibration ------------------------------------------------------------------

TEST_F(Panel, CalibrationDone) {
  Open();
  Ticks(3);
  bench.sim.SetCalibrationTime(4000);
  bench.Forget();
  uint32_t t0 = bench.clock.Now();
  panel->OnCommand(bench.view, IDC_MON_CALIBRATE);
  EXPECT_TRUE(bench.view.messages.empty());
  EXPECT_LT(bench.clock.Now() - t0, 10000u);
  auto f = bench.Frames();
  std::vector<Bytes> head(f.begin(), f.begin() + 8);
  EXPECT_EQ(head, (std::vector<Bytes>{{0, 7, 0}, {0, 7, 0}, {0, 7, 0}, {0, 0x61, 0},
                                      {0, 5, 0x18}, {0, 5, 0x18}, {0, 5, 0x18}, {0, 8, 0}}));
  std::vector<Bytes> tail(f.end() - 6, f.end());
  EXPECT_EQ(tail, (std::vector<Bytes>{{0, 7, 0}, {0, 7, 0}, {0, 7, 0}, {0, 4, 0}, {0, 8, 0},
                                      {0, 8, 0}}));
  auto& w = bench.clock.Waits();
  EXPECT_EQ(std::vector<uint32_t>(w.begin(), w.begin() + 8),
            (std::vector<uint32_t>{10, 10, 800, 180, 180, 180, 180, 180}));
  EXPECT_EQ(std::count(w.begin(), w.end(), 1000u), 1);
  EXPECT_FALSE(panel->calibrating());
  EXPECT_FALSE(Visible(IDC_MON_PROGRESS));
  EXPECT_TRUE(C(IDC_MON_CALIBRATE).enabled);
  EXPECT_EQ(bench.view.timers.at(1), 100u);
}

TEST_F(Panel, CalibrationFailureIsReportedAndTheEndStillRuns) {
  Open();
  bench.sim.faults().calibration = sim::Faults::Calibration::kFailure;
  bench.Forget();
  panel->OnCommand(bench.view, IDC_MON_CALIBRATE);
  ASSERT_EQ(bench.view.messages.size(), 1u);
  EXPECT_EQ(bench.view.messages[0].text, "Erro no processo de calibração");
  EXPECT_EQ(Count({0, 4, 0}), 1);
}

TEST_F(PanelVelaPlus, CalibrationTimesOutAfter70Seconds) {
  Open();
  bench.sim.faults().calibration = sim::Faults::Calibration::kNoReport;
  bench.sim.faults().bad_check = true;  // a stream that never validates still gets read
  bench.Forget();
  std::vector<std::string> statuses;
  bench.view.on_pump = [&] { statuses.push_back(C(IDC_MON_CAL_STATUS).text); };
  const uint32_t t0 = bench.clock.Now();
  panel->OnCommand(bench.view, IDC_MON_CALIBRATE);
  ASSERT_EQ(bench.view.messages.size(), 1u);
  EXPECT_EQ(bench.view.messages[0].text.rfind("TEMPO ESGOTADO!", 0), 0u);
  const uint32_t took = bench.clock.Now() - t0;
  EXPECT_GT(took, 800u + 4 * 180 + 70000);
  EXPECT_LT(took, 800u + 4 * 180 + 70000 + 2000);
  EXPECT_NE(std::find(statuses.begin(), statuses.end(), "Calibrando… 12 s de 70"), statuses.end());
  // The time-out's stop frames go 20 ms apart, then 200 ms before the re-read.
  auto& w = bench.clock.Waits();
  const uint32_t timeout_waits[] = {20, 20, 200};
  auto it = std::search(w.begin(), w.end(), std::begin(timeout_waits), std::end(timeout_waits));
  EXPECT_NE(it, w.end());
  EXPECT_FALSE(panel->calibrating());
  EXPECT_EQ(bench.view.timers.at(1), 100u);
}

TEST_F(PanelVela, CalibrationTakesItsFixedPath) {
  Open();
  bench.Forget();
  panel->OnCommand(bench.view, IDC_MON_CALIBRATE);
  EXPECT_TRUE(bench.view.messages.empty());
  const auto& w = bench.clock.Waits();
  // stop (10, 10), 800; 180; 3 x 180; 180; 3 s; stop (50, 50); 1000; re-read 500.
  std::vector<uint32_t> want = {10, 10, 800, 180, 180, 180, 180, 180, 1000, 1000, 1000,
                                50, 50, 1000, 500};
  ASSERT_GE(w.size(), want.size());
  EXPECT_EQ(std::vector<uint32_t>(w.begin(), w.begin() + want.size()), want);
  EXPECT_EQ(Count({0x61, 0}), 1);
  EXPECT_EQ(Count({9, 0}), 1);
  EXPECT_EQ(bench.Frames().back(), (Bytes{8, 0}));
}

TEST_F(Panel, LeavingWhileCalibratingAsksFirst) {
  struct Case {
    bool exit;
    int answer;
    std::vector<int> ended;
  } cases[] = {{true, kIdNo, {}}, {false, kIdNo, {}},
               {true, kIdYes, {kScreenExit}}, {false, kIdYes, {kScreenNext}}};
  for (const Case& c : cases) {
    bench.view = FakeView{};
    Open();
    bench.Forget();
    int asked = 0;
    bench.view.answers = {c.answer};
    bench.view.on_pump = [&] {
      if (!panel->calibrating() || asked++) return;
      if (c.exit) panel->OnExit(bench.view);
      else panel->OnReturn(bench.view);
      panel->OnEnter(bench.view);  // ignored while calibrating
    };
    panel->OnCommand(bench.view, IDC_MON_CALIBRATE);
    ASSERT_GE(bench.view.messages.size(), 1u);
    EXPECT_NE(bench.view.messages[0].text.find(c.exit ? "sair?" : "retornar"), std::string::npos);
    EXPECT_EQ(bench.view.ended, c.ended);
    EXPECT_EQ(Count({0, 0x3D, 0x3C}), 0);  // Enter wrote nothing
    if (c.answer == kIdYes) {
      // Left: the stream is stopped and nothing more goes out.
      EXPECT_EQ(bench.Frames().back(), (Bytes{0, 7, 0}));
      EXPECT_EQ(Count({0, 4, 0}), 0);
    } else {
      EXPECT_EQ(bench.Frames().back(), (Bytes{0, 8, 0}));
      EXPECT_EQ(Count({0, 4, 0}), 1);
    }
  }
}

// ---- recording --------------------------------------------------------------------

TEST_F(Panel, RecordsEveryAnsweredTickAndStopsWithThePanel) {
  Open();
  panel->OnCommand(bench.view, IDC_MON_RECORD);
  EXPECT_FALSE(Visible(IDC_MON_RECORD));
  EXPECT_TRUE(Visible(IDC_MON_RECORD_STOP));
  EXPECT_NE(C(IDC_MON_RECORD_FILE).text.find("monitor-20240517-140309.csv"), std::string::npos);
  EXPECT_EQ(file.path.rfind(bench.Path("docs"), 0), 0u);
  EXPECT_EQ(file.path.substr(file.path.size() - 27), "monitor-20240517-140309.csv");
  Ticks(25);
  // Written at least every second: 25 ticks are two writes after the header.
  EXPECT_EQ(file.writes, 3);
  Ticks(175);  // 20 s in all: one cycle of the simulated engine
  bench.sim.faults().silent = true;
  Ticks(3);  // no answer: no line
  panel->OnDestroy(bench.view);
  EXPECT_FALSE(panel->recorder()->active());
  // Each line: time; date; speed; TPS; lambda; ... with decimal commas.
  std::vector<int> rpm;
  std::vector<double> lambda;
  std::istringstream lines(file.bytes);
  std::string line;
  std::getline(lines, line);  // the header
  while (std::getline(lines, line)) {
    std::vector<std::string> f(1);
    for (char ch : line)
      if (ch == ';') f.emplace_back();
      else f.back().push_back(ch);
    ASSERT_EQ(f.size(), 8u) << line;
    rpm.push_back(std::stoi(f[2]));
    std::replace(f[4].begin(), f[4].end(), ',', '.');
    lambda.push_back(std::stod(f[4]));
  }
  EXPECT_EQ(rpm.size(), 200u);
  EXPECT_LT(*std::min_element(rpm.begin(), rpm.end()), 900);
  EXPECT_GT(*std::max_element(rpm.begin(), rpm.end()), 2900);
  // The probe swings rich and lean every 1.5 s.
  EXPECT_LT(*std::min_element(lambda.begin(), lambda.end()), 0.2);
  EXPECT_GT(*std::max_element(lambda.begin(), lambda.end()), 0.7);
}

TEST_F(Panel, AFullDiskStopsTheRecordingWithAMessage) {
  Open();
  file.room = 400;
  panel->OnCommand(bench.view, IDC_MON_RECORD);
  Ticks(40);
  ASSERT_EQ(bench.view.messages.size(), 1u);
  EXPECT_EQ(bench.view.messages[0].caption, "Gravar dados");
  EXPECT_NE(bench.view.messages[0].text.find("interrompida"), std::string::npos);
  EXPECT_FALSE(panel->recorder()->active());
  EXPECT_TRUE(Visible(IDC_MON_RECORD));
  EXPECT_FALSE(Visible(IDC_MON_RECORD_FILE));
  EXPECT_GT(file.bytes.size(), 100u);  // what was written stays

  file = {};
  file.create_fails = true;
  panel->OnCommand(bench.view, IDC_MON_RECORD);
  EXPECT_EQ(bench.view.messages.size(), 2u);
  EXPECT_TRUE(Visible(IDC_MON_RECORD));
}

}  // namespace
}  // namespace kova
