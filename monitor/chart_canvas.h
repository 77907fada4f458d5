// The window a chart is painted in: the monitor panel's live chart and the
// recording viewer's. One implementation per platform (chart_canvas_win32.cpp
// paints a child control of the screen's dialog; chart_canvas_posix.cpp has
// no windows). The chart's logic talks to it only through this.
#pragma once

namespace kova {

class ChartModel;

class ChartCanvas {
 public:
  virtual ~ChartCanvas() = default;
  // Shows this chart from now on, drawn whole; null shows nothing. A
  // recorded run is scrolled and zoomed through it.
  virtual void Attach(ChartModel* model) = 0;
  // The chart moved on: draws what is new and shifts what was drawn.
  virtual void Advance() = 0;
  // Draws everything anew (a scale, a pause, a zoom or a scroll changed).
  virtual void Redraw() = 0;
};

// Makes the chart control known to the windowing system; before the first
// screen that holds one is created.
void PrepareChartCanvas();
// The chart control with this id in the screen that runs now (one such
// control per id exists at a time); null when there is none.
ChartCanvas* FindChartCanvas(int control_id);

}  // namespace kova
