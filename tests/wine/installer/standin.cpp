// Stands in for KOVA.exe in the installer's end-to-end test while the
// application is not built: a window program with a version resource.
#include <windows.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  MessageBoxW(nullptr, L"KOVA", L"KOVA", MB_OK);
  return 0;
}
