#include "report/win32/page_painter.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "common/cp1252.h"

namespace kova {
namespace {

constexpr TextStyle kStyles[] = {TextStyle::kBody,       TextStyle::kLabel,   TextStyle::kSmall,
                                 TextStyle::kGroup,      TextStyle::kSubheading,
                                 TextStyle::kHeading,    TextStyle::kTitle,   TextStyle::kWorkshop};

// The font of a style, `scale` device units to a hundredth of a millimetre.
HFONT ReportFont(TextStyle style, double scale) {
  const FontOf f = FontOfStyle(style);
  const int height = std::max(1, static_cast<int>(std::lround(FontHeight(style) * scale)));
  return CreateFontW(-height, 0, 0, 0, f.bold ? FW_BOLD : FW_NORMAL, f.italic, FALSE, FALSE,
                     DEFAULT_CHARSET, OUT_TT_PRECIS, CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY,
                     VARIABLE_PITCH | FF_SWISS, L"Arial");
}

// The fonts of every style, for one drawing or one measure.
std::array<HFONT, 8> ReportFonts(double scale) {
  std::array<HFONT, 8> fonts{};
  for (std::size_t i = 0; i < fonts.size(); ++i) fonts[i] = ReportFont(kStyles[i], scale);
  return fonts;
}

void DeleteFonts(std::array<HFONT, 8>& fonts) {
  for (HFONT& f : fonts)
    if (f) DeleteObject(f), f = nullptr;
}

}  // namespace

GdiTextMeasure::GdiTextMeasure() : dc_(CreateCompatibleDC(nullptr)), fonts_(ReportFonts(1.0)) {}

GdiTextMeasure::~GdiTextMeasure() {
  DeleteFonts(fonts_);
  if (dc_) DeleteDC(dc_);
}

int GdiTextMeasure::Width(TextStyle style, std::string_view text) const {
  const std::wstring wide = Utf8ToWide(text);
  if (wide.empty() || !dc_) return 0;
  HGDIOBJ old = SelectObject(dc_, fonts_[static_cast<std::size_t>(style)]);
  SIZE size{};
  GetTextExtentPoint32W(dc_, wide.c_str(), static_cast<int>(wide.size()), &size);
  SelectObject(dc_, old);
  return size.cx;
}

void DrawReportPage(HDC dc, const ReportPage& page, const RECT& paper, bool paint_paper) {
  // Device units throughout, fonts made at the device's size: the width of
  // a text is then what the device draws, so right edges and centres hold.
  const double sx = static_cast<double>(paper.right - paper.left) / kPaperWidth;
  const double sy = static_cast<double>(paper.bottom - paper.top) / kPaperHeight;
  auto at_x = [&](int x) { return paper.left + static_cast<int>(std::lround(x * sx)); };
  auto at_y = [&](int y) { return paper.top + static_cast<int>(std::lround(y * sy)); };
  const int saved = SaveDC(dc);
  if (paint_paper) FillRect(dc, &paper, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  HPEN pen = CreatePen(PS_SOLID, std::max(1, static_cast<int>(std::lround(15 * sy))),
                       RGB(96, 96, 96));
  SelectObject(dc, pen);
  for (const PageRule& r : page.rules) {
    MoveToEx(dc, at_x(r.x1), at_y(r.y), nullptr);
    LineTo(dc, at_x(r.x2), at_y(r.y));
  }

  std::array<HFONT, 8> fonts = ReportFonts(sy);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, RGB(0, 0, 0));
  SetTextAlign(dc, TA_TOP | TA_LEFT | TA_NOUPDATECP);
  for (const PageText& t : page.texts) {
    SelectObject(dc, fonts[static_cast<std::size_t>(t.style)]);
    const std::wstring wide = Utf8ToWide(t.text);
    const int n = static_cast<int>(wide.size());
    int x = at_x(t.x);
    if (t.align != Align::Left) {
      SIZE size{};
      GetTextExtentPoint32W(dc, wide.c_str(), n, &size);
      x -= t.align == Align::Right ? size.cx : size.cx / 2;
    }
    TextOutW(dc, x, at_y(t.y), wide.c_str(), n);
  }
  RestoreDC(dc, saved);
  DeleteObject(pen);
  DeleteFonts(fonts);
}

RECT PaperOnDevice(HDC dc) {
  int width = GetDeviceCaps(dc, PHYSICALWIDTH), height = GetDeviceCaps(dc, PHYSICALHEIGHT);
  int left = -GetDeviceCaps(dc, PHYSICALOFFSETX), top = -GetDeviceCaps(dc, PHYSICALOFFSETY);
  double across = GetDeviceCaps(dc, LOGPIXELSX) * kPaperWidth / 2540.0;
  double down = GetDeviceCaps(dc, LOGPIXELSY) * kPaperHeight / 2540.0;
  if (width <= 0 || height <= 0) {
    // Not a printer: the bitmap selected into it is the sheet.
    BITMAP bm{};
    HGDIOBJ bitmap = GetCurrentObject(dc, OBJ_BITMAP);
    if (bitmap && GetObjectW(bitmap, sizeof bm, &bm) && bm.bmWidth > 1) {
      width = bm.bmWidth;
      height = std::abs(bm.bmHeight);
    } else {
      width = GetDeviceCaps(dc, HORZRES);
      height = GetDeviceCaps(dc, VERTRES);
    }
    left = top = 0;
    across = width;
    down = width * static_cast<double>(kPaperHeight) / kPaperWidth;
  }
  if (across <= 0 || down <= 0) return {0, 0, width, height};
  const double scale = std::min({1.0, width / across, height / down});
  return {left, top, left + static_cast<int>(across * scale), top + static_cast<int>(down * scale)};
}

void PrintReportPage(HDC dc, const ReportPage& page) {
  DrawReportPage(dc, page, PaperOnDevice(dc), false);
}

}  // namespace kova
