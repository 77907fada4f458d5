// A report page on a device context: the preview's bitmap, a printer's
// page and the tests' bitmaps are drawn by the one function here, with the
// fonts the layout measured with.
#pragma once
#include "shell/win32/win32.h"

#include <array>

#include "report/report_layout.h"

namespace kova {

// Text widths on paper, measured with the report's fonts at a size where a
// pixel is a hundredth of a millimetre.
class GdiTextMeasure final : public TextMeasure {
 public:
  GdiTextMeasure();
  ~GdiTextMeasure() override;
  GdiTextMeasure(const GdiTextMeasure&) = delete;
  GdiTextMeasure& operator=(const GdiTextMeasure&) = delete;
  int Width(TextStyle style, std::string_view text) const override;

 private:
  HDC dc_;
  std::array<HFONT, 8> fonts_{};
};

// Draws the page so that the paper covers `paper` (device units); with
// paint_paper the paper is filled white first (a printer's is white).
void DrawReportPage(HDC dc, const ReportPage& page, const RECT& paper, bool paint_paper);

// Where the A4 paper lies on a device: on a printer the physical page's
// corner is the paper's; on a bitmap, the paper fills it, its proportions
// kept; smaller sheets take the paper scaled down.
RECT PaperOnDevice(HDC dc);

// The printing path's drawing of one page on a printer's (or a bitmap's)
// device context.
void PrintReportPage(HDC dc, const ReportPage& page);

}  // namespace kova
