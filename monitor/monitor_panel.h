// The monitor panel: the engine and the gas-flow manager live, from the
// controller's live stream polled every 100 ms; the two default actuator
// positions written with Enter; the actuator calibration (CALIBRAR); and the
// recording of what it shows to a CSV file.
//
// Run modally from a data screen's Monitor button. Results: 1 after Return
// (or Ctrl+Left), 3 after a re-read that failed three times, kScreenExit
// after Exit, Esc or closing the window.
#pragma once
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "controller/exchange.h"
#include "controller/field_value.h"
#include "monitor/chart.h"
#include "monitor/chart_canvas.h"
#include "monitor/live_display.h"
#include "monitor/live_feed.h"
#include "monitor/recorder.h"
#include "monitor/recording_reader.h"
#include "shell/app_context.h"
#include "shell/screen_design.h"
#include "shell/screen_logic.h"

namespace kova {

// Texts the panel shows.
inline constexpr char kCalibrationErrorText[] = "Erro no processo de calibração";
inline constexpr char kCalibrationCaption[] = "Calibração";
inline constexpr char kCalibrationTimeoutText[] =
    "TEMPO ESGOTADO!\n\nErro na calibração.\nNão houve resposta do gerenciador de fluxo de gás...";
inline constexpr char kCalibrationTimeoutCaption[] = "Erro";
inline constexpr char kLeaveCaption[] = "Calibração em andamento";
inline constexpr char kLeaveReturnText[] =
    "A Calibração ainda não foi concluída. Deseja realmente retornar à tela anterior?";
inline constexpr char kLeaveExitText[] =
    "A Calibração ainda não foi concluída. Deseja realmente sair?";
inline constexpr char kRecordCaption[] = "Gravar dados";

// What the panel needs beyond the application context; every member has a
// product default.
struct MonitorEnv {
  // Where recordings go, and the local time written into them.
  std::function<std::string()> recording_folder;
  std::function<LocalTime()> local_time;
  std::function<std::unique_ptr<RecordFile>()> record_file;
  // The list separator and decimal symbol of the recordings.
  std::function<CsvFormat()> csv_format;
  // The process-wide refresh counters of the live display.
  RefreshCounters* counters = nullptr;
  // The clock of the calibration's waits: the panel keeps taking input
  // during them, so that leaving can be asked for. Null: the application's.
  Clock* calibration_clock = nullptr;
  // The window the live chart is painted in, by control id.
  std::function<ChartCanvas*(int)> chart_canvas;
  // Shows a recording opened with "Abrir gravação" (the recording viewer);
  // empty where the program has none.
  std::function<void(const Recording&, const std::string& path)> show_recording;
};
MonitorEnv DefaultMonitorEnv();

class MonitorPanel : public ScreenLogic, public ExchangeScreen {
 public:
  static constexpr int kPollTimer = 1;
  static constexpr int kRecordTimer = 3;  // writes a recording's lines out

  MonitorPanel(AppContext& app, MonitorEnv env = DefaultMonitorEnv());
  ~MonitorPanel() override;
  static ScreenDesign Design(AppContext& app);

  // ScreenLogic
  void OnInit(View& view) override;
  void OnNext(View& view) override;  // the panel has no Next
  void OnReturn(View& view) override;
  void OnExit(View& view) override;
  void OnEnter(View& view) override;
  void OnCommand(View& view, int id) override;
  void OnFocus(View& view, int id) override;
  void OnTimer(View& view, int id) override;
  void OnPortReopened(View& view) override;
  void OnDestroy(View& view) override;

  // ExchangeScreen: the two default positions.
  bool ShowStore(CKX4DATA& store) override;
  void StageFields(std::string_view selector) override;
  void EnableWriteButtons(bool enabled) override;
  std::vector<std::string> FileKeywords() const override;

  // One poll: read, parse, redraw, and what the tick does after it.
  void Tick();
  // The actuator calibration (the CALIBRAR button).
  void Calibrate();

  bool calibrating() const { return calibrating_; }
  int misses() const { return misses_; }
  bool no_answer() const { return no_answer_; }
  const std::string& speed_text() const { return feed_.last_speed_text(); }
  double lambda_full_scale() const { return lambda_full_scale_; }
  const Recorder* recorder() const { return recorder_.get(); }
  const ChartModel& chart() const { return chart_; }

 private:
  // Draws the panel from the live store; false at the first missing key.
  bool Redraw();
  bool DrawSteps(bool force);
  bool DrawSpeed(int steps);
  void DrawStepDisplay(int steps);
  void DrawScale();
  void SetScaleLabels();
  bool ReadAllParameters(CKX4DATA& store, uint32_t first_wait);
  // The two default positions' edits and what they write.
  struct DefaultEdit {
    int edit;
    FieldDef def;
  };
  static const DefaultEdit kDefaults[2];
  // The re-read after a calibration: one attempt into the source's store,
  // then its defaults are shown.
  void RereadAfterCalibration();
  void WriteDefaults();
  void EnableButtons(bool enabled);
  void StartStream();
  bool AskToLeave(const char* text);
  void Leave(int result);
  // The calibration's steps.
  void CalibrationProcedure();
  bool CalibrationLoop(uint32_t start);  // true when the report came; false at the time-out
  void CalibrationEnd();
  void CalibrationTimeout();
  void ShowCalibrationStatus(uint32_t elapsed_ms, uint32_t total_ms);
  bool WaitCalibrating(uint32_t ms);  // false when the panel is being left
  // Recording.
  void StartRecording();
  void StopRecording(bool say_why);
  void Record(const std::string& mark = {});
  // The live chart: a sample of what the panel shows now (a gap when the
  // controller did not answer), a calibration mark, pause and continue.
  void ChartSampled(bool answered);
  void ChartMarked(MarkKind kind);
  void PauseChart(bool paused);
  // "Abrir gravação": a recording chosen, read and shown in the viewer.
  void OpenRecording();
  Clock& clock() { return app_.clock; }
  Clock& calibration_clock() { return env_.calibration_clock ? *env_.calibration_clock : app_.clock; }
  void RunDeferred();
  int model() const { return app_.model; }
  std::optional<long> Live(std::string_view key);

  AppContext& app_;
  MonitorEnv env_;
  RefreshCounters& counters_;
  View* view_ = nullptr;
  LiveFeed feed_;

  SpeedDigits digits_;
  SpeedArc arc_;
  SmallReadout tps_readout_, lambda_readout_;
  TpsBar tps_bar_;
  LambdaBar lambda_bar_;
  StepDisplay steps_;
  StatusScale scale_;

  int last_steps_ = -1;  // the position last shown; -1: none in this window
  bool tps_inverted_ = false;
  double lambda_full_scale_ = 1;
  int misses_ = 0;
  bool no_answer_ = false;
  bool in_tick_ = false;
  bool writing_ = false;
  bool calibrating_ = false;
  bool leaving_ = false;  // the user chose to leave; nothing more is sent
  uint32_t status_second_ = 0;
  // A write or calibration asked for while a tick was drawing runs after it.
  enum class Deferred { kNone, kWrite, kCalibrate } deferred_ = Deferred::kNone;

  std::unique_ptr<Recorder> recorder_;
  double shown_tps_ = 0, shown_lambda_ = 0;
  int shown_rpm_ = 0, shown_steps_ = 0;

  ChartModel chart_;
  ChartCanvas* canvas_ = nullptr;
  uint32_t chart_origin_ = 0;  // the clock when the window opened
};

}  // namespace kova
