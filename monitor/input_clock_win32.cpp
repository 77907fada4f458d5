#include "monitor/input_clock_win32.h"

#include "shell/screen_window_win32.h"

namespace kova {

void InputPumpingClock::Sleep(uint32_t ms) {
  const ULONGLONG deadline = GetTickCount64() + ms;
  bool pumping = true;
  for (;;) {
    // After WM_QUIT the rest is a plain sleep; the screen loop sees it again.
    if (pumping) pumping = PumpPendingMessages(true);
    const ULONGLONG now = GetTickCount64();
    if (now >= deadline) return;
    const DWORD left = static_cast<DWORD>(deadline - now);
    if (!pumping) {
      ::Sleep(left);
      return;
    }
    MsgWaitForMultipleObjectsEx(0, nullptr, left, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
  }
}

uint32_t InputPumpingClock::Now() { return static_cast<uint32_t>(GetTickCount64()); }

}  // namespace kova
