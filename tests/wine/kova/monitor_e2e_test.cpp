// The monitor panel end to end under Wine, against kova-sim (BRIO) on COM5:
// opened from the customer screen, the stream starts and the values move,
// a default position is written with Enter, a few seconds are recorded to
// a CSV file, and the calibration runs with kova-sim reporting success (one
// run) or failure (the other run, which also leaves during a calibration).
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <set>
#include <string>
#include <vector>

#include "resources/control_ids.h"
#include "resources/monitor_ids.h"
#include "tests/wine/support/kova_driver.h"

namespace {

using namespace kova::wine_test;
// kova-sim answers on COM5: the settings name it for BRIO.
HWND OpenMonitor(Kova& kova) {
  HWND screen = StartAtCustomer(kova, 0, "[CONFIG_BRIO]\r\nCOM=5\r\n");
  if (!screen) return nullptr;
  Sleep(300);
  Click(screen, IDC_MONITOR);
  return WaitForScreen(kova.pid(), IDC_MON_CALIBRATE);
}

// The digit a cell of ten glyph controls shows, -1 for none.
int Digit(HWND panel, int first) {
  for (int d = 0; d < 10; ++d)
    if (IsWindowVisible(GetDlgItem(panel, first + d))) return d;
  return -1;
}
std::string Readout(HWND panel, int first) {
  std::string s;
  for (int c = 0; c < 3; ++c) s += static_cast<char>('0' + Digit(panel, first + 10 * c));
  return s;
}
std::string Speed(HWND panel) {
  std::string s;
  for (int p = 0; p < 4; ++p) {
    int d = Digit(panel, IDC_MON_RPM_FIRST + 10 * p);
    s += d < 0 ? ' ' : static_cast<char>('0' + d);
  }
  return s;
}

// The panel changes a reading one glyph at a time, so a look from outside
// may fall between two glyphs: a reading counts when two looks a moment
// apart agree.
template <class Read>
std::string Steady(Read read) {
  std::string last = read();
  for (int i = 0; i < 50; ++i) {
    Sleep(50);
    std::string now = read();
    if (now == last) return now;
    last = now;
  }
  return last;
}

size_t Count(const Frames& f, const std::string& frame, size_t from = 0) {
  return static_cast<size_t>(std::count(f.begin() + static_cast<long>(std::min(from, f.size())),
                                        f.end(), frame));
}

bool WaitHidden(HWND panel, int id, int timeout_ms) {
  for (int t = 0; t < timeout_ms; t += 100, Sleep(100))
    if (!IsWindowVisible(GetDlgItem(panel, id))) return true;
  return false;
}

TEST(MonitorPanel, StreamWriteRecordAndCalibrate) {
  Kova kova;
  HWND panel = OpenMonitor(kova);
  ASSERT_TRUE(panel) << "no monitor panel";
  // After the customer screen's read, the panel's own and the stream.
  Frames f = WaitForFrames(3);
  ASSERT_GE(f.size(), 3u);
  EXPECT_EQ(Frames(f.begin() + 1, f.begin() + 3), (Frames{"00 04 00", "00 08 00"}));

  // The stream moves the panel: the lambda probe swings every 1.5 s.
  std::set<std::string> lambdas;
  for (int i = 0; i < 16; ++i, Sleep(150)) lambdas.insert(Readout(panel, IDC_MON_LAMBDA_FIRST));
  EXPECT_GE(lambdas.size(), 3u);
  // kova-sim's engine idles at 850 and revs to 3000; the actuator follows
  // between its defaults, 60 and 120 steps.
  const int rpm = std::atoi(Steady([panel] { return Speed(panel); }).c_str());
  EXPECT_GE(rpm, 840);
  EXPECT_LE(rpm, 3100);
  const int steps = std::atoi(Steady([panel] { return Readout(panel, IDC_MON_STEP_FIRST); }).c_str());
  EXPECT_GE(steps, 60);
  EXPECT_LE(steps, 120);
  EXPECT_TRUE(IsWindowVisible(GetDlgItem(panel, IDC_MON_SCALE_GREEN)));
  EXPECT_TRUE(IsWindowVisible(GetDlgItem(panel, IDC_MON_LAMBDA_1V)));
  EXPECT_EQ(Text(panel, IDC_MON_IDLE), "60");
  Shot("monitor");

  // Enter writes the idle position; the panel reads back and streams again.
  size_t before = LoggedFrames().size();
  Type(panel, IDC_MON_IDLE, "70");
  Enter(panel);
  // Stop three times, the write and its three confirmations, the read, the
  // stream again.
  f = WaitForFrames(before + 9);
  for (int t = 0; t < 10000 && Count(f, "00 08 00", before) == 0; t += 200, Sleep(200))
    f = LoggedFrames();
  EXPECT_EQ(Count(f, "00 3D 46", before), 1u);
  EXPECT_EQ(Count(f, "00 05 18", before), 3u);
  EXPECT_EQ(Count(f, "00 04 00", before), 1u);
  EXPECT_EQ(Count(f, "00 08 00", before), 1u);
  EXPECT_EQ(Text(panel, IDC_MON_IDLE), "70");

  // A few seconds recorded: a CSV in the documents folder.
  Click(panel, IDC_MON_RECORD);
  Sleep(500);
  std::string label = Text(panel, IDC_MON_RECORD_FILE);
  ASSERT_EQ(label.rfind("Gravando em ", 0), 0u) << label;
  std::string path = label.substr(12);
  EXPECT_NE(path.find("\\KOVA\\monitor-"), std::string::npos) << path;
  EXPECT_TRUE(IsWindowVisible(GetDlgItem(panel, IDC_MON_RECORD_STOP)));
  Sleep(3000);
  Click(panel, IDC_MON_RECORD_STOP);
  Sleep(500);
  EXPECT_TRUE(IsWindowVisible(GetDlgItem(panel, IDC_MON_RECORD)));
  std::string csv = ReadAll(kova::Utf8ToWide(path));
  EXPECT_EQ(csv.rfind("Tempo (ms);Data e hora;Rota\xE7\xE3o (rpm);", 0), 0u) << csv.substr(0, 80);
  EXPECT_GE(std::count(csv.begin(), csv.end(), '\n'), 20);
  EXPECT_NE(csv.find(";verde;"), std::string::npos);
  EXPECT_NE(csv.find(",", csv.find('\n')), std::string::npos);  // decimal commas

  // Calibration with kova-sim reporting success after 4 s.
  before = LoggedFrames().size();
  Click(panel, IDC_MON_CALIBRATE);
  Sleep(1500);
  EXPECT_TRUE(IsWindowVisible(GetDlgItem(panel, IDC_MON_PROGRESS)));
  EXPECT_EQ(Text(panel, IDC_MON_CAL_STATUS).rfind("Calibrando", 0), 0u);
  EXPECT_TRUE(Responds(panel));
  Shot("monitor_calibrating");
  EXPECT_TRUE(WaitHidden(panel, IDC_MON_PROGRESS, 15000));
  f = LoggedFrames();
  EXPECT_EQ(Count(f, "00 61 00", before), 1u);
  EXPECT_EQ(Count(f, "00 05 18", before), 3u);
  EXPECT_FALSE(WaitForMessage(kova.pid(), "Erro no processo de calibração", 300));
  Sleep(600);
  EXPECT_TRUE(IsWindowEnabled(GetDlgItem(panel, IDC_MON_CALIBRATE)));
  EXPECT_GE(Count(LoggedFrames(), "00 08 00", before), 2u);

  // Return: back on the customer screen, the stream stopped.
  Click(panel, IDC_RETURN);
  HWND customer = WaitForWindow(kova.pid(), [](HWND w) { return GetDlgItem(w, IDC_CLIENT) != nullptr; });
  EXPECT_TRUE(customer);
  Sleep(500);
  EXPECT_FALSE(IsWindow(panel) && IsWindowVisible(panel));
  EXPECT_EQ(LoggedFrames().back(), "00 07 00");
}

TEST(MonitorPanel, CalibrationFailureAndLeavingWhileCalibrating) {
  Kova kova;
  HWND panel = OpenMonitor(kova);
  ASSERT_TRUE(panel) << "no monitor panel";
  Sleep(1000);
  Click(panel, IDC_MON_CALIBRATE);
  HWND box = WaitForMessage(kova.pid(), "Erro no processo de calibração", 15000);
  ASSERT_TRUE(box) << "no calibration error message";
  Answer(box, IDOK);
  EXPECT_TRUE(WaitHidden(panel, IDC_MON_PROGRESS, 5000));

  // Closing the window while calibrating asks first; No goes on, Yes leaves.
  Sleep(1000);
  Click(panel, IDC_MON_CALIBRATE);
  Sleep(1500);
  PostMessageW(panel, WM_CLOSE, 0, 0);
  box = WaitForMessage(kova.pid(), "A Calibração ainda não foi concluída. Deseja realmente sair?", 5000);
  ASSERT_TRUE(box) << "no question when closing during the calibration";
  Answer(box, IDNO);
  Sleep(500);
  EXPECT_TRUE(IsWindowVisible(panel));
  EXPECT_TRUE(IsWindowVisible(GetDlgItem(panel, IDC_MON_PROGRESS)));
  PostMessageW(panel, WM_CLOSE, 0, 0);
  box = WaitForMessage(kova.pid(), "A Calibração ainda não foi concluída. Deseja realmente sair?", 5000);
  ASSERT_TRUE(box);
  size_t before = LoggedFrames().size();
  Answer(box, IDYES);
  for (int t = 0; t < 5000 && IsWindow(panel); t += 100) Sleep(100);
  EXPECT_FALSE(IsWindow(panel));
  Sleep(3000);
  // Nothing of the calibration's end follows: no re-read, no restart.
  Frames f = LoggedFrames();
  EXPECT_EQ(Count(f, "00 04 00", before), 0u);
  EXPECT_EQ(Count(f, "00 08 00", before), 0u);
  EXPECT_EQ(f.back(), "00 07 00");
}

}  // namespace
