// How each screen family paces its controller transactions: the waits after
// read and write frames, the confirmation sequence, the order in which the
// change list goes out and what is read back. Every family's values live in
// one table (pacing.cpp); the exchange has one loop that follows them.
#pragma once
#include <cstdint>

namespace kova {

enum class Pacing {
  kAuxVela,          // auxiliary functions screen, VELA
  kAuxBrio,          // auxiliary functions screen, BRIO / VELA plus
  kVehicleBrioAll,   // BRIO vehicle and switch-over screen, write button
  kVehicleBrioOne,   // the same screen, Enter in one field
  kVehicleVela,      // vehicle screen, VELA / VELA plus
  kActuator,         // actuator screen
  kLambda,           // both lambda simulation screens
  kMonitorVela,      // monitor panel on VELA
  kMonitorBrio,      // monitor panel on BRIO / VELA plus
  kCustomer,         // customer-data screen: the work cycle's first read
  kMonitorRead,      // the monitor's full reads: on opening, after a calibration
  kCount
};

enum class ReadBack {
  kSelector,    // the selector itself; "FULL" for a compound selector
  kAlwaysFull,  // every register, whatever was written
};

enum class DumpAfterRead {
  kNever,
  kVelaOnly,  // the VELA dump file, and only for model VELA
  kByModel,   // the VELA or the BRIO dump file by model
};

// Every pause in milliseconds. A family's entry in pacing.cpp names the
// fields it sets; the rest keep these values.
struct PacingProfile {
  const char* name = "";
  // Screen-level reads.
  uint32_t before_read = 500;        // before the first of up to three transactions
  uint32_t after_read_frame = 400;   // W1: after the read frame, before reading
  uint32_t after_failed_read = 400;  // W2: after each failed read, the last too
  int reads_per_transaction = 3;     // serial reads before a transaction fails
  bool wait_after_last_read = true;  // W2 follows the last failed read too
  uint32_t readback_after_frame = 400;  // W1 of the read-back that ends a write
  // Writes.
  uint32_t before_stage = 0;         // before the fields are staged
  bool staging_order = false;        // true: first staged first; false: last first
  uint32_t before_write = 0;         // before each write frame
  uint32_t after_write = 400;        // after the write frame, before the read
  uint32_t after_write_read = 400;   // after that read
  bool confirm_only_if_read = true;  // skip the confirmations when nothing came back
  uint32_t after_confirm = 400;      // after each of the three confirmation frames
  uint32_t after_entry = 0;          // after each entry
  bool after_entry_between_only = false;  // that pause only between entries
  bool writes_in_file_mode = false;  // writes go out even with the file as source
  ReadBack read_back = ReadBack::kSelector;
  DumpAfterRead dump = DumpAfterRead::kNever;
  uint32_t stream_stop_gap = 10;     // between the three stop-stream frames
  uint32_t sample_wait = 0;          // after each request of the opening sample
  uint32_t sample_stop_gap = 0;      // between its stop-stream frames
  // The live display of the screen, its timer and its waits.
  uint32_t live_period = 0;          // between ticks (the timer's period)
  uint32_t live_settle = 0;          // in each tick, before reading
  uint32_t live_restart = 0;         // before the stream starts again after the monitor
  uint32_t probe_change_stop = 0;    // after the stream stopped for another probe mode
  uint32_t probe_change_settle = 0;  // then, before the new mode is laid out
  uint32_t end_of_cycle = 0;         // after the port closes at the end of a work cycle
};

// The calibration's waits (the monitor panel's CALIBRAR).
struct CalibrationPacing {
  uint32_t before = 800;          // after the stream stopped, before the procedure
  uint32_t step = 180;            // after the calibrate and each confirmation frame,
                                  // and before the stream starts
  uint32_t report_poll = 50;      // after each read while the report is awaited
  uint32_t limit = 70000;         // no report by then: the time-out (three-byte models)
  uint32_t vela_wait = 3000;      // VELA sends no report: it counts as done after this
  uint32_t end_stop_gap = 50;     // between the stop frames when it ends
  uint32_t end_settle = 1000;     // then, before the parameters are read again
  uint32_t timeout_stop_gap = 20;  // between the stop frames at the time-out
  uint32_t timeout_settle = 200;   // after the time-out message
  uint32_t reread_wait = 500;      // W1 of the read that follows
};

const PacingProfile& Profile(Pacing pacing);
const CalibrationPacing& Calibration();
// The families whose pacing depends on the model.
Pacing AuxPacing(int model);
Pacing MonitorPacing(int model);

}  // namespace kova
