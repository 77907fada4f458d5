#include "monitor/monitor_panel.h"

#include <cstdio>
#include <cstdlib>

#include "common/texts.h"
#include "controller/answer_parser.h"
#include "common/texts.h"
#include "controller/store_access.h"
#include "monitor/recording_place.h"
#include "resources/art/resource_ids.h"
#include "resources/control_ids.h"
#include "resources/monitor_ids.h"
#include "serial/serial_port.h"
#include "store/platform_file.h"

namespace kova {
namespace {

// What a full read from the parameter file takes for the panel.
const char* const kFileKeys[] = {kIdleDefaultKey, kHighDefaultKey, "41", "42", "45", "46"};

FieldDef DefaultPosition(const char* keyword) {
  // A position outside the row is refused as the actuator screen refuses
  // it: the limit in the box, nothing written.
  return {.selector = keyword, .kind = FieldKind::kNumber, .keyword = keyword,
          .out_of_range = OutOfRange::kRefuse};
}

std::array<int, 4> RpmCells() {
  return {IDC_MON_RPM_FIRST, IDC_MON_RPM_FIRST + 10, IDC_MON_RPM_FIRST + 20,
          IDC_MON_RPM_FIRST + 30};
}
std::array<int, 3> Cells(int first) { return {first, first + 10, first + 20}; }

std::string VoltsText(double v) {
  char text[32];
  std::snprintf(text, sizeof text, "%2.2f", v);
  return text;
}

const char* ScaleName(ScaleState s) {
  switch (s) {
    case ScaleState::kGreen: return "verde";
    case ScaleState::kRed: return "vermelha";
    case ScaleState::kHidden: return "oculta";
    case ScaleState::kUnchanged: break;
  }
  return "";
}

}  // namespace

const MonitorPanel::DefaultEdit MonitorPanel::kDefaults[2] = {
    {IDC_MON_IDLE, DefaultPosition(kIdleDefaultKey)},
    {IDC_MON_HIGH, DefaultPosition(kHighDefaultKey)}};

MonitorEnv DefaultMonitorEnv() {
  MonitorEnv env;
  env.recording_folder = RecordingFolder;
  env.local_time = LocalNow;
  env.record_file = MakePlatformRecordFile;
  env.csv_format = UserCsvFormat;
  env.counters = &ProcessRefreshCounters();
  env.chart_canvas = FindChartCanvas;
  return env;
}

MonitorPanel::MonitorPanel(AppContext& app, MonitorEnv env)
    : app_(app),
      env_(std::move(env)),
      counters_(env_.counters ? *env_.counters : ProcessRefreshCounters()),
      feed_(app, {.timer = kPollTimer, .pacing = Pacing::kMonitorBrio, .verify_check = true,
                  .empty_is_answer = true}),
      digits_(RpmCells()),
      arc_(IDC_MON_ARC_FIRST),
      tps_readout_(Cells(IDC_MON_TPS_FIRST)),
      lambda_readout_(Cells(IDC_MON_LAMBDA_FIRST)),
      tps_bar_(IDC_MON_TPS_BAR),
      lambda_bar_(IDC_MON_LAMBDA_BAR, counters_),
      steps_(Cells(IDC_MON_STEP_FIRST), IDC_MON_MARKER, IDC_MON_ACTUATOR_FIRST),
      scale_(IDC_MON_SCALE_GREEN, IDC_MON_SCALE_RED) {
  if (!env_.local_time) env_.local_time = LocalNow;
  if (!env_.recording_folder) env_.recording_folder = RecordingFolder;
  if (!env_.record_file) env_.record_file = MakePlatformRecordFile;
  if (!env_.chart_canvas) env_.chart_canvas = FindChartCanvas;
  PrepareChartCanvas();
  if (!env_.csv_format) env_.csv_format = UserCsvFormat;
}

MonitorPanel::~MonitorPanel() = default;

ScreenDesign MonitorPanel::Design(AppContext& app) {
  ScreenDesign s;
  s.template_id = IDD_MONITOR;
  s.background = [&app] {
    return app.model == kModelVela ? IDB_BG_MONITOR_VELA : IDB_BG_MONITOR_BRIO;
  };
  AddFrameButtons(s, {IDC_RETURN, IDC_EXIT}, true);
  for (const FrameButton& b : {FrameButton{IDC_MON_CALIBRATE, IDB_BTN_CALIBRATE, "Calibrar"},
                               FrameButton{IDC_MON_RECORD, IDB_BTN_RECORD, "Gravar dados"},
                               FrameButton{IDC_MON_RECORD_STOP, IDB_BTN_RECORD_STOP,
                                           "Parar gravação"},
                               FrameButton{IDC_MON_CHART_PAUSE, IDB_BTN_CHART_PAUSE,
                                           "Pausar o gráfico"},
                               FrameButton{IDC_MON_CHART_CONTINUE, IDB_BTN_CHART_CONTINUE,
                                           "Continuar o gráfico"},
                               FrameButton{IDC_MON_OPEN_RECORDING, IDB_BTN_OPEN_RECORDING,
                                           "Abrir gravação"}})
    AddButton(s, b, true);
  const LabelFont field{"Ms Sans Serif", 14, 1u};
  const LabelFont scale{"ARIAL BLACK", 12, 0x20u};
  const LabelFont progress{"ARIAL BLACK", 25, 0x20u};
  const unsigned scale_colour = 0x4ADFCD, red = 0x0000CD, ink = 0x3A3028;
  s.labels = {{IDC_MON_IDLE_LABEL, field, 0},
              {IDC_MON_HIGH_LABEL, field, 0},
              {IDC_MON_IDLE_RANGE, field, 0},
              {IDC_MON_HIGH_RANGE, field, 0},
              {IDC_MON_PROGRESS, progress, red},
              {IDC_MON_CAL_STATUS, field, ink},
              {IDC_MON_RECORD_FILE, field, ink}};
  for (int id = IDC_MON_TPS_0V_BOTTOM; id <= IDC_MON_LAMBDA_5V; ++id)
    s.labels.push_back({id, scale, scale_colour});
  s.spins = {{IDC_MON_IDLE_SPIN, 1, 240, 1, 0}, {IDC_MON_HIGH_SPIN, 1, 240, 1, 0}};
  s.field_font_controls = {IDC_MON_IDLE, IDC_MON_HIGH};
  return s;
}

std::optional<long> MonitorPanel::Live(std::string_view key) { return StoreValue(app_.live, key); }

// ---- opening ------------------------------------------------------------------

void MonitorPanel::OnInit(View& view) {
  view_ = &view;
  feed_.Bind(view);
  feed_.set_pacing(MonitorPacing(model()));
  // A new window: every glyph control starts hidden, nothing is drawn yet.
  feed_.ResetSpeedText();
  last_steps_ = -1;
  misses_ = 0;
  no_answer_ = in_tick_ = writing_ = calibrating_ = leaving_ = false;
  deferred_ = Deferred::kNone;
  digits_.Forget();
  arc_.Forget();
  tps_readout_.Forget();
  lambda_readout_.Forget();
  tps_bar_.Forget();
  lambda_bar_.Forget();
  steps_.Forget();
  scale_.Forget();
  view.Show(IDC_MON_PROGRESS, false);
  view.Show(IDC_MON_CAL_STATUS, false);
  view.Show(IDC_MON_RECORD_STOP, false);
  view.Show(IDC_MON_RECORD_FILE, false);
  view.Show(IDC_MON_RECORD, true);
  view.Show(IDC_MON_CHART_PAUSE, true);
  view.Show(IDC_MON_CHART_CONTINUE, false);
  chart_.StartLive();
  chart_origin_ = clock().Now();
  canvas_ = env_.chart_canvas(IDC_MON_CHART);

  // Spin ranges from the parameter table, one step of the row's scale.
  for (const DefaultEdit& e : kDefaults) {
    if (const ParameterDescriptor* d = app_.table.Find(e.def.keyword)) {
      double step = static_cast<int>(d->scale);
      view.SetSpinRange(e.edit + 1, d->Min(), d->Max(), step > 0 ? step : 1, 0);
    }
  }
  ShowStore(app_.equipment);
  feed_.StartTicks();
  steps_.ShowFirstFrame(view);

  ReadAllParameters(app_.live, 400);
  // The scale labels and the lambda full scale come from the values just
  // read, before the first poll draws the bars with them.
  SetScaleLabels();
  chart_.SetLambdaFullScale(lambda_full_scale_);
  if (canvas_) canvas_->Attach(&chart_);
  StartStream();
  Tick();
}

void MonitorPanel::SetScaleLabels() {
  View& v = *view_;
  auto tps = Live("10");
  const bool tps_normal = tps && *tps == 1;
  tps_inverted_ = tps && *tps == 2;
  v.Show(IDC_MON_TPS_0V_BOTTOM, tps_normal);
  v.Show(IDC_MON_TPS_5V_TOP, tps_normal);
  v.Show(IDC_MON_TPS_5V_BOTTOM, !tps_normal);
  v.Show(IDC_MON_TPS_0V_TOP, !tps_normal);
  // A probe type that cannot be read counts as the usual 0-1 V probe.
  auto lambda = Live("13");
  if (!lambda) {
    if (auto text = StoreGet(app_.equipment, "13")) {
      if (auto n = ParseHex(*text)) lambda = static_cast<long>(*n);
    }
  }
  const bool one_volt = !lambda || *lambda == 1;
  lambda_full_scale_ = one_volt ? 1 : 5;
  v.Show(IDC_MON_LAMBDA_0V, true);
  v.Show(IDC_MON_LAMBDA_1V, one_volt);
  v.Show(IDC_MON_LAMBDA_5V, !one_volt);
}

bool MonitorPanel::ReadAllParameters(CKX4DATA& store, uint32_t first_wait) {
  ExchangeEnv env = app_.Exchange();
  if (calibrating_) env.clock = &calibration_clock();
  return ReadAllRegisters(env, Pacing::kMonitorRead, store, first_wait);
}

// ---- defaults -----------------------------------------------------------------

bool MonitorPanel::ShowStore(CKX4DATA& store) {
  bool ok = true;
  for (const DefaultEdit& e : kDefaults) {
    const FieldDisplay shown = DisplayField(e.def, app_.table, model(), store);
    if (!shown.complete) {
      ok = false;
      continue;
    }
    view_->SetText(e.edit, shown.text);
  }
  return ok;
}

void MonitorPanel::StageFields(std::string_view) {
  for (const DefaultEdit& e : kDefaults) {
    FieldInput input;
    input.text = view_->GetText(e.edit);
    RegisterValues values = ValuesToWrite(e.def, app_.table, model(), input, app_.equipment);
    // Only what the actuator screen would write goes out.
    if (values.empty() || !RefusalOf(e.def, app_.table, model(), values, app_.equipment).empty())
      continue;
    StageValues(values, false, app_.equipment, app_.changes);
  }
}

void MonitorPanel::EnableWriteButtons(bool enabled) { EnableButtons(enabled); }

std::vector<std::string> MonitorPanel::FileKeywords() const {
  return {std::begin(kFileKeys), std::end(kFileKeys)};
}

void MonitorPanel::EnableButtons(bool enabled) {
  view_->Enable(IDC_RETURN, enabled);
  view_->Enable(IDC_EXIT, enabled);
  view_->Enable(IDC_MON_CALIBRATE, enabled);
}

void MonitorPanel::StartStream() {
  if (!leaving_) feed_.StartStream();
}

void MonitorPanel::OnPortReopened(View& view) {
  view_ = &view;
  // Sooner than the restart after twelve silent ticks; a write or a
  // calibration starts the stream again itself when it ends.
  if (!writing_ && !calibrating_) StartStream();
}

void MonitorPanel::OnEnter(View& view) {
  view_ = &view;
  if (calibrating_ || writing_ || leaving_) return;
  if (in_tick_) {
    deferred_ = Deferred::kWrite;
    return;
  }
  WriteDefaults();
}

void MonitorPanel::WriteDefaults() {
  View& v = *view_;
  // A position outside the row is refused before anything stops.
  bool allowed = true;
  for (const DefaultEdit& e : kDefaults)
    if (auto refused = CheckOnWrite(e.def, app_.table, v.GetText(e.edit))) {
      v.MessageBox(refused->message, refused->caption, kMbOk);
      v.SetText(e.edit, refused->text);
      allowed = false;
    }
  if (!allowed) return;
  writing_ = true;
  feed_.StopTicks();
  feed_.StopStream();
  ExchangeEnv env = app_.Exchange();
  env.progress = [&v](const std::string& status) { v.SetBusy(status); };
  // The monitor's pacing: a pause, the two defaults staged against the
  // equipment store and sent, a pause, and the re-read (every register
  // from the controller, or the panel's keys from the model's section of
  // the parameter file) shown in the two edits.
  Exchange exchange(env, MonitorPacing(model()), *this);
  WriteOutcome outcome = exchange.SendPendingWrites(kFull);
  v.SetBusy("");
  writing_ = false;
  if (outcome == WriteOutcome::kReadFailed) {
    v.MessageBox(kReadErrorText, "", kMbOk);
    leaving_ = true;
    v.EndScreen(kScreenLinkFailure);
    return;
  }
  StartStream();
  feed_.StartTicks();
}

void MonitorPanel::OnFocus(View& view, int id) {
  view_ = &view;
  for (const DefaultEdit& e : kDefaults)
    if (id == e.edit) app_.current_key = e.def.keyword;
}

// ---- polling ------------------------------------------------------------------

void MonitorPanel::OnTimer(View& view, int id) {
  view_ = &view;
  if (id == kPollTimer) Tick();
  // What waits in memory reaches the file every second, whatever the
  // controller, a message box or a write are doing.
  if (id == kRecordTimer && recorder_ && recorder_->active() && !recorder_->Flush(clock().Now()))
    StopRecording(true);
}

void MonitorPanel::Tick() {
  // A tick that starts while another draws (the drawing lets messages
  // through), or while a write or a calibration runs, has nothing to add.
  if (in_tick_ || writing_ || calibrating_ || leaving_) return;
  in_tick_ = true;

  // An empty read is an answer with no values; a missing key makes the
  // redraw fail, which counts as no answer.
  const bool answer = feed_.Read() && Redraw();
  if (answer) {
    misses_ = 0;
    no_answer_ = false;
    EnableButtons(true);
    DrawScale();
    Record();
    ChartSampled(true);
  } else {
    no_answer_ = true;
    if (misses_ <= 10) {
      ++misses_;
      Redraw();
      ChartSampled(false);
    } else {
      // The twelfth miss in a row: the values go to zero, the scales hide
      // and the stream is asked for again. VELA's period has a third byte:
      // without it zeroed the speed would stay above zero.
      for (const char* key : {"11", "23", "24", "28", "29"}) StoreAdd(app_.live, key, "0");
      if (model() == kModelVela) StoreAdd(app_.live, "2A", "0");
      EnableButtons(true);
      Redraw();
      DrawStepDisplay(0);
      StartStream();
      misses_ = 0;
      DrawScale();
      ChartSampled(false);
    }
  }
  in_tick_ = false;
  RunDeferred();
}

void MonitorPanel::RunDeferred() {
  Deferred d = deferred_;
  deferred_ = Deferred::kNone;
  if (d == Deferred::kWrite) OnEnter(*view_);
  else if (d == Deferred::kCalibrate) Calibrate();
}

// Only the controls whose glyph or place changed are touched, and the
// system paints what they invalidated together at the next paint, once per
// redraw. Holding the window's redraw instead would repaint the whole panel
// (background first, then every control) on every tick, which flickers.
bool MonitorPanel::Redraw() {
  View& v = *view_;
  v.PumpMessages();
  bool ok = false;
  do {
    auto p = Live("11");
    if (!p) break;
    const int steps = static_cast<int>(*p);
    if (!DrawSteps(steps != last_steps_)) break;
    if (!DrawSpeed(steps)) break;
    auto tps = Live("23");
    if (!tps) break;
    shown_tps_ = *tps * 0.02;
    tps_readout_.ShowVolts(v, VoltsText(shown_tps_));
    tps_bar_.Show(v, shown_tps_, tps_inverted_);
    auto lambda = Live("24");
    if (!lambda) break;
    shown_lambda_ = *lambda * 0.02;
    lambda_readout_.ShowVolts(v, VoltsText(shown_lambda_));
    lambda_bar_.Show(v, shown_lambda_, lambda_full_scale_);
    ok = true;
  } while (false);
  return ok;
}

bool MonitorPanel::DrawSteps(bool changed) {
  if (!changed && counters_.step_display >= 5) return true;
  if (counters_.step_display < 5) ++counters_.step_display;
  // The update stands on the defaults being known.
  if (!Live(kIdleDefaultKey) || !Live(kHighDefaultKey)) return false;
  DrawStepDisplay(static_cast<int>(*Live("11")));
  return true;
}

void MonitorPanel::DrawStepDisplay(int steps) {
  steps_.Show(*view_, steps);
  last_steps_ = steps;
  shown_steps_ = steps;
}

bool MonitorPanel::DrawSpeed(int steps) {
  View& v = *view_;
  auto speed = feed_.Speed();
  if (!speed) return false;
  const LiveFeed::ShownSpeed shown = feed_.ShowSpeed(*speed);
  if (*speed == 0 && steps == 0) {
    tps_readout_.ShowVolts(v, "0.00");
    lambda_readout_.ShowVolts(v, "0.00");
  }
  digits_.Show(v, shown.text);
  arc_.Show(v, shown.arc);
  shown_rpm_ = static_cast<int>(shown.arc);
  return true;
}

void MonitorPanel::DrawScale() {
  if (!Live(kIdleDefaultKey) || !Live(kHighDefaultKey)) return;
  auto v83 = Live("83");
  scale_.Show(*view_, ScaleFor(no_answer_, v83.has_value(), v83.value_or(0)));
}

// ---- leaving ------------------------------------------------------------------

void MonitorPanel::OnNext(View& view) { view_ = &view; }

bool MonitorPanel::AskToLeave(const char* text) {
  return view_->MessageBox(text, kLeaveCaption, kMbYesNo | kMbIconQuestion) == kIdYes;
}

void MonitorPanel::Leave(int result) {
  StopRecording(false);  // a last write that fails is said before the panel goes
  leaving_ = true;
  feed_.StopTicks();
  feed_.StopStream();
  view_->EndScreen(result);
}

void MonitorPanel::OnReturn(View& view) {
  view_ = &view;
  if (leaving_ || writing_) return;
  if (calibrating_) {
    if (AskToLeave(kLeaveReturnText)) Leave(kScreenNext);
    return;
  }
  Leave(kScreenNext);
}

void MonitorPanel::OnExit(View& view) {
  view_ = &view;
  if (leaving_ || writing_) return;
  if (calibrating_) {
    if (AskToLeave(kLeaveExitText)) Leave(kScreenExit);
    return;
  }
  // The stop command follows when the window goes.
  StopRecording(false);
  leaving_ = true;
  feed_.StopTicks();
  view.EndScreen(kScreenExit);
}

void MonitorPanel::OnDestroy(View& view) {
  view_ = &view;
  if (canvas_) canvas_->Attach(nullptr);
  canvas_ = nullptr;
  feed_.StopTicks();
  StopRecording(false);
  leaving_ = true;
  feed_.StopStream();
}

void MonitorPanel::OnCommand(View& view, int id) {
  view_ = &view;
  switch (id) {
    case IDC_MON_CALIBRATE:
      if (in_tick_) {
        deferred_ = Deferred::kCalibrate;
        return;
      }
      Calibrate();
      break;
    case IDC_MON_RECORD: StartRecording(); break;
    case IDC_MON_RECORD_STOP: StopRecording(false); break;
    case IDC_MON_CHART_PAUSE: PauseChart(true); break;
    case IDC_MON_CHART_CONTINUE: PauseChart(false); break;
    case IDC_MON_OPEN_RECORDING: OpenRecording(); break;
  }
}

// ---- recording ----------------------------------------------------------------

void MonitorPanel::StartRecording() {
  View& v = *view_;
  if (recorder_ && recorder_->active()) return;
  recorder_ = std::make_unique<Recorder>(env_.record_file(), env_.csv_format());
  if (!recorder_->Start(env_.recording_folder(), env_.local_time(), clock().Now())) {
    v.MessageBox(recorder_->error(), kRecordCaption, kMbOk | kMbIconExclamation);
    return;
  }
  v.SetTimer(kRecordTimer, Recorder::kFlushMs);
  v.Show(IDC_MON_RECORD, false);
  v.Show(IDC_MON_RECORD_STOP, true);
  v.SetText(IDC_MON_RECORD_FILE, TrFormat("Gravando em {0}", {recorder_->path()}));
  v.Show(IDC_MON_RECORD_FILE, true);
}

void MonitorPanel::StopRecording(bool failed) {
  if (!recorder_) return;
  const bool was_active = recorder_->active();
  const bool ok = recorder_->Stop() && !failed;
  if (view_) {
    View& v = *view_;
    v.KillTimer(kRecordTimer);
    v.Show(IDC_MON_RECORD_STOP, false);
    v.Show(IDC_MON_RECORD, true);
    v.Show(IDC_MON_RECORD_FILE, false);
    if ((was_active || failed) && !ok && !leaving_)
      v.MessageBox(recorder_->error(), kRecordCaption, kMbOk | kMbIconExclamation);
  }
}

void MonitorPanel::Record(const std::string& mark) {
  if (!recorder_ || !recorder_->active()) return;
  RecordSample s;
  s.rpm = shown_rpm_;
  s.tps = shown_tps_;
  s.lambda = shown_lambda_;
  s.steps = shown_steps_;
  s.scale = ScaleName(scale_.shown());
  s.mark = mark;
  if (!recorder_->Append(clock().Now(), env_.local_time(), s)) StopRecording(true);
}

// ---- the live chart -----------------------------------------------------------

void MonitorPanel::ChartSampled(bool answered) {
  ChartSample s;
  s.t_ms = clock().Now() - chart_origin_;
  s.answered = answered;
  s.values = {static_cast<double>(shown_rpm_), shown_tps_, shown_lambda_,
              static_cast<double>(shown_steps_)};
  chart_.Add(s);
  if (canvas_ && !chart_.paused()) canvas_->Advance();
}

void MonitorPanel::ChartMarked(MarkKind kind) {
  chart_.AddMark(clock().Now() - chart_origin_, kind);
}

void MonitorPanel::PauseChart(bool paused) {
  // The poll and the recording go on; only the picture holds still.
  chart_.SetPaused(paused);
  view_->Show(IDC_MON_CHART_PAUSE, !paused);
  view_->Show(IDC_MON_CHART_CONTINUE, paused);
  if (canvas_) canvas_->Redraw();
}

void MonitorPanel::OpenRecording() {
  View& v = *view_;
  const std::string caption = Tr("Abrir gravação");
  FileDialogRequest req;
  req.filter = Tr("Gravações do monitor (*.csv)") + "|*.csv|" + Tr("Todos os arquivos (*.*)") +
               "|*.*|";
  req.default_ext = "csv";
  // The dialog opens where the recordings are, on the last one made.
  const std::string folder = env_.recording_folder();
  if (recorder_ && !recorder_->path().empty()) req.initial = recorder_->path();
  else if (file::Exists(folder)) req.initial = file::Join(folder, "*.csv");
  const std::optional<std::string> path = v.FileDialog(req);
  if (!path) return;
  const std::optional<std::string> bytes = file::ReadAll(*path);
  std::string problem;
  std::optional<Recording> rec;
  if (!bytes) problem = TrFormat("Não foi possível abrir o arquivo\n{0}", {*path});
  else if (bytes->size() > kMaxRecordingBytes)
    problem = TrFormat("O arquivo\n{0}\né grande demais para uma gravação do monitor.", {*path});
  else if (!(rec = ReadRecording(*bytes)))
    problem = TrFormat("O arquivo\n{0}\nnão é uma gravação do monitor do KOVA.", {*path});
  else if (rec->samples.empty() && rec->stopped_line)
    problem = TrFormat("A gravação\n{0}\nnão pôde ser lida: a linha {1} está danificada.",
                       {*path, std::to_string(rec->stopped_line)});
  else if (rec->samples.empty())
    problem = TrFormat("A gravação\n{0}\nnão tem medições.", {*path});
  if (!problem.empty()) {
    v.MessageBox(problem, caption, kMbOk | kMbIconExclamation);
    return;
  }
  if (env_.show_recording) env_.show_recording(*rec, *path);
}

}  // namespace kova
