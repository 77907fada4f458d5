// The one clock every wait and time reading goes through. The product uses
// SystemClock (real sleeps); tests use VirtualClock, which advances virtual
// time and records every wait so a whole exchange can be asserted at once.
#pragma once
#include <cstdint>
#include <vector>

namespace kova {

class Clock {
 public:
  virtual ~Clock() = default;
  // Blocks the caller for ms milliseconds (virtual time in tests).
  virtual void Sleep(uint32_t ms) = 0;
  // Milliseconds since an arbitrary start; wraps like the system tick count.
  virtual uint32_t Now() = 0;
};

class SystemClock final : public Clock {
 public:
  void Sleep(uint32_t ms) override;
  uint32_t Now() override;
};

class VirtualClock final : public Clock {
 public:
  void Sleep(uint32_t ms) override {
    waits_.push_back(ms);
    now_ += ms;
  }
  uint32_t Now() override { return now_; }
  // Moves time on without recording a wait (something else took time).
  void Advance(uint32_t ms) { now_ += ms; }
  const std::vector<uint32_t>& Waits() const { return waits_; }
  uint64_t TotalWaited() const {
    uint64_t t = 0;
    for (uint32_t w : waits_) t += w;
    return t;
  }
  void ClearWaits() { waits_.clear(); }

 private:
  uint32_t now_ = 0;
  std::vector<uint32_t> waits_;
};

// The process-wide clock of the product (a SystemClock unless replaced).
Clock& ProcessClock();
void SetProcessClock(Clock* clock);

}  // namespace kova
