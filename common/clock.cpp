#include "common/clock.h"

#include <chrono>
#include <thread>

namespace kova {

void SystemClock::Sleep(uint32_t ms) {
  std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

uint32_t SystemClock::Now() {
  using namespace std::chrono;
  return static_cast<uint32_t>(
      duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

namespace {
SystemClock g_system_clock;
Clock* g_clock = &g_system_clock;
}  // namespace

Clock& ProcessClock() { return *g_clock; }
void SetProcessClock(Clock* clock) { g_clock = clock ? clock : &g_system_clock; }

}  // namespace kova
