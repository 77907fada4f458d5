// Finding a program's windows from a Windows-side test: the visible
// top-level windows of one process, polled until one matches or time runs
// out.
#pragma once
#include <windows.h>

#include <functional>
#include <string>

namespace kova::wine_test {

inline bool HasClass(HWND hwnd, const wchar_t* name) {
  wchar_t cls[64] = {};
  GetClassNameW(hwnd, cls, 64);
  return lstrcmpW(cls, name) == 0;
}

// The first visible top-level window of process pid that `match` accepts,
// or null after timeout_ms.
inline HWND WaitForWindow(DWORD pid, const std::function<bool(HWND)>& match,
                          int timeout_ms = 20000) {
  struct Search {
    DWORD pid;
    const std::function<bool(HWND)>* match;
    HWND found;
  };
  auto proc = [](HWND hwnd, LPARAM lp) -> BOOL {
    auto* s = reinterpret_cast<Search*>(lp);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid != s->pid || !IsWindowVisible(hwnd) || !(*s->match)(hwnd)) return TRUE;
    s->found = hwnd;
    return FALSE;
  };
  for (int t = 0;; t += 100) {
    Search s{pid, &match, nullptr};
    EnumWindows(proc, reinterpret_cast<LPARAM>(&s));
    if (s.found || t >= timeout_ms) return s.found;
    Sleep(100);
  }
}

}  // namespace kova::wine_test
