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
#include "tests/monitor/panel_bench.h"

namespace kova {
namespace {

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

  // Woken from a sleep: the stream starts at once, not after twelve misses.
  bench.Forget();
  panel->OnPortReopened(bench.view);
  EXPECT_EQ(bench.Frames(), (std::vector<Bytes>{{0x00, 0x08, 0x00}}));
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

  // A position the actuator screen would refuse never goes out.
  bench.Forget();
  for (const char* text : {"0", "241", "255"}) {
    C(IDC_MON_HIGH).text = text;
    panel->OnEnter(bench.view);
    EXPECT_EQ(C(IDC_MON_HIGH).text, text == std::string("0") ? "1" : "240");
  }
  EXPECT_EQ(bench.view.messages.size(), 3u);
  EXPECT_EQ(bench.view.messages.back().text, "Valor acima do limite superior.");
  EXPECT_TRUE(bench.Frames().empty());
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

TEST_F(Panel, ARecordingNeverReplacesAFileAndItsLinesGoOutEverySecond) {
  Open();
  panel->OnCommand(bench.view, IDC_MON_RECORD);
  panel->OnCommand(bench.view, IDC_MON_RECORD_STOP);
  panel->OnCommand(bench.view, IDC_MON_RECORD);  // the same second
  EXPECT_EQ(file.path.substr(file.path.size() - 29), "monitor-20240517-140309-2.csv");
  Ticks(5);
  const int writes = file.writes;
  bench.sim.faults().silent = true;
  Ticks(20);  // lines that came before the silence reach the file anyway
  EXPECT_EQ(file.writes, writes + 1);
  EXPECT_EQ(std::count(file.bytes.begin(), file.bytes.end(), '\n'), 2 + 5);  // two headers
  // A last write that fails is told before the panel goes.
  bench.sim.faults().silent = false;
  Ticks(3);
  file.room = file.bytes.size();
  panel->OnReturn(bench.view);
  ASSERT_EQ(bench.view.messages.size(), 1u);
  EXPECT_EQ(bench.view.messages[0].caption, "Gravar dados");
  EXPECT_EQ(bench.view.ended, (std::vector<int>{kScreenNext}));
}

TEST_F(PanelVela, TheTwelfthMissZeroesTheSpeed) {
  Open();
  Ticks(20);
  ASSERT_NE(Rpm(), "0000");
  bench.sim.faults().silent = true;
  Ticks(30);
  EXPECT_EQ(Rpm(), "0000");
  EXPECT_EQ(LitDots(), 0);
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

// ---- the live chart and recordings opened again ------------------------------------

namespace kova {
namespace {

// A minute of the simulated engine on the chart, all answered: idle and
// rev, the probe swinging; nothing older than the minute and its join.
void ExpectTheLastMinute(const ChartModel& chart) {
  const auto& s = chart.samples();
  ASSERT_FALSE(s.empty());
  EXPECT_NEAR(s.back().t_ms - s.front().t_ms, ChartModel::kLiveSpanMs, 2 * ChartModel::kJoinMs);
  auto [lo, hi] = std::minmax_element(s.begin(), s.end(), [](auto& a, auto& b) {
    return a.values[0] < b.values[0];
  });
  EXPECT_LT(lo->values[0], 900);
  EXPECT_GT(hi->values[0], 2900);
  auto [lean, rich] = std::minmax_element(s.begin(), s.end(), [](auto& a, auto& b) {
    return a.values[2] < b.values[2];
  });
  EXPECT_LT(lean->values[2], 0.2);
  EXPECT_GT(rich->values[2], 0.7);
  EXPECT_TRUE(std::all_of(s.begin(), s.end(), [](auto& x) { return x.answered; }));
}

TEST_F(Panel, TheChartShowsTheLastMinuteOnBrio) {
  Open();
  Ticks(700);
  ExpectTheLastMinute(panel->chart());
}
TEST_F(PanelVela, TheChartShowsTheLastMinuteOnVela) {
  Open();
  Ticks(700);
  ExpectTheLastMinute(panel->chart());
}
TEST_F(PanelVelaPlus, TheChartShowsTheLastMinuteOnVelaPlus) {
  Open();
  Ticks(700);
  ExpectTheLastMinute(panel->chart());
}

TEST_F(Panel, TheChartMovesOnEveryTickHoldsWhilePausedAndMarksCalibrations) {
  Open();
  ASSERT_EQ(canvas.model, &panel->chart());
  EXPECT_EQ(canvas.model->lambda_full_scale(), 1);
  Ticks(20);
  EXPECT_EQ(canvas.advances, 21);  // the first poll and every tick after it
  EXPECT_EQ(panel->chart().samples().size(), 21u);
  EXPECT_EQ(panel->chart().samples().back().values[3], 60);

  // Paused: the picture holds, the poll and the samples go on.
  panel->OnCommand(bench.view, IDC_MON_CHART_PAUSE);
  EXPECT_FALSE(Visible(IDC_MON_CHART_PAUSE));
  EXPECT_TRUE(Visible(IDC_MON_CHART_CONTINUE));
  const int64_t held = panel->chart().FirstColumn(600);
  Ticks(30);
  EXPECT_EQ(canvas.advances, 21);
  EXPECT_EQ(panel->chart().FirstColumn(600), held);
  EXPECT_EQ(panel->chart().samples().size(), 51u);
  const int redraws = canvas.redraws;
  panel->OnCommand(bench.view, IDC_MON_CHART_CONTINUE);
  EXPECT_EQ(canvas.redraws, redraws + 1);
  EXPECT_TRUE(Visible(IDC_MON_CHART_PAUSE));
  EXPECT_EQ(panel->chart().FirstColumn(600), held + 30);
  Ticks(1);
  EXPECT_EQ(canvas.advances, 22);

  // A silent controller: every tick still moves the chart, as a gap.
  bench.sim.faults().silent = true;
  Ticks(15);
  bench.sim.faults().silent = false;
  bench.app.port.ClosePort(), bench.app.port.OpenPort();
  Ticks(5);
  EXPECT_EQ(canvas.advances, 42);
  const auto& s = panel->chart().samples();
  const auto silent = std::count_if(s.begin(), s.end(), [](const ChartSample& x) { return !x.answered; });
  EXPECT_GE(silent, 10);
  const int64_t first = panel->chart().FirstColumn(600);
  const ChartSlice slice = panel->chart().Slice(first, first + 599, 600, 100);
  for (const ChartLine& l : slice.lines[0]) EXPECT_LE(l.x1 - l.x0, 1) << "a line across the gap";

  // A calibration is marked where it starts and where it ends.
  bench.sim.SetCalibrationTime(4000);
  const uint32_t t0 = bench.clock.Now();
  panel->OnCommand(bench.view, IDC_MON_CALIBRATE);
  const auto& marks = panel->chart().marks();
  ASSERT_EQ(marks.size(), 2u);
  EXPECT_EQ(marks[0].kind, MarkKind::kCalibrationStart);
  EXPECT_EQ(marks[1].kind, MarkKind::kCalibrationEnd);
  EXPECT_GE(marks[1].t_ms - marks[0].t_ms, 4000u);
  EXPECT_LT(marks[1].t_ms - marks[0].t_ms, bench.clock.Now() - t0);
  EXPECT_GT(canvas.advances, 42 + 30);  // the stream watched during it moves the chart
}

TEST_F(PanelVela, AVelaCalibrationEndsItsMarksAndItsRecording) {
  Open();
  panel->OnCommand(bench.view, IDC_MON_RECORD);
  Ticks(5);
  panel->OnCommand(bench.view, IDC_MON_CALIBRATE);
  panel->OnCommand(bench.view, IDC_MON_RECORD_STOP);
  ASSERT_EQ(panel->chart().marks().size(), 2u);
  // VELA reports nothing: the recording says where the calibration ended.
  const std::optional<Recording> rec = ReadRecording(file.bytes);
  ASSERT_TRUE(rec);
  ASSERT_EQ(rec->marks.size(), 2u);
  EXPECT_EQ(rec->marks[1].kind, MarkKind::kCalibrationEnd);
  EXPECT_GE(rec->marks[1].t_ms - rec->marks[0].t_ms, 3000u);
}

TEST_F(Panel, ARecordingOpensInTheViewerAsTheChartShowedIt) {
  Open();
  panel->OnCommand(bench.view, IDC_MON_RECORD);
  Ticks(40);
  panel->OnCommand(bench.view, IDC_MON_RECORD_STOP);
  const std::string path = bench.Path("run.csv");
  std::ofstream(path, std::ios::binary) << file.bytes;

  bench.view.dialog_answers = {path};
  panel->OnCommand(bench.view, IDC_MON_OPEN_RECORDING);
  ASSERT_EQ(bench.view.dialogs.size(), 1u);
  EXPECT_FALSE(bench.view.dialogs[0].save);
  EXPECT_NE(bench.view.dialogs[0].filter.find("*.csv"), std::string::npos);
  EXPECT_EQ(bench.view.dialogs[0].initial, file.path);  // the last recording
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].second, path);
  const Recording& rec = shown[0].first;
  // The same values the live chart showed at the ticks that were answered.
  std::vector<ChartSample> live;
  for (const ChartSample& l : panel->chart().samples())
    if (l.answered) live.push_back(l);
  ASSERT_GE(rec.samples.size(), 38u);
  ASSERT_EQ(rec.stopped_line, 0);
  const size_t n = rec.samples.size();
  for (size_t i = 0; i < n; ++i) {
    const ChartSample& l = live[live.size() - n + i];
    for (int k = 0; k < kTraces; ++k) EXPECT_DOUBLE_EQ(rec.samples[i].values[k], l.values[k]) << i;
  }
  EXPECT_TRUE(bench.view.messages.empty());

  // What is not a recording, or holds nothing readable, is said, not shown.
  struct Case {
    std::string bytes, message;
  } cases[] = {
      {"[CONFIG_BRIO]\r\n3D=3C\r\n", "não é uma gravação do monitor do KOVA"},
      {Recorder::Header() + "\r\n12;x\r\n", "a linha 2 está danificada"},
      {Recorder::Header() + "\r\n", "não tem medições"},
  };
  for (const Case& c : cases) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << c.bytes;
    bench.view.dialog_answers = {path};
    panel->OnCommand(bench.view, IDC_MON_OPEN_RECORDING);
    ASSERT_FALSE(bench.view.messages.empty());
    EXPECT_NE(bench.view.messages.back().text.find(c.message), std::string::npos)
        << bench.view.messages.back().text;
    EXPECT_EQ(bench.view.messages.back().caption, "Abrir gravação");
  }
  bench.view.dialog_answers = {std::nullopt};  // cancelled: nothing at all
  panel->OnCommand(bench.view, IDC_MON_OPEN_RECORDING);
  EXPECT_EQ(bench.view.messages.size(), 3u);
  EXPECT_EQ(shown.size(), 1u);
}

}  // namespace
}  // namespace kova
