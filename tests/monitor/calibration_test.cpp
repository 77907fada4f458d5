// The calibration from the panel's CALIBRAR: its frames and waits on each
// model, the report, the failure, the time-out, and leaving meanwhile.
#include <gtest/gtest.h>

#include "tests/monitor/panel_bench.h"

namespace kova {
namespace {

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

TEST_F(PanelVelaPlus, ASilentCalibrationAddsNoLinesToARecording) {
  Open();
  panel->OnCommand(bench.view, IDC_MON_RECORD);
  bench.sim.faults().calibration = sim::Faults::Calibration::kNoReport;
  bench.sim.faults().silent = true;
  panel->OnCommand(bench.view, IDC_MON_CALIBRATE);
  panel->OnCommand(bench.view, IDC_MON_RECORD_STOP);
  // The header, the start mark and the time-out: nothing while it was silent.
  EXPECT_EQ(std::count(file.bytes.begin(), file.bytes.end(), '\n'), 3);
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

}  // namespace
}  // namespace kova
