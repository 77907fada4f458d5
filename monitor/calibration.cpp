// The actuator calibration of the monitor panel (the CALIBRAR button): the
// calibrate command and its confirmations, then the live stream watched for
// the controller's report (key 72) for up to 70 s on the three-byte models,
// or a fixed 3 s on VELA; then the parameters are read again and the panel
// polls as before. The panel keeps painting and taking input meanwhile;
// only leaving (Esc, Ctrl+Left, closing) does something, after a question.
#include <algorithm>
#include <cstdio>

#include "common/texts.h"
#include "controller/answer_parser.h"
#include "controller/store_access.h"
#include "monitor/monitor_panel.h"
#include "resources/control_ids.h"
#include "resources/monitor_ids.h"
#include "serial/serial_port.h"

namespace kova {

bool MonitorPanel::WaitCalibrating(uint32_t ms) {
  if (leaving_) return false;
  calibration_clock().Sleep(ms);
  return !leaving_;
}

void MonitorPanel::ShowCalibrationStatus(uint32_t elapsed_ms, uint32_t total_ms) {
  const uint32_t second = elapsed_ms / 1000;
  if (second == status_second_ && elapsed_ms != 0) return;
  status_second_ = second;
  view_->SetText(IDC_MON_CAL_STATUS, TrFormat("Calibrando… {0} s de {1}",
                                              {std::to_string(second), std::to_string(total_ms / 1000)}));
  view_->Show(IDC_MON_CAL_STATUS, true);
}

void MonitorPanel::Calibrate() {
  if (calibrating_ || writing_ || leaving_) return;
  // The flag covers the whole handler: a leave request in its first waits
  // already gets the question.
  calibrating_ = true;
  EnableButtons(false);
  feed_.StopTicks();
  StopLiveStream(app_.port, calibration_clock(), model(), Profile(MonitorPacing(model())).stream_stop_gap);
  if (WaitCalibrating(Calibration().before)) CalibrationProcedure();
  calibrating_ = false;
  // Leaving stopped the stream and ended the panel: nothing more is sent.
  if (leaving_) return;
  EnableButtons(true);
  StartStream();
}

void MonitorPanel::CalibrationProcedure() {
  View& v = *view_;
  SerialPort& port = app_.port;
  const CalibrationPacing& pacing = Calibration();
  v.Show(IDC_MON_PROGRESS, true);
  v.PumpMessages();
  if (leaving_) return;
  feed_.StopTicks();
  status_second_ = 0;
  ShowCalibrationStatus(0, model() == kModelVela ? pacing.vela_wait : pacing.limit);
  Record(Tr(kCalibrationStartEvent));
  ChartMarked(MarkKind::kCalibrationStart);

  StartCalibration(port, model());
  if (!WaitCalibrating(pacing.step)) return;
  ReadAnswer(port);  // what the calibrate command answers is not examined
  for (int i = 0; i < 3; ++i) {
    SendFrame(port, ConfirmFrame(model()));
    if (!WaitCalibrating(pacing.step)) return;
  }
  const uint32_t start = calibration_clock().Now();
  if (!WaitCalibrating(pacing.step)) return;
  feed_.StartStream();

  if (model() == kModelVela) {
    // No report comes: after a while it counts as done; the status line
    // counts the seconds meanwhile.
    for (uint32_t waited = 0; waited < pacing.vela_wait; waited += 1000) {
      ShowCalibrationStatus(waited, pacing.vela_wait);
      ChartSampled(false);  // nothing is read meanwhile: the chart moves on with a gap
      if (!WaitCalibrating(std::min<uint32_t>(1000, pacing.vela_wait - waited))) return;
    }
    return CalibrationEnd();
  }
  if (CalibrationLoop(start)) return CalibrationEnd();
  if (!leaving_) CalibrationTimeout();
}

bool MonitorPanel::CalibrationLoop(uint32_t start) {
  const CalibrationPacing& pacing = Calibration();
  for (;;) {
    if (leaving_) return false;
    const uint32_t elapsed = calibration_clock().Now() - start;
    if (elapsed > pacing.limit) return false;
    ShowCalibrationStatus(elapsed, pacing.limit);

    const std::optional<std::string> text = ReadPortText(app_.port);
    if (!WaitCalibrating(pacing.report_poll)) return false;
    bool done = false;
    const bool answered = text && !text->empty();
    if (answered) {
      // Every group that reached C0 counts for the report, whether or not
      // its check byte matched; only matching ones are kept.
      ParseLiveGroups(*text, [&](std::string_view key, std::string_view value, bool matches) {
        if (matches) StoreAdd(app_.live, key, value);
        if (ParseHex(key) != 0x72u) return;
        done = true;
        auto outcome = ParseHex(value);
        if (outcome == 2u) {
          Record(Tr("erro no processo de calibração"));
          view_->MessageBox(kCalibrationErrorText, kCalibrationCaption, kMbOk | kMbIconExclamation);
        } else {
          Record(outcome == 1u ? Tr("calibração concluída")
                               : TrFormat("relatório de calibração {0}", {value}));
        }
      });
    }
    // Only what the controller said is recorded: a silent wait adds no
    // lines.
    const bool drawn = Redraw() && answered;
    if (drawn) Record();
    // Reads come twice as often as the stream's groups, so a read that
    // found nothing is no silence; the chart leaves a gap where nothing
    // came for longer than its joins reach.
    if (answered) ChartSampled(drawn);
    if (done) return true;
  }
}

void MonitorPanel::RereadAfterCalibration() {
  // One attempt; with "Arquivo" chosen the panel's keys come from the
  // model's section of the parameter file into the file store, so the
  // equipment store keeps only what the controller said.
  if (app_.source == kSourceFile) {
    for (const std::string& key : FileKeywords())
      StoreReadFileKey(app_.file_store, app_.current_path, model(), key);
    ShowStore(app_.file_store);
    return;
  }
  ReadAllParameters(app_.equipment, Calibration().reread_wait);
  ShowStore(app_.equipment);
}

void MonitorPanel::CalibrationEnd() {
  View& v = *view_;
  ChartMarked(MarkKind::kCalibrationEnd);
  // VELA reports nothing: its end is the recording's only sign of it.
  if (model() == kModelVela) Record(Tr(kCalibrationEndEvent));
  StopLiveStream(app_.port, calibration_clock(), model(), Calibration().end_stop_gap);
  if (!WaitCalibrating(Calibration().end_settle)) return;
  RereadAfterCalibration();
  if (leaving_) return;
  calibrating_ = false;
  feed_.StartTicks();
  StartStream();
  v.Show(IDC_MON_PROGRESS, false);
  v.Show(IDC_MON_CAL_STATUS, false);
  v.PumpMessages();
}

void MonitorPanel::CalibrationTimeout() {
  View& v = *view_;
  StopLiveStream(app_.port, calibration_clock(), model(), Calibration().timeout_stop_gap);
  Record(Tr("tempo esgotado"));
  ChartMarked(MarkKind::kCalibrationEnd);
  v.MessageBox(kCalibrationTimeoutText, kCalibrationTimeoutCaption, kMbOk | kMbIconStop);
  if (!WaitCalibrating(Calibration().timeout_settle)) return;
  RereadAfterCalibration();
  if (leaving_) return;
  calibrating_ = false;
  StartStream();
  feed_.StartTicks();
  v.Show(IDC_MON_PROGRESS, false);
  v.Show(IDC_MON_CAL_STATUS, false);
}

}  // namespace kova
