// The recording viewer: a run the monitor panel recorded, opened again
// with "Abrir gravação" and shown whole on the live chart's chart, with its
// calibration marks and the cursor readout; zoomed and scrolled along time
// (buttons here, the wheel, the scroll bar and the keys on the chart).
//
// Run modally over the monitor panel, whose poll goes on meanwhile. Return,
// Esc and closing the window all come back to the panel.
#pragma once
#include <functional>
#include <string>

#include "monitor/chart.h"
#include "monitor/chart_canvas.h"
#include "monitor/recording_reader.h"
#include "shell/screen_design.h"
#include "shell/screen_logic.h"

namespace kova {

class RecordingViewer : public ScreenLogic {
 public:
  explicit RecordingViewer(std::function<ChartCanvas*(int)> chart_canvas = FindChartCanvas);
  static ScreenDesign Design();

  // The run the next opening shows, and the file it came from.
  void Load(const Recording& recording, const std::string& path);

  void OnInit(View& view) override;
  void OnNext(View& view) override { (void)view; }  // the viewer has no Next
  void OnReturn(View& view) override;
  void OnExit(View& view) override;
  void OnCommand(View& view, int id) override;
  void OnDestroy(View& view) override;
  bool HasCtrlShortcuts() const override { return false; }

  const ChartModel& chart() const { return chart_; }

 private:
  std::function<ChartCanvas*(int)> chart_canvas_;
  ChartCanvas* canvas_ = nullptr;
  ChartModel chart_;
  std::string path_, started_;
  int stopped_line_ = 0;
};

}  // namespace kova
