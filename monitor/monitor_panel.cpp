#include "monitor/monitor_panel.h"

#include <cstdio>
#include <cstdlib>

#include "controller/answer_parser.h"
#include "controller/store_access.h"
#include "monitor/recording_place.h"
#include "resources/art/resource_ids.h"
#include "resources/control_ids.h"
#include "resources/monitor_ids.h"
#include "serial/serial_port.h"

namespace kova {
namespace {

constexpr const char* kIdleKey = "3D";
constexpr const char* kHighKey = "3E";
// What a full read from the parameter file takes for the panel.
const char* const kFileKeys[] = {"3D", "3E", "41", "42", "45", "46"};

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

MonitorEnv DefaultMonitorEnv() {
  MonitorEnv env;
  env.recording_folder = RecordingFolder;
  env.local_time = LocalNow;
  env.record_file = MakePlatformRecordFile;
  env.counters = &ProcessRefreshCounters();
  return env;
}

MonitorPanel::MonitorPanel(AppContext& app, MonitorEnv env)
    : app_(app),
      env_(std::move(env)),
      counters_(env_.counters ? *env_.counters : ProcessRefreshCounters()),
      digits_(RpmCells()),
      arc_(IDC_MON_ARC_FIRST),
      tps_readout_(Cells(IDC_MON_TPS_FIRST)),
      lambda_readout_(Cells(IDC_MON_LAMBDA_FIRST)),
      tps_bar_(IDC_MON_TPS_BAR),
      lambda_bar_(IDC_MON_LAMBDA_BAR, counters_),
      steps_(Cells(IDC_MON_STEP_FIRST), IDC_MON_MARKER, IDC_MON_ACTUATOR_FIRST),
      scale_(IDC_MON_SCALE_GREEN, IDC_MON_SCALE_RED),
      read_buffer_(kReadSize + 1) {
  if (!env_.local_time) env_.local_time = LocalNow;
  if (!env_.recording_folder) env_.recording_folder = RecordingFolder;
  if (!env_.record_file) env_.record_file = MakePlatformRecordFile;
}

MonitorPanel::~MonitorPanel() = default;

ScreenDesign MonitorPanel::Design(AppContext& app) {
  ScreenDesign s;
  s.template_id = IDD_MONITOR;
  s.background = [&app] {
    return app.model == kModelVela ? IDB_BG_MONITOR_VELA : IDB_BG_MONITOR_BRIO;
  };
  s.buttons = {{IDC_RETURN, IDB_BTN_RETURN},
               {IDC_EXIT, IDB_BTN_EXIT},
               {IDC_MON_CALIBRATE, IDB_BTN_CALIBRATE},
               {IDC_MON_RECORD, IDB_BTN_RECORD},
               {IDC_MON_RECORD_STOP, IDB_BTN_RECORD_STOP}};
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
  s.tooltips = {{IDC_RETURN, "Retornar"},
                {IDC_EXIT, "Sair"},
                {IDC_MON_CALIBRATE, "Calibrar"},
                {IDC_MON_RECORD, "Gravar dados"},
                {IDC_MON_RECORD_STOP, "Parar gravação"}};
  s.spins = {{IDC_MON_IDLE_SPIN, 1, 240, 1, 0}, {IDC_MON_HIGH_SPIN, 1, 240, 1, 0}};
  s.field_font_controls = {IDC_MON_IDLE, IDC_MON_HIGH};
  return s;
}

std::optional<long> MonitorPanel::Live(std::string_view key) { return StoreValue(app_.live, key); }

// ---- opening ------------------------------------------------------------------

void MonitorPanel::OnInit(View& view) {
  view_ = &view;
  // A new window: every glyph control starts hidden, nothing is drawn yet.
  previous_speed_ = "0000000000";
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

  // Spin ranges from the parameter table, one step of the row's scale.
  const std::pair<int, const char*> spins[] = {{IDC_MON_IDLE_SPIN, kIdleKey},
                                               {IDC_MON_HIGH_SPIN, kHighKey}};
  for (const auto& [spin, key] : spins) {
    if (const ParameterDescriptor* d = app_.table.Find(key)) {
      double step = static_cast<int>(d->scale);
      view.SetSpinRange(spin, d->Min(), d->Max(), step > 0 ? step : 1, 0);
    }
  }
  ShowStore(app_.equipment);
  view.SetTimer(kPollTimer, kPollMs);
  steps_.ShowFirstFrame(view);

  ReadAllParameters(app_.live, 400);
  // The scale labels and the lambda full scale come from the values just
  // read, before the first poll draws the bars with them.
  SetScaleLabels();
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
  SendFrame(app_.port, ReadFrame(model(), 0x00));
  Clock& c = calibrating_ ? calibration_clock() : clock();
  c.Sleep(first_wait);
  for (int read = 0; read < 3; ++read) {
    if (read) c.Sleep(400);
    if (auto answer = ReadAnswer(app_.port)) {
      ParseConfigAnswer(*answer, store);
      return true;
    }
  }
  return false;
}

// ---- defaults -----------------------------------------------------------------

bool MonitorPanel::ShowStore(CKX4DATA& store) {
  bool ok = true;
  const std::pair<int, const char*> edits[] = {{IDC_MON_IDLE, kIdleKey}, {IDC_MON_HIGH, kHighKey}};
  for (const auto& [edit, key] : edits) {
    auto value = StoreValue(store, key);
    if (!value) {
      ok = false;
      continue;
    }
    view_->SetText(edit, std::to_string(*value));
  }
  return ok;
}

void MonitorPanel::StageFields(std::string_view) {
  const std::pair<int, const char*> edits[] = {{IDC_MON_IDLE, kIdleKey}, {IDC_MON_HIGH, kHighKey}};
  for (const auto& [edit, key] : edits) {
    const ParameterDescriptor* d = app_.table.Find(key);
    if (!d) continue;
    std::string text = view_->GetText(edit);
    StageField(*d, text, 2, app_.equipment, app_.changes);
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

void MonitorPanel::StopStream(uint32_t gap_ms) {
  StopLiveStream(app_.port, clock(), model(), gap_ms);
}

void MonitorPanel::StartStream() {
  if (!leaving_) StartLiveStream(app_.port, model());
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
  writing_ = true;
  v.KillTimer(kPollTimer);
  StopStream(10);
  ExchangeEnv env = app_.Exchange();
  env.progress = [&v](const std::string& status) { v.SetBusy(status); };
  // The monitor's pacing: a pause, the two defaults staged against the
  // equipment store and sent, a pause, and the re-read (every register
  // from the controller, or the panel's keys from the model's section of
  // the parameter file) shown in the two edits.
  Exchange exchange(env, MonitorPacing(model()), *this);
  WriteOutcome outcome = exchange.SendPendingWrites("FULL");
  v.SetBusy("");
  writing_ = false;
  if (outcome == WriteOutcome::kReadFailed) {
    v.MessageBox(kReadErrorText, "", kMbOk);
    leaving_ = true;
    v.EndScreen(kScreenLinkFailure);
    return;
  }
  StartStream();
  v.SetTimer(kPollTimer, kPollMs);
}

void MonitorPanel::OnFocus(View& view, int id) {
  view_ = &view;
  if (id == IDC_MON_IDLE) app_.current_key = kIdleKey;
  else if (id == IDC_MON_HIGH) app_.current_key = kHighKey;
}

// ---- polling ------------------------------------------------------------------

void MonitorPanel::OnTimer(View& view, int id) {
  view_ = &view;
  if (id == kPollTimer) Tick();
}

void MonitorPanel::Tick() {
  // A tick that starts while another draws (the drawing lets messages
  // through), or while a write or a calibration runs, has nothing to add.
  if (in_tick_ || writing_ || calibrating_ || leaving_) return;
  in_tick_ = true;

  unsigned long length = 0;
  bool answer = false;
  if (app_.port.ReadPort(read_buffer_.data(), kReadSize, &length) == 0) {
    if (length > kReadSize) length = kReadSize;
    if (length)
      ParseLiveAnswer(std::string_view(reinterpret_cast<const char*>(read_buffer_.data()), length),
                      app_.live);
    answer = Redraw();
  }
  if (answer) {
    misses_ = 0;
    no_answer_ = false;
    EnableButtons(true);
    DrawScale();
    Record();
  } else {
    no_answer_ = true;
    if (misses_ <= 10) {
      ++misses_;
      Redraw();
    } else {
      // The twelfth miss in a row: the values go to zero, the scales hide
      // and the stream is asked for again.
      for (const char* key : {"11", "23", "24", "28", "29"}) StoreAdd(app_.live, key, "0");
      EnableButtons(true);
      Redraw();
      DrawStepDisplay(0);
      StartStream();
      misses_ = 0;
      DrawScale();
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
  if (!Live(kIdleKey) || !Live(kHighKey)) return false;
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
  double speed = 0;
  auto b28 = Live("28"), b29 = Live("29");
  if (!b28 || !b29) return false;
  if (model() == kModelVela) {
    auto b2a = Live("2A"), coils = Live("2B"), cylinders = Live("2C");
    if (!b2a || !coils || !cylinders) return false;
    const double period = *b28 + 256.0 * *b29 + 65536.0 * *b2a;
    // No period (nothing measured, or the values zeroed after the
    // controller fell silent) or no cylinders: the engine stands.
    if (period > 0 && *cylinders > 0)
      speed = static_cast<double>(static_cast<long long>(*coils * 120000000.0 /
                                                         (period * *cylinders + 1e-17)));
  } else {
    speed = *b28 + 256.0 * *b29;
  }
  std::string text = speed < 10000 ? std::to_string(static_cast<int>(speed)) : "99999";
  double arc_speed = speed;
  if (text.size() > 4) {
    text = previous_speed_;
    arc_speed = std::atoi(SpeedDigits::Positions(text).c_str());
  }
  if (speed == 0 && steps == 0) {
    tps_readout_.ShowVolts(v, "0.00");
    lambda_readout_.ShowVolts(v, "0.00");
  }
  digits_.Show(v, text);
  arc_.Show(v, arc_speed);
  shown_rpm_ = static_cast<int>(arc_speed);
  previous_speed_ = text;
  return true;
}

void MonitorPanel::DrawScale() {
  if (!Live(kIdleKey) || !Live(kHighKey)) return;
  auto v83 = Live("83");
  scale_.Show(*view_, ScaleFor(no_answer_, v83.has_value(), v83.value_or(0)));
}

// ---- leaving ------------------------------------------------------------------

void MonitorPanel::OnNext(View& view) { view_ = &view; }

bool MonitorPanel::AskToLeave(const char* text) {
  return view_->MessageBox(text, kLeaveCaption, kMbYesNo | kMbIconQuestion) == kIdYes;
}

void MonitorPanel::Leave(int result) {
  leaving_ = true;
  view_->KillTimer(kPollTimer);
  StopStream(10);
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
  leaving_ = true;
  view.KillTimer(kPollTimer);
  view.EndScreen(kScreenExit);
}

void MonitorPanel::OnDestroy(View& view) {
  view_ = &view;
  view.KillTimer(kPollTimer);
  StopRecording(false);
  leaving_ = true;
  StopStream(10);
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
  }
}

// ---- recording ----------------------------------------------------------------

void MonitorPanel::StartRecording() {
  View& v = *view_;
  if (recorder_ && recorder_->active()) return;
  recorder_ = std::make_unique<Recorder>(env_.record_file());
  if (!recorder_->Start(env_.recording_folder(), env_.local_time(), clock().Now())) {
    v.MessageBox(recorder_->error(), kRecordCaption, kMbOk | kMbIconExclamation);
    return;
  }
  v.Show(IDC_MON_RECORD, false);
  v.Show(IDC_MON_RECORD_STOP, true);
  v.SetText(IDC_MON_RECORD_FILE, "Gravando em " + recorder_->path());
  v.Show(IDC_MON_RECORD_FILE, true);
}

void MonitorPanel::StopRecording(bool failed) {
  if (!recorder_) return;
  const bool was_active = recorder_->active();
  const bool ok = recorder_->Stop() && !failed;
  if (view_) {
    View& v = *view_;
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

}  // namespace kova
