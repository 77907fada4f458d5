#include "monitor/recording_viewer.h"

#include "common/texts.h"
#include "resources/art/resource_ids.h"
#include "resources/control_ids.h"
#include "resources/monitor_ids.h"

namespace kova {
namespace {

// "45,2 s", or "3 min 25 s" for a minute and more.
std::string Duration(uint32_t ms) {
  if (ms < 60000) return ChartTimeText(ms);
  return TrFormat("{0} min {1} s", {std::to_string(ms / 60000), std::to_string(ms / 1000 % 60)});
}

std::string FileName(const std::string& path) {
  const size_t slash = path.find_last_of("\\/");
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

RecordingViewer::RecordingViewer(std::function<ChartCanvas*(int)> chart_canvas)
    : chart_canvas_(std::move(chart_canvas)) {
  PrepareChartCanvas();
}

ScreenDesign RecordingViewer::Design() {
  ScreenDesign s;
  s.template_id = IDD_RECORDING_VIEWER;
  s.background = [] { return IDB_BG_VIEWER; };
  AddFrameButtons(s, {IDC_RETURN}, true);
  for (const FrameButton& b : {FrameButton{IDC_VIEW_ZOOM_IN, IDB_BTN_ZOOM_IN, "Aproximar"},
                               FrameButton{IDC_VIEW_ZOOM_OUT, IDB_BTN_ZOOM_OUT, "Afastar"},
                               FrameButton{IDC_VIEW_WHOLE, IDB_BTN_ZOOM_WHOLE,
                                           "Toda a gravação"}})
    AddButton(s, b, true);
  // Colours as 0x00BBGGRR: the header's pale blue, white, light grey, amber.
  s.labels = {{IDC_VIEW_TITLE, {"Arial", 15, 1u}, 0xD8C3AF},
              {IDC_VIEW_FILE, {"Arial", 26, 1u}, 0xFFFFFF},
              {IDC_VIEW_SUMMARY, kFieldLabelFont, 0xEAE3DC},
              {IDC_VIEW_PROBLEM, kFieldLabelFont, 0x00A9F2}};
  return s;
}

void RecordingViewer::Load(const Recording& recording, const std::string& path) {
  chart_.LoadRun(recording.samples, recording.marks);
  chart_.SetLambdaFullScale(recording.lambda_full_scale);
  path_ = path;
  started_ = recording.started;
  stopped_line_ = recording.stopped_line;
}

void RecordingViewer::OnInit(View& view) {
  chart_.ShowWhole();
  view.SetText(IDC_VIEW_TITLE, Tr("GRAVAÇÃO DO MONITOR"));
  view.SetText(IDC_VIEW_FILE, FileName(path_));
  view.SetText(IDC_VIEW_SUMMARY,
               TrFormat("{0} medições em {1}, desde {2}",
                        {std::to_string(chart_.samples().size()),
                         Duration(chart_.run_end() - chart_.run_begin()), started_}));
  // What stopped the reading stays in sight above the chart.
  if (stopped_line_)
    view.SetText(IDC_VIEW_PROBLEM,
                 TrFormat("A leitura parou na linha {0}: o que vem depois dela no arquivo está "
                          "danificado e não é mostrado.",
                          {std::to_string(stopped_line_)}));
  view.Show(IDC_VIEW_PROBLEM, stopped_line_ != 0);
  canvas_ = chart_canvas_(IDC_VIEW_CHART);
  if (canvas_) canvas_->Attach(&chart_);
}

void RecordingViewer::OnCommand(View& view, int id) {
  (void)view;
  switch (id) {
    case IDC_VIEW_ZOOM_IN: chart_.ZoomAt(0.5, 0.5); break;
    case IDC_VIEW_ZOOM_OUT: chart_.ZoomAt(2.0, 0.5); break;
    case IDC_VIEW_WHOLE: chart_.ShowWhole(); break;
    default: return;
  }
  if (canvas_) canvas_->Redraw();
}

void RecordingViewer::OnReturn(View& view) { view.EndScreen(kScreenReturn); }
void RecordingViewer::OnExit(View& view) { view.EndScreen(kScreenReturn); }

void RecordingViewer::OnDestroy(View& view) {
  (void)view;
  if (canvas_) canvas_->Attach(nullptr);
  canvas_ = nullptr;
}

}  // namespace kova
