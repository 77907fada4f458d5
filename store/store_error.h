// What a fatal keyword-store error does on this platform
// (store_error_win32.cpp, store_error_posix.cpp).
#pragma once

namespace kova {

// The system-modal stop box captioned "CKX4DATA ERROR".
void ShowStoreErrorBox(const char* text);
// Ends the calling thread with exit code 0xFFFFFFFF; does not return.
[[noreturn]] void EndCurrentThread();

}  // namespace kova
