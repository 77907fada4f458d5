// The monitor panel end to end under Wine, against kova-sim (BRIO) on COM5:
// opened from the customer screen, the panel fits a 1024 x 768 screen, the
// stream starts and the values move, a default position is written with
// Enter, the live chart follows the engine (paused, continued, read under
// the mouse) while twenty seconds are recorded to a CSV file, the
// calibration runs with kova-sim reporting success (one run) or failure
// (the other run, which also leaves during a calibration), and the
// recording opens in the viewer.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <set>
#include <string>
#include <vector>

#include "monitor/chart.h"
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

RECT ScreenRect(HWND w) {
  RECT r;
  GetWindowRect(w, &r);
  return r;
}

// What the screen shows of a window now, one 0xRRGGBB value a pixel.
std::vector<uint32_t> Pixels(HWND w) {
  const RECT r = ScreenRect(w);
  const int width = r.right - r.left, height = r.bottom - r.top;
  HDC screen = GetDC(nullptr);
  HDC mem = CreateCompatibleDC(screen);
  BITMAPINFO bi = {};
  bi.bmiHeader.biSize = sizeof bi.bmiHeader;
  bi.bmiHeader.biWidth = width;
  bi.bmiHeader.biHeight = -height;  // top-down rows
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  HBITMAP bmp = CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(mem, bmp);
  BitBlt(mem, 0, 0, width, height, screen, r.left, r.top, SRCCOPY);
  GdiFlush();
  std::vector<uint32_t> px(static_cast<const uint32_t*>(bits),
                           static_cast<const uint32_t*>(bits) + size_t(width) * height);
  for (uint32_t& p : px) p &= 0xFFFFFF;
  SelectObject(mem, old);
  DeleteObject(bmp);
  DeleteDC(mem);
  ReleaseDC(nullptr, screen);
  return px;
}

// How many pixels of each trace's colour a window shows.
std::vector<long> TracePixels(HWND w) {
  const std::vector<uint32_t> px = Pixels(w);
  std::vector<long> n;
  for (kova::Trace t : kova::kAllTraces)
    n.push_back(static_cast<long>(std::count(px.begin(), px.end(), kova::StyleOf(t).rgb)));
  return n;
}

// Whether every trace shows with at least `least` pixels within a time.
bool ShowsEveryTrace(HWND w, long least, int timeout_ms = 3000) {
  for (int t = 0;; t += 100, Sleep(100)) {
    const std::vector<long> n = TracePixels(w);
    if (*std::min_element(n.begin(), n.end()) >= least) return true;
    if (t >= timeout_ms) {
      ADD_FAILURE() << "trace pixels " << ::testing::PrintToString(n);
      return false;
    }
  }
}

// The chart's text: the trace names, or the readout under the mouse.
std::string ChartText(HWND chart) {
  wchar_t text[512] = {};
  GetWindowTextW(chart, text, 512);
  return kova::WideToUtf8(text);
}

// Puts the mouse over a point of the chart's plot, `fraction` across it.
void HoverChart(HWND chart, double fraction) {
  const kova::ChartLayout l = kova::LayoutChart(ScreenRect(chart).right - ScreenRect(chart).left,
                                                ScreenRect(chart).bottom - ScreenRect(chart).top);
  const RECT r = ScreenRect(chart);
  SetCursorPos(r.left + l.plot.left + int(fraction * l.plot.Width()),
               r.top + (l.plot.top + l.plot.bottom) / 2);
}

// The panel (or the viewer) and every control it shows stay on a 1024 x 768
// screen, and the chart spans the band under the rest.
void ExpectFitsTheScreen(HWND panel, int chart_id) {
  const RECT w = ScreenRect(panel);
  EXPECT_LE(w.right - w.left, 1024);
  EXPECT_LE(w.bottom - w.top, 768);
  RECT client;
  GetClientRect(panel, &client);
  MapWindowPoints(panel, nullptr, reinterpret_cast<POINT*>(&client), 2);
  const RECT chart = ScreenRect(GetDlgItem(panel, chart_id));
  EXPECT_GE(chart.right - chart.left, 990);
  EXPECT_GE(chart.bottom - chart.top, 220);
  for (HWND c = GetWindow(panel, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
    if (!IsWindowVisible(c)) continue;
    const RECT r = ScreenRect(c);
    RECT overlap;
    EXPECT_TRUE(r.left >= client.left && r.top >= client.top && r.right <= client.right &&
                r.bottom <= client.bottom)
        << "control " << GetDlgCtrlID(c) << " off the window";
    EXPECT_TRUE(GetDlgCtrlID(c) == chart_id || !IntersectRect(&overlap, &r, &chart))
        << "control " << GetDlgCtrlID(c) << " on the chart";
  }
}

TEST(MonitorPanel, StreamWriteRecordAndCalibrate) {
  Kova kova;
  HWND panel = OpenMonitor(kova);
  ASSERT_TRUE(panel) << "no monitor panel";
  SetCursorPos(0, 0);
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
  ExpectFitsTheScreen(panel, IDC_MON_CHART);

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

  // Twenty seconds recorded to a CSV in the documents folder, a whole cycle
  // of kova-sim's engine, while the chart draws them.
  Click(panel, IDC_MON_RECORD);
  Sleep(500);
  std::string label = Text(panel, IDC_MON_RECORD_FILE);
  ASSERT_EQ(label.rfind("Gravando em ", 0), 0u) << label;
  std::string path = label.substr(12);
  EXPECT_NE(path.find("\\KOVA\\monitor-"), std::string::npos) << path;
  EXPECT_TRUE(IsWindowVisible(GetDlgItem(panel, IDC_MON_RECORD_STOP)));
  HWND chart = GetDlgItem(panel, IDC_MON_CHART);
  ASSERT_TRUE(chart);
  Sleep(1500);
  // Every trace shows, and the chart moves.
  const std::vector<uint32_t> before_pause = Pixels(chart);
  EXPECT_TRUE(ShowsEveryTrace(chart, 10));
  // Paused, it holds still while the poll goes on; continued, it moves again.
  Click(panel, IDC_MON_CHART_PAUSE);
  Sleep(400);
  const std::vector<uint32_t> paused = Pixels(chart);
  EXPECT_NE(paused, before_pause);
  const size_t polled = LoggedFrames().size();
  Sleep(1500);
  EXPECT_EQ(Pixels(chart), paused);
  EXPECT_TRUE(IsWindowVisible(GetDlgItem(panel, IDC_MON_CHART_CONTINUE)));
  EXPECT_EQ(LoggedFrames().size(), polled);  // nothing stopped the stream
  Click(panel, IDC_MON_CHART_CONTINUE);
  Sleep(500);
  EXPECT_NE(Pixels(chart), paused);
  // The mouse over the plot reads the time and the four values there.
  EXPECT_EQ(ChartText(chart), "Rotação (rpm); TPS (V); Sonda lambda (V); Atuador (passos)");
  // (A tick that read nothing reads as dashes: a few places are tried.)
  std::string readout;
  for (double at : {0.99, 0.97, 0.95}) {
    HoverChart(chart, at);
    Sleep(300);
    readout = ChartText(chart);
    if (readout.find(" rpm; TPS: ") != std::string::npos) break;
  }
  EXPECT_NE(readout.find(" s; Rotação: "), std::string::npos) << readout;
  EXPECT_NE(readout.find(" rpm; TPS: "), std::string::npos) << readout;
  EXPECT_NE(readout.find(" passos"), std::string::npos) << readout;
  SetCursorPos(0, 0);
  Sleep(18000);
  Shot("monitor");
  Click(panel, IDC_MON_RECORD_STOP);
  Sleep(500);
  EXPECT_TRUE(IsWindowVisible(GetDlgItem(panel, IDC_MON_RECORD)));
  std::string csv = ReadAll(kova::Utf8ToWide(path));
  EXPECT_EQ(csv.rfind("Tempo (ms);Data e hora;Rota\xE7\xE3o (rpm);", 0), 0u) << csv.substr(0, 80);
  EXPECT_GE(std::count(csv.begin(), csv.end(), '\n'), 150);
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

  // The recording opens in the viewer over the panel, whose poll goes on.
  Click(panel, IDC_MON_OPEN_RECORDING);
  ASSERT_TRUE(AnswerFileDialog(kova.pid(), kova::Utf8ToWide(path)));
  HWND viewer = WaitForScreen(kova.pid(), IDC_VIEW_ZOOM_IN);
  ASSERT_TRUE(viewer) << "no recording viewer";
  EXPECT_EQ(Text(viewer, IDC_VIEW_FILE), path.substr(path.rfind('\\') + 1));
  EXPECT_NE(Text(viewer, IDC_VIEW_SUMMARY).find(" medições em "), std::string::npos);
  EXPECT_FALSE(IsWindowVisible(GetDlgItem(viewer, IDC_VIEW_PROBLEM)));
  ExpectFitsTheScreen(viewer, IDC_VIEW_CHART);
  HWND run = GetDlgItem(viewer, IDC_VIEW_CHART);
  EXPECT_TRUE(ShowsEveryTrace(run, 50));
  HoverChart(run, 0.25);
  Sleep(400);
  const std::string middle = ChartText(run);
  EXPECT_NE(middle.find(" rpm; TPS: "), std::string::npos) << middle;
  Click(viewer, IDC_VIEW_ZOOM_IN);
  Sleep(400);
  EXPECT_NE(ChartText(run), middle);  // other values under the mouse
  Click(viewer, IDC_VIEW_WHOLE);
  SetCursorPos(0, 0);
  const size_t polling = LoggedFrames().size();
  Shot("recording_viewer");
  EXPECT_TRUE(Responds(panel));
  Click(viewer, IDC_RETURN);
  for (int t = 0; t < 5000 && IsWindow(viewer); t += 100) Sleep(100);
  EXPECT_FALSE(IsWindow(viewer));
  EXPECT_EQ(LoggedFrames().size(), polling);  // no stop, no restart: the stream ran on

  // A recording cut in the middle of a line shows what comes before it and
  // names the line.
  const std::string cut = csv.substr(0, csv.rfind("\r\n", csv.size() - 3) + 12);
  const size_t cut_line = std::count(cut.begin(), cut.end(), '\n') + 1;
  ASSERT_TRUE(WriteWorkFile("cut.csv", cut));
  Click(panel, IDC_MON_OPEN_RECORDING);
  ASSERT_TRUE(AnswerFileDialog(kova.pid(), WorkFile("cut.csv")));
  viewer = WaitForScreen(kova.pid(), IDC_VIEW_ZOOM_IN);
  ASSERT_TRUE(viewer);
  EXPECT_TRUE(IsWindowVisible(GetDlgItem(viewer, IDC_VIEW_PROBLEM)));
  EXPECT_EQ(Text(viewer, IDC_VIEW_PROBLEM).rfind("A leitura parou na linha " +
                                                 std::to_string(cut_line) + ":", 0),
            0u)
      << Text(viewer, IDC_VIEW_PROBLEM);
  PostMessageW(viewer, WM_CLOSE, 0, 0);  // closing it comes back to the panel too
  // (Without a window manager Wine takes a while to let a window go.)
  for (int t = 0; t < 5000 && IsWindow(viewer); t += 100) Sleep(100);
  EXPECT_FALSE(IsWindow(viewer));
  EXPECT_TRUE(IsWindowVisible(panel));

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
