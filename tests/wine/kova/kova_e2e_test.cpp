// KOVA.exe end to end under Wine, with kova-sim serving COM1: starts the
// program, drives its windows through the Win32 API (find the screen, click
// its buttons, read its controls) and checks what the simulated controller
// received, the dump and KOVA.INI.
//
// Environment: KOVA_EXE (the program), KOVA_E2E_SIM_LOG (kova-sim's frame
// log), KOVA_E2E_WORK (working folder for KOVA.exe); all Unix paths. With
// KOVA_E2E_SHOTS set to a folder, the test stops at each screen, writes
// <name>.ready there and goes on when <name>.done appears, so a script can
// take screenshots.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "common/cp1252.h"
#include "controller/parameter_table.h"
#include "resources/control_ids.h"
#include "tests/wine/support/kova_driver.h"

namespace {

using namespace kova::wine_test;

std::wstring DumpFile() { return L"c:\\temp\\novoVELA.txt"; }

class KovaEndToEnd : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    CreateDirectoryW(L"c:\\temp", nullptr);
    DeleteFileW(DumpFile().c_str());
    DeleteFileW((WinePath(Env("KOVA_E2E_WORK")) + L"\\KOVA.INI").c_str());
  }
  static Kova kova;
  static HWND screen;
};
Kova KovaEndToEnd::kova;
HWND KovaEndToEnd::screen = nullptr;

HWND SplashOf(DWORD pid) {
  for (HWND w = FindWindowW(L"KovaSplash", nullptr); w; w = FindWindowExW(nullptr, w, L"KovaSplash", nullptr)) {
    DWORD owner = 0;
    GetWindowThreadProcessId(w, &owner);
    if (owner == pid && IsWindowVisible(w)) return w;
  }
  return nullptr;
}

TEST_F(KovaEndToEnd, SplashSwallowsTheFirstKey) {
  ASSERT_FALSE(Env("KOVA_EXE").empty()) << "KOVA_EXE names the program";
  ASSERT_TRUE(kova.Start());
  // The splash shows for a second when the language screen's window is
  // made: watch for it from the start, it must be seen for this test to
  // check anything.
  bool splash = false;
  for (int t = 0; t < 20000 && !splash; t += 20) {
    splash = SplashOf(kova.pid()) != nullptr;
    if (!splash) Sleep(20);
  }
  ASSERT_TRUE(splash) << "no splash over the language screen";
  screen = WaitForScreen(kova.pid(), IDC_LANG_PT, 2000);
  ASSERT_TRUE(screen) << "no language screen";
  if (!Env("KOVA_E2E_SHOTS").empty()) {
    Shot("splash", 100);
    return;  // the shot took the splash's second: the key is checked in ordinary runs
  }
  // Enter would be Next on this screen; while the splash shows it only
  // hides the splash.
  PostMessageW(screen, WM_KEYDOWN, VK_RETURN, 0);
  Sleep(500);
  EXPECT_FALSE(SplashOf(kova.pid()));
  EXPECT_TRUE(IsWindowVisible(screen));
  EXPECT_FALSE(WaitForScreen(kova.pid(), IDC_MODEL_LIST, 300));
}

TEST_F(KovaEndToEnd, LanguageThenModelVelaThenCustomerScreen) {
  ASSERT_TRUE(screen) << "no language screen";
  Sleep(1200);  // the splash goes after a second
  EXPECT_FALSE(SplashOf(kova.pid()));
  Shot("language");
  Click(screen, IDC_LANG_PT);

  screen = WaitForScreen(kova.pid(), IDC_MODEL_LIST);
  ASSERT_TRUE(screen) << "no model screen";
  EXPECT_EQ(ComboEntry(screen, IDC_MODEL_LIST, 0), L"BRIO");
  EXPECT_EQ(ComboEntry(screen, IDC_MODEL_LIST, 1), L"VELA");
  EXPECT_EQ(ComboEntry(screen, IDC_MODEL_LIST, 2), L"VELA plus");
  EXPECT_EQ(SendDlgItemMessageW(screen, IDC_MODEL_LIST, CB_GETCURSEL, 0, 0), 1);
  Shot("model");
  // Ctrl+Right is Next here, from the keyboard (a Ctrl that is only posted
  // is not a key held down).
  SetForegroundWindow(screen);
  Press(VK_CONTROL, true);
  Press(VK_RIGHT, true);
  Press(VK_RIGHT, false);
  Press(VK_CONTROL, false);

  screen = WaitForScreen(kova.pid(), IDC_CLIENT);
  ASSERT_TRUE(screen) << "no customer-data screen";
  // The vehicle screen follows: Next is offered.
  EXPECT_TRUE(IsWindowEnabled(GetDlgItem(screen, IDC_NEXT)));
  EXPECT_TRUE(IsWindowEnabled(GetDlgItem(screen, IDC_LOAD)));
  // Without a loaded file the source selector is hidden.
  EXPECT_FALSE(IsWindowVisible(GetDlgItem(screen, IDC_SOURCE)));
  Shot("customer");
}

TEST_F(KovaEndToEnd, ControllerReceivedExactlyOneFullRead) {
  ASSERT_TRUE(screen);
  std::vector<std::string> frames;
  for (int t = 0; t < 5000 && frames.empty(); t += 100, Sleep(100)) frames = LoggedFrames();
  Sleep(500);  // nothing more may follow
  frames = LoggedFrames();
  EXPECT_EQ(frames, (std::vector<std::string>{"09 00"}));
}

TEST_F(KovaEndToEnd, DumpHoldsALinePerRegister) {
  ASSERT_TRUE(screen);
  std::string dump = ReadAll(DumpFile());
  ASSERT_FALSE(dump.empty()) << "no c:\\temp\\novoVELA.txt";
  kova::ParameterTable table;
  kova::BuildParameterTable(table, 1);
  std::set<std::string> expected;
  for (const auto& row : table.rows)
    if (row.keyword[0]) expected.insert(row.keyword);

  std::set<std::string> seen;
  std::istringstream in(dump);
  std::string line;
  int n = 0;
  while (std::getline(in, line)) {
    ASSERT_FALSE(line.empty());
    ASSERT_EQ(line.back(), '\r') << "lines end in CR LF";
    line.pop_back();
    char number[8];
    std::snprintf(number, sizeof number, "%06d", n++);
    ASSERT_EQ(line.substr(0, 8), std::string(number) + "=|") << line;
    size_t k = line.find('|', 8);
    ASSERT_NE(k, std::string::npos);
    std::string keyword = line.substr(8, k - 8);
    EXPECT_EQ(line.substr(k, 4), "|-1|") << line;
    EXPECT_EQ(line.back(), '|');
    EXPECT_TRUE(seen.insert(keyword).second) << "twice: " << keyword;
  }
  for (const std::string& k : expected) EXPECT_TRUE(seen.count(k)) << "no line for " << k;
  EXPECT_TRUE(seen.count("1E") && seen.count("1F"));
}

TEST_F(KovaEndToEnd, PortIsRememberedInKovaIni) {
  ASSERT_TRUE(screen);
  std::string ini = ReadAll(WinePath(Env("KOVA_E2E_WORK")) + L"\\KOVA.INI");
  EXPECT_NE(ini.find("[CONFIG_VELA]"), std::string::npos) << ini;
  EXPECT_NE(ini.find("COM=1"), std::string::npos) << ini;
}

TEST_F(KovaEndToEnd, SecondCopyShowsTheMessageAndEnds) {
  ASSERT_TRUE(screen);
  Kova second;
  ASSERT_TRUE(second.Start());
  HWND box = WaitForMessage(second.pid(), " Já existe um aplicativo aberto ");
  ASSERT_TRUE(box) << "no single-instance message";
  wchar_t caption[64] = {};
  GetWindowTextW(box, caption, 64);
  EXPECT_STREQ(caption, L"KOVA");
  Shot("single_instance");
  PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
  EXPECT_EQ(second.WaitEnd(), 0u);
  // The first copy is unaffected.
  EXPECT_TRUE(IsWindowVisible(screen));
}

TEST_F(KovaEndToEnd, ReturnClosesThePortAndShowsTheLanguageScreen) {
  ASSERT_TRUE(screen);
  Click(screen, IDC_RETURN);
  screen = WaitForScreen(kova.pid(), IDC_LANG_PT);
  ASSERT_TRUE(screen) << "no language screen after Return";
  Sleep(1200);

  // A new work cycle sets the port up from KOVA.INI and reads again.
  Click(screen, IDC_LANG_PT);
  screen = WaitForScreen(kova.pid(), IDC_MODEL_LIST);
  ASSERT_TRUE(screen);
  Click(screen, IDC_NEXT);
  screen = WaitForScreen(kova.pid(), IDC_CLIENT);
  ASSERT_TRUE(screen);
  std::vector<std::string> frames;
  for (int t = 0; t < 5000 && frames.size() < 2; t += 100, Sleep(100)) frames = LoggedFrames();
  EXPECT_EQ(frames, (std::vector<std::string>{"09 00", "09 00"}));
  Click(screen, IDC_RETURN);
  screen = WaitForScreen(kova.pid(), IDC_LANG_PT);
  ASSERT_TRUE(screen);
  // Esc on the language screen ends the program.
  PostMessageW(screen, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
  EXPECT_EQ(kova.WaitEnd(), 0u);
}

TEST(KovaProgram, VersionResourceNamesProductPublisherAndVersion) {
  std::wstring exe = WinePath(Env("KOVA_EXE"));
  DWORD ignored = 0;
  DWORD size = GetFileVersionInfoSizeW(exe.c_str(), &ignored);
  ASSERT_GT(size, 0u);
  std::vector<char> data(size);
  ASSERT_TRUE(GetFileVersionInfoW(exe.c_str(), 0, size, data.data()));
  auto value = [&](const wchar_t* name) {
    std::wstring key = std::wstring(L"\\StringFileInfo\\041604B0\\") + name;
    wchar_t* text = nullptr;
    UINT len = 0;
    if (!VerQueryValueW(data.data(), key.c_str(), reinterpret_cast<void**>(&text), &len) || !text)
      return std::wstring();
    return std::wstring(text);
  };
  EXPECT_EQ(value(L"ProductName"), L"KOVA");
  EXPECT_EQ(value(L"ProductVersion"), L"1.0.0.0");
  EXPECT_EQ(value(L"FileVersion"), L"1.0.0.0");
  EXPECT_FALSE(value(L"CompanyName").empty());
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT len = 0;
  ASSERT_TRUE(VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&fixed), &len));
  EXPECT_EQ(fixed->dwFileVersionMS, 0x00010000u);
  EXPECT_EQ(fixed->dwFileVersionLS, 0u);
}

// With a silent controller the work cycle fails three times and goes on to
// the port screen, which lists the port the program holds and asks it once
// more.
TEST(KovaSilentController, ReadFailureLeadsToThePortScreen) {
  Kova kova;
  HWND screen = StartAtPortScreen(kova, "");
  ASSERT_TRUE(screen);
  WaitForFoundPort(screen);
  EXPECT_EQ(ComboEntry(screen, IDC_PORT_LIST, 0), L"COM1");
  EXPECT_EQ(SendDlgItemMessageW(screen, IDC_PORT_LIST, CB_GETCURSEL, 0, 0), 0);
  Shot("port");
  PostMessageW(screen, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
  EXPECT_EQ(kova.WaitEnd(), 0u);
  // Three complete full reads, then the port screen asking the port the
  // program holds whether a controller answers there; nothing else.
  EXPECT_EQ(LoggedFrames(), (std::vector<std::string>{"09 00", "09 00", "09 00", "09 00"}));
}

}  // namespace
