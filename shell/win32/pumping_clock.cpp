#include "shell/win32/pumping_clock.h"

#include "shell/win32/screen_window.h"

namespace kova {

void PumpingClock::Sleep(uint32_t ms) {
  const ULONGLONG deadline = GetTickCount64() + ms;
  bool pumping = true;
  for (;;) {
    // After WM_QUIT the rest of the wait is a plain sleep: the loop that
    // ends the program sees the message again.
    if (pumping) pumping = PumpPendingMessages(input_);
    const ULONGLONG now = GetTickCount64();
    if (now >= deadline) return;
    const DWORD left = static_cast<DWORD>(deadline - now);
    if (!pumping) {
      ::Sleep(left);
      return;
    }
    // Input left in the queue must not end the wait at once.
    if (input_)
      MsgWaitForMultipleObjectsEx(0, nullptr, left, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    else
      MsgWaitForMultipleObjectsEx(0, nullptr, left, QS_PAINT | QS_POSTMESSAGE | QS_SENDMESSAGE, 0);
  }
}

uint32_t PumpingClock::Now() { return static_cast<uint32_t>(GetTickCount64()); }

}  // namespace kova
