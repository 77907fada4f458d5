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
};

const PacingProfile& Profile(Pacing pacing);
// The families whose pacing depends on the model.
Pacing AuxPacing(int model);
Pacing MonitorPacing(int model);

}  // namespace kova
