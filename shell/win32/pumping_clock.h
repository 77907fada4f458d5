// The product's clock on Windows: a wait keeps the window alive. While a
// transaction waits between frames the thread paints and runs its other
// messages, but nothing the user does runs inside the wait: input stays
// queued for afterwards, or is refused while the screen shows its busy
// status (PumpPendingMessages), and timer ticks are skipped, so no live
// poll runs inside it. The frames and pauses are the same as with a plain
// sleep. The monitor's calibration waits with a clock that takes input,
// so that the questions about leaving can be asked meanwhile.
#pragma once
#include "common/clock.h"

namespace kova {

class PumpingClock final : public Clock {
 public:
  enum Input { kHoldsInput, kTakesInput };
  explicit PumpingClock(Input input = kHoldsInput) : input_(input == kTakesInput) {}
  void Sleep(uint32_t ms) override;
  uint32_t Now() override;

 private:
  bool input_;
};

}  // namespace kova
