// The clock of the monitor's calibration on Windows: while it waits the
// panel paints and takes input (the questions about leaving can be asked),
// unlike the application's clock, which drops input during a transaction.
#pragma once
#include "common/clock.h"

namespace kova {

class InputPumpingClock final : public Clock {
 public:
  void Sleep(uint32_t ms) override;
  uint32_t Now() override;
};

}  // namespace kova
