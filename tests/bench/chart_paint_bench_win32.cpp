// The live chart's drawing per tick under Wine (target: at most 1 ms of
// CPU): a window with the chart control at the panel's size, a minute of
// samples, then ticks that each add a sample, draw the new columns and
// paint them. Prints the CPU time (user and kernel) and the wall time per
// tick, for a plain tick, a tick with the mouse over the plot (the
// readout redrawn too) and a whole redraw.
//
//   wine build/windows/tests/bench/chart_paint_bench.exe
#include "shell/win32/win32.h"

#include <cmath>
#include <cstdio>
#include <functional>

#include "monitor/chart.h"
#include "monitor/chart_canvas.h"

namespace {

using namespace kova;

double CpuMs() {
  FILETIME created, ended, kernel, user;
  GetThreadTimes(GetCurrentThread(), &created, &ended, &kernel, &user);
  auto ms = [](const FILETIME& f) {
    return ((static_cast<uint64_t>(f.dwHighDateTime) << 32) | f.dwLowDateTime) / 10000.0;
  };
  return ms(kernel) + ms(user);
}

double WallMs() {
  LARGE_INTEGER now, freq;
  QueryPerformanceCounter(&now);
  QueryPerformanceFrequency(&freq);
  return now.QuadPart * 1000.0 / freq.QuadPart;
}

ChartSample Engine(uint32_t t) {
  const double phase = t / 1000.0;
  return {t, true, {850 + 1000 * (1 + std::sin(phase / 3)), 0.6 + std::fabs(std::sin(phase / 3)) * 3,
                    0.1 + 0.8 * std::fabs(std::sin(phase * 2)), 60 + 30 * (1 + std::sin(phase / 3))}};
}

void Pump() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
}

void Measure(const char* what, int ticks, HWND chart, const std::function<void()>& tick) {
  Pump();
  const double cpu0 = CpuMs(), wall0 = WallMs();
  for (int i = 0; i < ticks; ++i) {
    tick();
    UpdateWindow(chart);  // the paint of what was drawn, as the panel's loop does it
  }
  GdiFlush();
  const double cpu = CpuMs() - cpu0, wall = WallMs() - wall0;
  std::printf("%-34s %6d ticks  %7.3f ms CPU  %7.3f ms wall per tick\n", what, ticks, cpu / ticks,
              wall / ticks);
}

}  // namespace

int main() {
  HINSTANCE instance = GetModuleHandleW(nullptr);
  PrepareChartCanvas();
  WNDCLASSW wc = {};
  wc.lpfnWndProc = DefWindowProcW;
  wc.hInstance = instance;
  wc.lpszClassName = L"ChartBench";
  RegisterClassW(&wc);
  HWND top = CreateWindowW(L"ChartBench", L"chart", WS_POPUP | WS_VISIBLE, 0, 0, 1024, 260,
                           nullptr, nullptr, instance, nullptr);
  // The panel's chart: 667 x 142 dialog units, 1000 x 231 pixels.
  HWND chart = CreateWindowW(L"KovaChart", L"", WS_CHILD | WS_VISIBLE, 12, 12, 1000, 231, top,
                             reinterpret_cast<HMENU>(1), instance, nullptr);
  ChartCanvas* canvas = FindChartCanvas(1);
  if (!canvas) {
    std::printf("no chart control\n");
    return 1;
  }
  ChartModel model;
  model.StartLive();
  uint32_t t = 0;
  for (; t < ChartModel::kLiveSpanMs; t += 100) model.Add(Engine(t));
  canvas->Attach(&model);
  Pump();

  const int ticks = 3000;
  Measure("tick: new columns drawn", ticks, chart, [&] {
    model.Add(Engine(t += 100));
    canvas->Advance();
  });
  SetCursorPos(12 + 500, 12 + 120);
  SendMessageW(chart, WM_MOUSEMOVE, 0, MAKELPARAM(500, 120));
  Measure("tick with the readout under the mouse", ticks, chart, [&] {
    model.Add(Engine(t += 100));
    canvas->Advance();
  });
  Measure("whole redraw (continue, a zoom)", 300, chart, [&] { canvas->Redraw(); });
  DestroyWindow(top);
  return 0;
}
