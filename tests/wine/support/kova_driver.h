// Driving KOVA.exe from a Windows-side end-to-end test: start it in a work
// folder, find its screens and message boxes, click, type, read controls,
// take screenshots on request, and read kova-sim's frame log.
//
// Environment: KOVA_EXE (the program), KOVA_E2E_SIM_LOG (kova-sim's frame
// log), KOVA_E2E_WORK (working folder for KOVA.exe); all Unix paths. With
// KOVA_E2E_SHOTS set to a folder, Shot() stops at each screen, writes
// <name>.ready there and goes on when <name>.done appears, so a script can
// take screenshots.
#pragma once
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <initializer_list>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "common/cp1252.h"
#include "resources/control_ids.h"
#include "tests/wine/support/find_window.h"

namespace kova::wine_test {


inline std::string Env(const char* name) {
  const char* v = std::getenv(name);
  return v ? v : "";
}

// Wine shows the Unix root as drive Z:.
inline std::wstring WinePath(const std::string& unix_path) {
  std::wstring w = L"Z:" + Utf8ToWide(unix_path);
  for (wchar_t& c : w)
    if (c == L'/') c = L'\\';
  return w;
}

// Reads a whole file without holding it against the program: it may be
// replacing the file at that moment (a save writes a new file and renames
// it over the old one), which an open without delete sharing would refuse.
inline std::string ReadAll(const std::wstring& path) {
  HANDLE h = CreateFileW(path.c_str(), GENERIC_READ,
                         FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                         OPEN_EXISTING, 0, nullptr);
  if (h == INVALID_HANDLE_VALUE) return {};
  std::string text;
  char buf[4096];
  DWORD got = 0;
  while (ReadFile(h, buf, sizeof buf, &got, nullptr) && got > 0) text.append(buf, got);
  CloseHandle(h);
  return text;
}

// A screen shows before it reads the controller (its status line saying
// so): the screen once that is over, its status line gone for a moment.
inline HWND Settled(HWND screen, int timeout_ms = 40000) {
  if (!screen) return nullptr;
  int quiet = 0;
  for (int t = 0; t < timeout_ms && quiet < 300; t += 50) {
    HWND status = GetDlgItem(screen, IDC_STATUS);
    quiet = status && IsWindowVisible(status) ? 0 : quiet + 50;
    Sleep(50);
  }
  return screen;
}

// The visible top-level window of the process that holds the control, set
// up.
inline HWND WaitForScreen(DWORD pid, int control, int timeout_ms = 20000) {
  return Settled(WaitForWindow(
      pid, [control](HWND w) { return GetDlgItem(w, control) != nullptr; }, timeout_ms));
}

struct ChildText {
  std::wstring want;
  bool prefix;
  bool found;
};

inline BOOL CALLBACK FindChildText(HWND child, LPARAM lp) {
  auto* s = reinterpret_cast<ChildText*>(lp);
  std::wstring text(4096, L'\0');
  text.resize(static_cast<size_t>(GetWindowTextW(child, text.data(), 4096)));
  s->found = s->prefix ? text.rfind(s->want, 0) == 0 : s->want == text;
  return s->found ? FALSE : TRUE;
}

// A message box of the process showing exactly this text (or, with
// prefix, a text that starts with it).
inline HWND WaitForMessage(DWORD pid, const std::string& utf8, int timeout_ms = 20000,
                           bool prefix = false) {
  const std::wstring want = Utf8ToWide(utf8);
  return WaitForWindow(
      pid,
      [&want, prefix](HWND w) {
        if (!HasClass(w, L"#32770")) return false;
        ChildText s{want, prefix, false};
        EnumChildWindows(w, FindChildText, reinterpret_cast<LPARAM>(&s));
        return s.found;
      },
      timeout_ms);
}

inline void Click(HWND screen, int id) {
  PostMessageW(screen, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(screen, id)));
}

inline std::wstring ComboEntry(HWND screen, int id, int index) {
  HWND combo = GetDlgItem(screen, id);
  LRESULT n = SendMessageW(combo, CB_GETLBTEXTLEN, index, 0);
  if (n < 0) return L"";
  std::wstring text(static_cast<size_t>(n) + 1, L'\0');
  SendMessageW(combo, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(text.data()));
  text.resize(static_cast<size_t>(n));
  return text;
}

// Pauses for a screenshot when asked to.
inline void Shot(const char* name, DWORD settle_ms = 700) {
  std::string dir = Env("KOVA_E2E_SHOTS");
  if (dir.empty()) return;
  SetCursorPos(0, 0);  // no tooltip over the picture
  Sleep(settle_ms);    // let the window paint
  std::wstring base = WinePath(dir) + L"\\" + Utf8ToWide(name);
  // The ready file names the picture to take: the client area of the window
  // in front (or of the splash while it shows), as "width height left top"
  // in screen pixels.
  HWND front = FindWindowW(L"KovaSplash", nullptr);
  if (!front || !IsWindowVisible(front)) front = GetForegroundWindow();
  RECT r = {};
  GetClientRect(front, &r);
  MapWindowPoints(front, nullptr, reinterpret_cast<POINT*>(&r), 2);
  char place[64];
  int n = std::snprintf(place, sizeof place, "%ld %ld %ld %ld\n", r.right - r.left,
                        r.bottom - r.top, r.left, r.top);
  HANDLE h = CreateFileW((base + L".ready").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (h != INVALID_HANDLE_VALUE) {
    DWORD written = 0;
    WriteFile(h, place, static_cast<DWORD>(n), &written, nullptr);
    CloseHandle(h);
  }
  for (int t = 0; t < 30000 && GetFileAttributesW((base + L".done").c_str()) == INVALID_FILE_ATTRIBUTES; t += 100)
    Sleep(100);
}

// The frames kova-sim logged, as "09 00" texts.
inline std::vector<std::string> LoggedFrames() {
  std::vector<std::string> frames;
  std::istringstream in(ReadAll(WinePath(Env("KOVA_E2E_SIM_LOG"))));
  std::string line;
  while (std::getline(in, line)) {
    size_t space = line.find(' ');
    if (space != std::string::npos) frames.push_back(line.substr(space + 1));
  }
  return frames;
}

// What a user's click in a field tells the screen: it has the focus.
inline void Focus(HWND screen, int id, bool combo) {
  PostMessageW(screen, WM_COMMAND, MAKEWPARAM(id, combo ? CBN_SETFOCUS : EN_SETFOCUS),
               reinterpret_cast<LPARAM>(GetDlgItem(screen, id)));
}
// Enter in a data screen.
inline void Enter(HWND screen) {
  PostMessageW(screen, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
}
// Enter with the focus in a field (an edit box, or a list with combo).
inline void EnterIn(HWND screen, int id, bool combo = false) {
  Focus(screen, id, combo);
  Enter(screen);
}
// Types a text into an edit box (the box reports the change itself). A
// check that answers with a message box holds the box's reply: the test
// goes on after a moment and finds the message.
inline void Type(HWND screen, int id, const std::string& utf8) {
  DWORD_PTR result = 0;
  SendMessageTimeoutW(GetDlgItem(screen, id), WM_SETTEXT, 0,
                      reinterpret_cast<LPARAM>(Utf8ToWide(utf8).c_str()), SMTO_NORMAL, 1500,
                      &result);
}
// Chooses a list entry as the user does.
inline void Choose(HWND screen, int id, int index) {
  HWND combo = GetDlgItem(screen, id);
  SendMessageW(combo, CB_SETCURSEL, index, 0);
  PostMessageW(screen, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo));
}
inline int Selection(HWND screen, int id) {
  return static_cast<int>(SendDlgItemMessageW(screen, id, CB_GETCURSEL, 0, 0));
}
inline std::string Text(HWND screen, int id) {
  wchar_t buf[512] = {};
  GetDlgItemTextW(screen, id, buf, 512);
  return WideToUtf8(buf);
}
// The port screen's chosen entry once its search is over (the status line
// gone), with every entry listed when none was marked.
inline std::wstring WaitForFoundPort(HWND screen, int timeout_ms = 15000) {
  for (int t = 0; t < timeout_ms && IsWindowVisible(GetDlgItem(screen, IDC_STATUS)); t += 100)
    Sleep(100);
  const int count = static_cast<int>(SendDlgItemMessageW(screen, IDC_PORT_LIST, CB_GETCOUNT, 0, 0));
  std::wstring chosen = ComboEntry(screen, IDC_PORT_LIST, Selection(screen, IDC_PORT_LIST));
  if (chosen.find(L"controlador encontrado") != std::wstring::npos) return chosen;
  std::wstring all = L"none found among:";
  for (int i = 0; i < count; ++i) all += L" [" + ComboEntry(screen, IDC_PORT_LIST, i) + L"]";
  return all;
}

// A key as the keyboard gives it, to the window in front: the program's
// key state follows, as the Ctrl shortcuts need.
inline void Press(WORD key, bool down) {
  INPUT in = {};
  in.type = INPUT_KEYBOARD;
  in.ki.wVk = key;
  in.ki.dwFlags = down ? 0 : KEYEVENTF_KEYUP;
  SendInput(1, &in, sizeof in);
}

// Presses the button of a message box (IDOK, IDYES ...).
inline void Answer(HWND box, int button) {
  PostMessageW(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
}

// The open or save dialog of the process: types the file's path and
// confirms. False when no dialog came.
inline bool AnswerFileDialog(DWORD pid, const std::wstring& path) {
  HWND dlg = WaitForWindow(pid, [](HWND w) {
    return HasClass(w, L"#32770") && (GetDlgItem(w, 1148) || GetDlgItem(w, 1152));
  });
  if (!dlg) return false;
  SetDlgItemTextW(dlg, GetDlgItem(dlg, 1148) ? 1148 : 1152, path.c_str());
  PostMessageW(dlg, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
  return true;
}

// Waits until kova-sim has logged at least n frames; all of them.
inline std::vector<std::string> WaitForFrames(size_t n, int timeout_ms = 30000) {
  std::vector<std::string> frames = LoggedFrames();
  for (int t = 0; t < timeout_ms && frames.size() < n; t += 100) {
    Sleep(100);
    frames = LoggedFrames();
  }
  return frames;
}

// Whether the window answers a message within a second (it is not hung).
inline bool Responds(HWND screen) {
  DWORD_PTR result = 0;
  return SendMessageTimeoutW(screen, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 1000, &result) != 0;
}

// A file of the test's work folder, as KOVA.exe sees it.
inline std::wstring WorkFile(const char* name) {
  return WinePath(Env("KOVA_E2E_WORK")) + L"\\" + Utf8ToWide(name);
}

// Writes a text file of the work folder (KOVA.INI naming the test's port).
inline bool WriteWorkFile(const char* name, const std::string& text) {
  HANDLE h = CreateFileW(WorkFile(name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  WriteFile(h, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
  CloseHandle(h);
  return written == text.size();
}

class Kova;
// Language, model (position `model` of the list) and the customer screen.
inline HWND OpenCustomerScreen(Kova& kova, int model);

class Kova {
 public:
  bool Start() {
    std::wstring exe = WinePath(Env("KOVA_EXE"));
    std::wstring work = WinePath(Env("KOVA_E2E_WORK"));
    std::wstring cmd = L"\"" + exe + L"\"";
    STARTUPINFOW si = {};
    si.cb = sizeof si;
    if (!CreateProcessW(exe.c_str(), cmd.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        work.empty() ? nullptr : work.c_str(), &si, &pi_))
      return false;
    CloseHandle(pi_.hThread);
    return true;
  }
  DWORD pid() const { return pi_.dwProcessId; }
  // The exit code, or STILL_ACTIVE when it did not end in time.
  DWORD WaitEnd(int timeout_ms = 15000) {
    if (!pi_.hProcess) return STILL_ACTIVE;
    WaitForSingleObject(pi_.hProcess, timeout_ms);
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(pi_.hProcess, &code);
    return code;
  }
  ~Kova() {
    if (pi_.hProcess) {
      if (WaitEnd(0) == STILL_ACTIVE) TerminateProcess(pi_.hProcess, 1);
      CloseHandle(pi_.hProcess);
    }
  }

 private:
  PROCESS_INFORMATION pi_ = {};
};

}  // namespace kova::wine_test

namespace kova::wine_test {

// Language and model (position `model` of the list) chosen, Next pressed.
inline bool ChooseModel(Kova& kova, int model) {
  HWND screen = WaitForScreen(kova.pid(), IDC_LANG_PT);
  if (!screen) return false;
  Sleep(1200);  // the splash goes after a second
  Click(screen, IDC_LANG_PT);
  screen = WaitForScreen(kova.pid(), IDC_MODEL_LIST);
  if (!screen) return false;
  Choose(screen, IDC_MODEL_LIST, model);
  Sleep(200);
  Click(screen, IDC_NEXT);
  return true;
}

inline HWND OpenCustomerScreen(Kova& kova, int model) {
  return ChooseModel(kova, model) ? WaitForScreen(kova.pid(), IDC_CLIENT) : nullptr;
}

// KOVA.INI as given (none when empty), then KOVA.exe started; false with
// the reason reported.
inline bool StartWithIni(Kova& kova, const std::string& ini) {
  CreateDirectoryW(L"c:\\temp", nullptr);
  DeleteFileW(WorkFile("KOVA.INI").c_str());
  if (!ini.empty() && !WriteWorkFile("KOVA.INI", ini)) {
    ADD_FAILURE() << "cannot write KOVA.INI";
    return false;
  }
  if (!kova.Start()) {
    ADD_FAILURE() << "KOVA.exe did not start";
    return false;
  }
  return true;
}

// A fresh start with KOVA.INI as given whose work cycle cannot read the
// controller (VELA): the read error confirmed. The port screen, or nullptr
// with the reason reported.
inline HWND StartAtPortScreen(Kova& kova, const std::string& ini) {
  if (!StartWithIni(kova, ini)) return nullptr;
  if (!ChooseModel(kova, 1)) {
    ADD_FAILURE() << "no language or model screen";
    return nullptr;
  }
  HWND box = WaitForMessage(kova.pid(), "Erro na leitura dos parâmetros !!!", 30000);
  if (!box) {
    ADD_FAILURE() << "no read error";
    return nullptr;
  }
  Answer(box, IDOK);
  HWND screen = WaitForWindow(
      kova.pid(), [](HWND w) { return GetDlgItem(w, IDC_PORT_LIST) != nullptr; }, 60000);
  if (!screen) ADD_FAILURE() << "no port screen";
  return screen;
}

using Frames = std::vector<std::string>;

// The frames kova-sim logs from now on, a batch at a time.
class FrameLog {
 public:
  FrameLog() : seen_(LoggedFrames().size()) {}
  // The next n frames (fewer when they do not come within the time-out).
  Frames Next(size_t n, int timeout_ms = 40000) {
    Frames all = WaitForFrames(seen_ + n, timeout_ms);
    Frames out(all.begin() + static_cast<long>(std::min(seen_, all.size())), all.end());
    seen_ = all.size();
    return out;
  }
  // Whatever came since the last batch.
  Frames Rest() { return Next(0, 0); }

 private:
  size_t seen_;
};

// Each write followed by the controller's three confirmations, then `then`.
inline Frames Confirmed(const Frames& writes, const std::string& confirm, const Frames& then = {}) {
  Frames out;
  for (const std::string& w : writes) {
    out.push_back(w);
    for (int i = 0; i < 3; ++i) out.push_back(confirm);
  }
  out.insert(out.end(), then.begin(), then.end());
  return out;
}

// Batches of frames one after the other.
inline Frames Seq(std::initializer_list<Frames> parts) {
  Frames out;
  for (const Frames& p : parts) out.insert(out.end(), p.begin(), p.end());
  return out;
}

inline std::string WaitText(HWND screen, int id, const std::string& want, int timeout_ms = 5000) {
  std::string text = Text(screen, id);
  for (int t = 0; t < timeout_ms && text != want; t += 100) {
    Sleep(100);
    text = Text(screen, id);
  }
  return text;
}

// Presses `button` on each screen in turn, expecting the screens that hold
// these controls; the last one, or nullptr (reported) where the walk stops.
inline HWND Walk(Kova& kova, HWND screen, int button, std::initializer_list<int> controls) {
  for (int control : controls) {
    HWND from = screen;
    Click(from, button);
    screen = Settled(WaitForWindow(
        kova.pid(), [from, control](HWND w) { return w != from && GetDlgItem(w, control) != nullptr; },
        30000));
    if (!screen) {
      ADD_FAILURE() << "no screen with control " << control << " after button " << button;
      return nullptr;
    }
  }
  return screen;
}

// Saves the controller's values to a new parameter file of the work folder
// from the screen's Save button; the file's text once it holds `until`.
inline std::string SaveParameters(Kova& kova, HWND screen, const char* file, const char* until) {
  DeleteFileW(WorkFile(file).c_str());
  Click(screen, IDC_SAVE);
  if (!AnswerFileDialog(kova.pid(), WorkFile(file))) return "no save dialog";
  HWND box = WaitForMessage(kova.pid(), "O arquivo vai receber os valores de configuração do Equipamento.");
  if (!box) return "no new-file message";
  Answer(box, IDOK);
  std::string saved;
  for (int t = 0; t < 5000 && saved.find(until) == std::string::npos; t += 100) {
    Sleep(100);
    saved = ReadAll(WorkFile(file));
  }
  return saved;
}

// Saves the controller's values to a new parameter file of the work folder
// from the customer screen, changes some of them in the file ("2B=1" to
// "2B=3") and loads it; the file's text once the screen offers to apply
// it, or empty (reported) where a step failed.
inline std::string LoadChangedParameters(
    Kova& kova, HWND screen, const char* file,
    std::initializer_list<std::pair<const char*, const char*>> changes) {
  std::string saved = SaveParameters(kova, screen, file, "3D=");
  for (auto [from, to] : changes) {
    size_t at = saved.find(from);
    if (at == std::string::npos) {
      ADD_FAILURE() << from << " not in " << saved;
      return {};
    }
    saved.replace(at, std::string(from).size(), to);
  }
  if (!WriteWorkFile(file, saved)) return {};
  Click(screen, IDC_LOAD);
  if (!AnswerFileDialog(kova.pid(), WorkFile(file))) {
    ADD_FAILURE() << "no open dialog";
    return {};
  }
  // Loaded once the screen shows the file as its source (the save before
  // already offered the file for applying, so that button tells nothing).
  auto loaded = [screen] {
    return IsWindowVisible(GetDlgItem(screen, IDC_SOURCE)) && Selection(screen, IDC_SOURCE) == 0 &&
           IsWindowEnabled(GetDlgItem(screen, IDC_APPLY_FILE));
  };
  for (int t = 0; t < 5000 && !loaded(); t += 100) Sleep(100);
  if (!loaded()) {
    ADD_FAILURE() << "the file was not loaded";
    return {};
  }
  return saved;
}

// Every test's opening: KOVA.INI as given (none when empty), KOVA.exe
// started, language and model (position in the list) chosen, and the
// customer screen after the model's full read, the only frame logged. The
// screen, or nullptr with the reason reported.
inline HWND StartAtCustomer(Kova& kova, int model, const std::string& ini) {
  static const char* const kFullRead[] = {"00 04 00", "09 00", "00 06 00"};  // BRIO, VELA, VELA+
  if (!StartWithIni(kova, ini)) return nullptr;
  HWND screen = OpenCustomerScreen(kova, model);
  if (!screen) {
    ADD_FAILURE() << "no customer screen";
    return nullptr;
  }
  Frames first = WaitForFrames(1);
  if (first != Frames{kFullRead[model]}) {
    ADD_FAILURE() << "not the one full read: " << ::testing::PrintToString(first);
    return nullptr;
  }
  return screen;
}

}  // namespace kova::wine_test
