// Stands in for KOVA.exe in the installer's end-to-end test while the
// application is not built: a window program with a version resource that
// holds KOVA's single-instance mark while it runs.
#include <windows.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  HANDLE mark = CreateMutexW(nullptr, TRUE, L"Kova_aplication");
  MessageBoxW(nullptr, L"KOVA", L"KOVA", MB_OK);
  if (mark) CloseHandle(mark);
  return 0;
}
