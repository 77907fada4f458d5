// The actuator calibration of the monitor panel (the CALIBRAR button): the
// calibrate command and its confirmations, then the live stream watched for
// the controller's report (key 72) for up to 70 s on the three-byte models,
// or a fixed 3 s on VELA; then the parameters are read again and the panel
// polls as before. The panel keeps painting and taking input meanwhile;
// only leaving (Esc, Ctrl+Left, closing) does something, after a question.
#include <cstdio>

#include "controller/answer_parser.h"
#include "controller/store_access.h"
#include "monitor/monitor_panel.h"
#include "resources/control_ids.h"
#include "resources/monitor_ids.h"
#include "serial/serial_port.h"

namespace kova {
namespace {

constexpr uint32_t kStep = 180;       // after the calibrate and confirm frames
constexpr uint32_t kLoopWait = 50;    // after each read of the report loop
constexpr uint32_t kVelaWait = 3000;  // VELA sends no report

}  // namespace

bool MonitorPanel::WaitCalibrating(uint32_t ms) {
  if (leaving_) return false;
  calibration_clock().Sleep(ms);
  return !leaving_;
}

void MonitorPanel::ShowCalibrationStatus(uint32_t elapsed_ms, uint32_t total_ms) {
  const uint32_t second = elapsed_ms / 1000;
  if (second == status_second_ && elapsed_ms != 0) return;
  status_second_ = second;
  char text[64];
  std::snprintf(text, sizeof text, "Calibrando… %u s de %u", second, total_ms / 1000);
  view_->SetText(IDC_MON_CAL_STATUS, text);
  view_->Show(IDC_MON_CAL_STATUS, true);
}

void MonitorPanel::Calibrate() {
  if (calibrating_ || writing_ || leaving_) return;
  View& v = *view_;
  // The flag covers the whole handler: a leave request in its first waits
  // already gets the question.
  calibrating_ = true;
  EnableButtons(false);
  v.KillTimer(kPollTimer);
  StopLiveStream(app_.port, calibration_clock(), model(), 10);
  if (WaitCalibrating(800)) CalibrationProcedure();
  calibrating_ = false;
  // Leaving stopped the stream and ended the panel: nothing more is sent.
  if (leaving_) return;
  EnableButtons(true);
  StartStream();
}

void MonitorPanel::CalibrationProcedure() {
  View& v = *view_;
  SerialPort& port = app_.port;
  v.Show(IDC_MON_PROGRESS, true);
  v.PumpMessages();
  if (leaving_) return;
  v.KillTimer(kPollTimer);
  status_second_ = 0;
  ShowCalibrationStatus(0, model() == kModelVela ? kVelaWait : kCalibrationLimitMs);
  Record("início da calibração");

  StartCalibration(port, model());
  if (!WaitCalibrating(kStep)) return;
  ReadAnswer(port);  // what the calibrate command answers is not examined
  for (int i = 0; i < 3; ++i) {
    SendFrame(port, ConfirmFrame(model()));
    if (!WaitCalibrating(kStep)) return;
  }
  const uint32_t start = calibration_clock().Now();
  if (!WaitCalibrating(kStep)) return;
  StartLiveStream(port, model());

  if (model() == kModelVela) {
    // No report comes: after three seconds it counts as done.
    for (uint32_t waited = 0; waited < kVelaWait; waited += 1000) {
      ShowCalibrationStatus(waited, kVelaWait);
      if (!WaitCalibrating(1000)) return;
    }
    return CalibrationEnd();
  }
  if (CalibrationLoop(start)) return CalibrationEnd();
  if (!leaving_) CalibrationTimeout();
}

bool MonitorPanel::CalibrationLoop(uint32_t start) {
  View& v = *view_;
  for (;;) {
    if (leaving_) return false;
    const uint32_t elapsed = calibration_clock().Now() - start;
    if (elapsed > kCalibrationLimitMs) return false;
    ShowCalibrationStatus(elapsed, kCalibrationLimitMs);

    unsigned long length = 0;
    const bool read = app_.port.ReadPort(read_buffer_.data(), kReadSize, &length) == 0;
    if (length > kReadSize) length = kReadSize;
    if (!WaitCalibrating(kLoopWait)) return false;
    bool done = false;
    if (read && length) {
      // Every group that reached C0 counts for the report, whether or not
      // its check byte matched; only matching ones are kept.
      std::string text(reinterpret_cast<const char*>(read_buffer_.data()), length);
      ParseLiveGroups(text, [&](std::string_view key, std::string_view value, bool matches) {
        if (matches) StoreAdd(app_.live, key, value);
        if (ParseHex(key) != 0x72u) return;
        done = true;
        auto outcome = ParseHex(value);
        if (outcome == 2u) {
          Record("erro no processo de calibração");
          v.MessageBox(kCalibrationErrorText, kCalibrationCaption, kMbOk | kMbIconExclamation);
        } else {
          Record(outcome == 1u ? "calibração concluída" : "relatório de calibração " +
                                                               std::string(value));
        }
      });
    }
    if (Redraw()) Record();
    if (done) return true;
  }
}

void MonitorPanel::RereadAfterCalibration() {
  // One attempt; with "Arquivo" chosen the panel's keys come from the
  // model's section of the parameter file into the file store, so the
  // equipment store keeps only what the controller said.
  if (app_.source == kSourceFile) {
    for (const char* key : {"3D", "3E", "41", "42", "45", "46"})
      StoreReadFileKey(app_.file_store, app_.current_path, model(), key);
    ShowStore(app_.file_store);
    return;
  }
  ReadAllParameters(app_.equipment, 500);
  ShowStore(app_.equipment);
}

void MonitorPanel::CalibrationEnd() {
  View& v = *view_;
  StopLiveStream(app_.port, calibration_clock(), model(), 50);
  if (!WaitCalibrating(1000)) return;
  RereadAfterCalibration();
  if (leaving_) return;
  calibrating_ = false;
  v.SetTimer(kPollTimer, kPollMs);
  StartStream();
  v.Show(IDC_MON_PROGRESS, false);
  v.Show(IDC_MON_CAL_STATUS, false);
  v.PumpMessages();
}

void MonitorPanel::CalibrationTimeout() {
  View& v = *view_;
  StopLiveStream(app_.port, calibration_clock(), model(), 20);
  Record("tempo esgotado");
  v.MessageBox(kCalibrationTimeoutText, kCalibrationTimeoutCaption, kMbOk | kMbIconStop);
  if (!WaitCalibrating(200)) return;
  RereadAfterCalibration();
  if (leaving_) return;
  calibrating_ = false;
  StartStream();
  v.SetTimer(kPollTimer, kPollMs);
  v.Show(IDC_MON_PROGRESS, false);
  v.Show(IDC_MON_CAL_STATUS, false);
}

}  // namespace kova
