// CKX4COMM's system calls on Windows: the communications API.
#include <string>

#include "common/cp1252.h"
#include "serial/ckx4comm_os.h"
#include "serial/port_probe.h"

namespace kova::comm {

Handle OpenDevice(const char* name) {
  const std::wstring wide = Utf8ToWide(PortDevicePath(name ? name : ""));
  HANDLE h = CreateFileW(wide.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                         0, nullptr);
  return h == INVALID_HANDLE_VALUE ? kNoHandle : h;
}

bool CloseDevice(Handle h) { return CloseHandle(h) != 0; }

void SetupQueues(Handle h, uint32_t input, uint32_t output) { SetupComm(h, input, output); }

bool GetState(Handle h, Dcb* dcb) {
  dcb->DCBlength = sizeof(DCB);
  return GetCommState(h, dcb) != 0;
}

bool SetState(Handle h, const Dcb* dcb) { return SetCommState(h, const_cast<Dcb*>(dcb)) != 0; }

bool GetTimeouts(Handle h, Timeouts* t) { return GetCommTimeouts(h, t) != 0; }

bool SetTimeouts(Handle h, const Timeouts* t) {
  return SetCommTimeouts(h, const_cast<Timeouts*>(t)) != 0;
}

bool ReadBytes(Handle h, void* buffer, uint32_t count, uint32_t* got) {
  DWORD n = 0;
  const BOOL ok = ReadFile(h, buffer, count, &n, nullptr);
  *got = n;
  return ok != 0;
}

bool WriteBytes(Handle h, const void* buffer, uint32_t count, uint32_t* written) {
  DWORD n = 0;
  const BOOL ok = WriteFile(h, buffer, count, &n, nullptr);
  *written = n;
  return ok != 0;
}

uint32_t LastError() { return GetLastError(); }

bool OverlappedResult(Handle h, Overlapped* ov, uint32_t* transferred) {
  DWORD n = 0;
  const BOOL ok = GetOverlappedResult(h, ov, &n, TRUE);
  *transferred = n;
  return ok != 0;
}

bool ClearErrors(Handle h, uint32_t* errors) {
  DWORD e = 0;
  COMSTAT stat{};
  const BOOL ok = ClearCommError(h, &e, &stat);
  *errors = e;
  return ok != 0;
}

bool SetEventMask(Handle h, uint32_t mask) { return SetCommMask(h, mask) != 0; }

bool WaitForEvent(Handle h, uint32_t* mask) {
  DWORD m = 0;
  const BOOL ok = WaitCommEvent(h, &m, nullptr);
  *mask = m;
  return ok != 0;
}

EventHandle CreateWatchEvent() { return CreateEventW(nullptr, TRUE, FALSE, nullptr); }

void CloseWatchEvent(EventHandle e) {
  if (e) CloseHandle(e);
}

bool GetConfig(Handle h, Config* config) {
  DWORD size = config->dwSize;
  return GetCommConfig(h, config, &size) != 0;
}

void ConfigDialog(const char* name, Config* config) {
  const std::wstring wide = Utf8ToWide(name ? name : "");
  CommConfigDialogW(wide.c_str(), nullptr, config);
}

bool SetConfig(Handle h, const Config* config) {
  return SetCommConfig(h, const_cast<Config*>(config), config->dwSize) != 0;
}

void ShowMessage(const char* text, const char* caption, MessageIcon icon) {
  const std::wstring t = Utf8ToWide(text), c = Utf8ToWide(caption);
  MessageBoxW(nullptr, t.c_str(), c.c_str(),
              MB_OK | (icon == MessageIcon::kExclamation ? MB_ICONEXCLAMATION : 0));
}

}  // namespace kova::comm
