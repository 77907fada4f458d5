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

struct PacingProfile {
  const char* name;
  // Screen-level reads.
  uint32_t before_read;        // before the first of up to three transactions
  uint32_t after_read_frame;   // W1: after the read frame, before reading
  uint32_t after_failed_read;  // W2: after each failed read, the last too
  int reads_per_transaction;   // serial reads before a transaction fails
  uint32_t readback_after_frame;  // W1 of the read-back that ends a write
  // Writes.
  uint32_t before_stage;       // before the fields are staged
  bool staging_order;          // true: first staged first; false: last first
  uint32_t before_write;       // before each write frame
  uint32_t after_write;        // after the write frame, before the read
  uint32_t after_write_read;   // after that read
  bool confirm_only_if_read;   // skip the confirmations when nothing came back
  uint32_t after_confirm;      // after each of the three confirmation frames
  uint32_t after_entry;        // after each entry
  bool after_entry_between_only;  // that pause only between entries
  bool writes_in_file_mode;    // writes go out even with the file as source
  ReadBack read_back;
  DumpAfterRead dump;
  uint32_t stream_stop_gap;    // between the three stop-stream frames
  uint32_t sample_wait;        // after each request of the opening sample
  uint32_t sample_stop_gap;    // between its stop-stream frames
};

const PacingProfile& Profile(Pacing pacing);
// The families whose pacing depends on the model.
Pacing AuxPacing(int model);
Pacing MonitorPacing(int model);

}  // namespace kova
