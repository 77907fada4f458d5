#include <windows.h>

#include "common/cp1252.h"
#include "store/store_error.h"

namespace kova {

void ShowStoreErrorBox(const char* text) {
  ::MessageBoxW(::GetDesktopWindow(), Cp1252ToWide(text).c_str(), L"CKX4DATA ERROR",
                MB_OK | MB_ICONSTOP | MB_SYSTEMMODAL);
}

void EndCurrentThread() {
  ::ExitThread(0xFFFFFFFF);
}

}  // namespace kova
