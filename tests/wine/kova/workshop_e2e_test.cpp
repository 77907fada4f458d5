// KOVA.exe as a workshop laptop meets it, under Wine against kova-sim on
// COM7: an adapter unplugged and plugged back, keys typed while the live
// display runs, a write that Windows may not cut by ending the session, and
// every screen reachable on a small screen at 150 %.
//
// Environment as kova_driver.h, plus KOVA_E2E_REPLUG: the file whose
// creation unplugs the simulator and plugs a new one in (silencing_sim.sh).
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "resources/aux_lambda_ids.h"
#include "resources/control_ids.h"
#include "resources/monitor_ids.h"
#include "tests/wine/support/kova_driver.h"

namespace {

using namespace kova::wine_test;

const std::string kIniCom7 = "[CONFIG_VELA]\r\nCOM=7\r\n[CONFIG_BRIO]\r\nCOM=7\r\n";

bool Exists(const std::string& unix_path) {
  return GetFileAttributesW(WinePath(unix_path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

// The adapter is pulled out at the actuator screen and plugged back, as a
// new device behind the same COM port. The write fails, the port screen
// closes the port it held, asks it afresh and finds the controller; the
// work goes on without restarting KOVA.
TEST(Workshop, TheControllerIsFoundAgainAfterAnUnplug) {
  Kova kova;
  HWND screen = StartAtCustomer(kova, 1, kIniCom7);
  ASSERT_TRUE(screen);
  screen = Walk(kova, screen, IDC_NEXT,
                {IDC_CYLINDERS, IDC_LAMBDA_TYPE, IDC_AUX_STEPS, IDC_ACT_LOW_DEFAULT});
  ASSERT_TRUE(screen);
  const std::string replug = Env("KOVA_E2E_REPLUG");
  CloseHandle(CreateFileW(WinePath(replug).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0,
                          nullptr));
  for (int t = 0; t < 10000 && !Exists(replug + ".done"); t += 100) Sleep(100);
  ASSERT_TRUE(Exists(replug + ".done")) << "the simulator was not plugged back";
  Click(screen, IDC_WRITE);
  HWND box = WaitForMessage(kova.pid(), "Erro na leitura dos parâmetros !!!", 40000);
  ASSERT_TRUE(box) << "the write did not fail on the unplugged port";
  Answer(box, IDOK);
  screen = WaitForWindow(kova.pid(), [](HWND w) { return GetDlgItem(w, IDC_PORT_LIST) != nullptr; },
                         40000);
  ASSERT_TRUE(screen) << "no port screen";
  EXPECT_EQ(WaitForFoundPort(screen), L"COM7 - controlador encontrado");
  Click(screen, IDC_NEXT);
  screen = WaitForScreen(kova.pid(), IDC_CLIENT);
  ASSERT_TRUE(screen);
  Click(screen, IDC_EXIT);
  EXPECT_EQ(kova.WaitEnd(), 0u);
}

// Forty digits typed at 30 ms into the BRIO lambda screen's injection time
// while its live display polls the controller: every one arrives. Then a
// write, and Windows ending the session.
TEST(Workshop, KeysTypedWhileTheLiveDisplayRunsAllArrive) {
  Kova kova;
  HWND screen = StartAtCustomer(kova, 0, kIniCom7);
  ASSERT_TRUE(screen);
  screen = Walk(kova, screen, IDC_NEXT, {IDC_SWITCH_RPM, IDC_LAMBDA_MODE});
  ASSERT_TRUE(screen);
  Choose(screen, IDC_LAMBDA_TYPE, 3);  // "Real": the live display runs
  Sleep(2000);
  Choose(screen, IDC_LAMBDA_MODE, 1);  // "Manual": the injection time shows
  Sleep(500);
  HWND field = GetDlgItem(screen, IDC_LAMBDA_INJECTION);
  ASSERT_TRUE(IsWindowVisible(field));
  ASSERT_TRUE(IsWindowVisible(GetDlgItem(screen, IDC_LAMBDA_ARC_FIRST))) << "no live display";
  SetForegroundWindow(screen);
  PostMessageW(screen, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(field), TRUE);
  Sleep(300);
  SendMessageW(field, EM_SETSEL, 0, -1);
  // Zeros: every prefix is a value the field takes without a word.
  for (int i = 0; i < 40; ++i) {
    Press('0', true);
    Press('0', false);
    Sleep(30);
  }
  EXPECT_EQ(WaitText(screen, IDC_LAMBDA_INJECTION, std::string(40, '0')), std::string(40, '0'));

  // Enter writes the time. Meanwhile Windows is asked not to end the
  // session, and the taskbar's "Close window" does not cut the write.
  const std::string stop = "00 07 00";
  FrameLog log;
  EnterIn(screen, IDC_LAMBDA_INJECTION);
  Frames written = log.Next(1);  // it has started
  DWORD_PTR answer = 1;
  SendMessageTimeoutW(screen, WM_QUERYENDSESSION, 0, 0, SMTO_NORMAL, 3000, &answer);
  EXPECT_EQ(answer, 0u) << "Windows may end the session in the middle of a write";
  PostMessageW(screen, WM_SYSCOMMAND, SC_CLOSE, 0);
  const Frames rest = log.Next(written.size() < 8 ? 8 - written.size() : 0);
  written.insert(written.end(), rest.begin(), rest.end());
  // The controller itself is still simulating the probe (only the screen
  // chose "Real"), so the read-back shows that and the display stays off.
  EXPECT_EQ(written, (Frames{stop, stop, stop, "00 79 00", "00 05 18", "00 05 18", "00 05 18",
                             "00 04 79"}));
  Sleep(500);
  EXPECT_TRUE(IsWindowVisible(screen)) << "closed during the write";
  SendMessageTimeoutW(screen, WM_QUERYENDSESSION, 0, 0, SMTO_NORMAL, 3000, &answer);
  EXPECT_EQ(answer, 1u);
  // The session ends anyway: the live stream is stopped and the port let go.
  SendMessageTimeoutW(screen, WM_ENDSESSION, TRUE, 0, SMTO_NORMAL, 3000, &answer);
  EXPECT_EQ(log.Next(3), (Frames{stop, stop, stop}));
  Click(screen, IDC_EXIT);
  EXPECT_EQ(kova.WaitEnd(), 0u);
  EXPECT_EQ(log.Rest(), Frames{}) << "frames after the port was let go";
}

// Whether every one of a screen's buttons that shows lies inside the work
// area of its monitor.
void ExpectButtonsInside(HWND screen, std::initializer_list<int> buttons) {
  MONITORINFO info = {};
  info.cbSize = sizeof info;
  ASSERT_TRUE(GetMonitorInfoW(MonitorFromWindow(screen, MONITOR_DEFAULTTONEAREST), &info));
  const RECT work = info.rcWork;
  for (int id : buttons) {
    HWND b = GetDlgItem(screen, id);
    RECT r;
    if (!b || !IsWindowVisible(b) || !GetWindowRect(b, &r)) continue;
    EXPECT_TRUE(r.left >= work.left && r.top >= work.top && r.right <= work.right &&
                r.bottom <= work.bottom)
        << "button " << id << " reaches " << r.right << "," << r.bottom << " of " << work.right
        << "," << work.bottom;
  }
}

// A 1366 x 768 laptop at 150 %: Windows shows a program that is not
// DPI-aware a screen of 911 x 512 and scales it up; Wine does not, so the
// display is made that size, with the 150 % font resolution
// (small_screen.sh). Every screen of the BRIO cycle and the monitor panel
// keeps every button inside it.
TEST(SmallScreen, EveryButtonIsReachable) {
  const auto frame = {IDC_RETURN, IDC_NEXT,  IDC_LOAD,  IDC_SAVE,
                      IDC_MONITOR, IDC_EXIT, IDC_WRITE, IDC_APPLY_FILE};
  Kova kova;
  HWND screen = StartAtCustomer(kova, 0, kIniCom7);
  ASSERT_TRUE(screen);
  ExpectButtonsInside(screen, frame);
  for (int control : {IDC_SWITCH_RPM, IDC_LAMBDA_MODE, IDC_AUX_WARMUP, IDC_ACT_LOW_DEFAULT}) {
    screen = Walk(kova, screen, IDC_NEXT, {control});
    ASSERT_TRUE(screen);
    SCOPED_TRACE(control);
    ExpectButtonsInside(screen, frame);
  }
  Click(screen, IDC_MONITOR);
  HWND panel = WaitForScreen(kova.pid(), IDC_MON_CALIBRATE);
  ASSERT_TRUE(panel) << "no monitor panel";
  ExpectButtonsInside(panel, {IDC_RETURN, IDC_EXIT, IDC_MON_CALIBRATE, IDC_MON_RECORD,
                              IDC_MON_RECORD_STOP});
  Click(panel, IDC_EXIT);
  EXPECT_EQ(kova.WaitEnd(30000), 0u);
}

}  // namespace
