#include "controller/pacing.h"

#include "controller/frames.h"

namespace kova {
namespace {

// Each family names what differs from PacingProfile's defaults (the
// vehicle, actuator and lambda screens' 400 ms steps). Milliseconds.
const PacingProfile kProfiles[] = {
    {.name = "aux VELA", .after_read_frame = 500, .readback_after_frame = 500,
     .after_write_read = 0, .confirm_only_if_read = false, .after_entry = 500,
     .dump = DumpAfterRead::kVelaOnly},
    {.name = "aux BRIO", .after_failed_read = 100, .after_write = 100, .after_write_read = 100,
     .after_confirm = 100, .after_entry = 500},
    {.name = "vehicle BRIO", .staging_order = true, .read_back = ReadBack::kAlwaysFull},
    {.name = "vehicle BRIO 1", .after_write_read = 0},
    {.name = "vehicle VELA", .before_write = 1600, .after_confirm = 800, .after_entry = 600},
    {.name = "actuator", .after_entry = 500, .after_entry_between_only = true,
     .read_back = ReadBack::kAlwaysFull, .dump = DumpAfterRead::kVelaOnly},
    {.name = "lambda", .sample_wait = 300, .sample_stop_gap = 5, .live_period = 200,
     .live_settle = 100, .live_restart = 250, .probe_change_stop = 800,
     .probe_change_settle = 500},
    {.name = "monitor VELA", .readback_after_frame = 500, .before_stage = 500,
     .after_write_read = 0, .confirm_only_if_read = false, .after_entry = 500,
     .writes_in_file_mode = true, .read_back = ReadBack::kAlwaysFull,
     .dump = DumpAfterRead::kVelaOnly, .live_period = 100},
    {.name = "monitor BRIO", .readback_after_frame = 500, .before_stage = 500,
     .after_write = 100, .after_write_read = 100, .after_confirm = 100, .after_entry = 500,
     .writes_in_file_mode = true, .read_back = ReadBack::kAlwaysFull,
     .dump = DumpAfterRead::kVelaOnly, .live_period = 100},
    {.name = "customer", .before_read = 0, .after_failed_read = 0, .reads_per_transaction = 1,
     .after_write = 0, .after_write_read = 0, .after_confirm = 0,
     .read_back = ReadBack::kAlwaysFull, .dump = DumpAfterRead::kByModel, .end_of_cycle = 1000},
    // Three reads 400 ms apart, nothing after the last; never dumped.
    {.name = "monitor read", .wait_after_last_read = false},
};
const CalibrationPacing kCalibration;
static_assert(sizeof kProfiles / sizeof kProfiles[0] == static_cast<int>(Pacing::kCount));

}  // namespace

const PacingProfile& Profile(Pacing pacing) { return kProfiles[static_cast<int>(pacing)]; }
const CalibrationPacing& Calibration() { return kCalibration; }

Pacing AuxPacing(int model) { return model == kModelVela ? Pacing::kAuxVela : Pacing::kAuxBrio; }
Pacing MonitorPacing(int model) {
  return model == kModelVela ? Pacing::kMonitorVela : Pacing::kMonitorBrio;
}

}  // namespace kova
