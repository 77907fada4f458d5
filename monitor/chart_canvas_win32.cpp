// The chart control ("KovaChart"): a child window of a screen's dialog that
// paints a ChartModel. Everything is drawn into a picture of the control's
// size kept in memory, and the window copies from it, so nothing flickers.
// When a live chart moves on, the plot in memory is shifted left by the
// columns that passed and only the new columns are drawn.
//
// Over the plot the mouse shows a cursor line, and the legend turns into
// the readout of the time and the four values there. A recorded run also
// scrolls (scroll bar, arrow keys) and zooms (wheel, + and -).
#include <algorithm>
#include <array>
#include <map>
#include <optional>
#include <string>

#include "common/cp1252.h"
#include "common/texts.h"
#include "monitor/chart.h"
#include "monitor/chart_canvas.h"
#include "shell/win32/win32.h"

namespace kova {
namespace {

constexpr wchar_t kClassName[] = L"KovaChart";

COLORREF Colour(unsigned rgb) { return RGB((rgb >> 16) & 255, (rgb >> 8) & 255, rgb & 255); }

// The chart's colours (0xRRGGBB), dark like the panel's instruments.
constexpr unsigned kBack = 0x10151B, kPlot = 0x0B1016, kGrid = 0x27313D, kFrame = 0x3A4656,
                   kAxisText = 0x8B9BAE, kText = 0xDCE3EA, kMarkStart = 0xE6EBF1,
                   kMarkEnd = 0xB0B8C2, kCursor = 0xF4F6F8;

// Scroll bar units of a recorded run: tenths of a second.
constexpr int64_t kScrollUnitMs = 100;

class ChartWindow;
// The chart control of each id that exists now.
std::map<int, ChartWindow*>& Controls() {
  static std::map<int, ChartWindow*> controls;
  return controls;
}

class ChartWindow final : public ChartCanvas {
 public:
  explicit ChartWindow(HWND hwnd) : hwnd_(hwnd) {
    font_ = CreateFontW(-12, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                        OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                        DEFAULT_PITCH | FF_SWISS, L"Arial");
    bold_ = CreateFontW(-12, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                        OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                        DEFAULT_PITCH | FF_SWISS, L"Arial");
    for (Trace t : kAllTraces) {
      pens_[static_cast<int>(t)] = CreatePen(PS_SOLID, 2, Colour(StyleOf(t).rgb));
      brushes_[static_cast<int>(t)] = CreateSolidBrush(Colour(StyleOf(t).rgb));
    }
    grid_pen_ = CreatePen(PS_SOLID, 1, Colour(kGrid));
    mark_pens_[0] = CreatePen(PS_DOT, 1, Colour(kMarkStart));
    mark_pens_[1] = CreatePen(PS_DOT, 1, Colour(kMarkEnd));
    plot_brush_ = CreateSolidBrush(Colour(kPlot));
    back_brush_ = CreateSolidBrush(Colour(kBack));
  }
  ~ChartWindow() override {
    ReleaseBuffer();
    for (HGDIOBJ o : {static_cast<HGDIOBJ>(font_), static_cast<HGDIOBJ>(bold_),
                      static_cast<HGDIOBJ>(grid_pen_), static_cast<HGDIOBJ>(mark_pens_[0]),
                      static_cast<HGDIOBJ>(mark_pens_[1]), static_cast<HGDIOBJ>(plot_brush_),
                      static_cast<HGDIOBJ>(back_brush_)})
      DeleteObject(o);
    for (HPEN p : pens_) DeleteObject(p);
    for (HBRUSH b : brushes_) DeleteObject(b);
  }

  void Attach(ChartModel* model) override {
    model_ = model;
    hover_ = -1;
    Redraw();
  }

  void Advance() override {
    if (!model_ || !mem_) return;
    const int width = layout_.plot.Width();
    const int64_t first = model_->FirstColumn(width);
    const int64_t shift = first - drawn_first_;
    if (!drawn_ || shift < 0 || shift >= width) return Redraw();
    if (shift > 0) {
      // The plot and its time axis move left; the columns that come in are
      // the only ones drawn.
      const ChartRect& p = layout_.plot;
      const int band = layout_.axis.bottom - p.top;
      BitBlt(mem_, p.left, p.top, width - static_cast<int>(shift), band, mem_,
             p.left + static_cast<int>(shift), p.top, SRCCOPY);
    }
    const int64_t last = first + width - 1;
    const int64_t drawn_last = drawn_first_ + width - 1;
    drawn_first_ = first;
    DrawColumns(drawn_last, drawn_last + 1, last);
    if (hover_ >= 0) DrawLegend();
    RECT band = {layout_.plot.left, hover_ >= 0 ? 0 : layout_.plot.top, layout_.plot.right,
                 layout_.axis.bottom};
    InvalidateRect(hwnd_, &band, FALSE);
  }

  void Redraw() override {
    if (!mem_) return;
    FillRect(mem_, &whole_, back_brush_);
    drawn_ = false;
    if (model_) {
      UpdateScrollBar();
      DrawScales();
      DrawLegend();
      RECT frame = {layout_.plot.left - 1, layout_.plot.top - 1, layout_.plot.right + 1,
                    layout_.plot.bottom + 1};
      HBRUSH edge = CreateSolidBrush(Colour(kFrame));
      FrameRect(mem_, &frame, edge);
      DeleteObject(edge);
      const int width = layout_.plot.Width();
      drawn_first_ = model_->FirstColumn(width);
      DrawColumns(drawn_first_, drawn_first_, drawn_first_ + width - 1);
      drawn_ = true;
    }
    InvalidateRect(hwnd_, nullptr, FALSE);
  }

  LRESULT Handle(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
      case WM_SIZE:
        Resize();
        return 0;
      case WM_ERASEBKGND:
        return 1;  // the picture in memory covers everything
      case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd_, &ps);
        Paint(dc, ps.rcPaint);
        EndPaint(hwnd_, &ps);
        return 0;
      }
      case WM_MOUSEMOVE:
        Hover(static_cast<short>(LOWORD(lp)) - layout_.plot.left,
              static_cast<short>(HIWORD(lp)));
        return 0;
      case WM_MOUSELEAVE:
        tracking_ = false;
        Hover(-1, -1);
        return 0;
      case WM_LBUTTONDOWN:
        SetFocus(hwnd_);
        return 0;
      case WM_GETDLGCODE:
        return DLGC_WANTARROWS | DLGC_WANTCHARS;
      case WM_HSCROLL:
        Scrolled(LOWORD(wp));
        return 0;
      case WM_MOUSEWHEEL: {
        POINT at = {static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))};
        ScreenToClient(hwnd_, &at);
        const double fraction =
            static_cast<double>(at.x - layout_.plot.left) / std::max(1, layout_.plot.Width());
        Zoom(static_cast<short>(HIWORD(wp)) > 0 ? 0.5 : 2.0, fraction);
        return 0;
      }
      case WM_KEYDOWN:
        Key(static_cast<int>(wp));
        return 0;
      case WM_CHAR:
        if (wp == '+') Zoom(0.5, 0.5);
        else if (wp == '-') Zoom(2.0, 0.5);
        return 0;
    }
    return DefWindowProcW(hwnd_, msg, wp, lp);
  }

 private:
  void ReleaseBuffer() {
    if (mem_) {
      SelectObject(mem_, old_bitmap_);
      DeleteDC(mem_);
    }
    if (bitmap_) DeleteObject(bitmap_);
    mem_ = nullptr;
    bitmap_ = nullptr;
  }

  void Resize() {
    ReleaseBuffer();
    GetClientRect(hwnd_, &whole_);
    if (whole_.right <= 0 || whole_.bottom <= 0) return;
    HDC dc = GetDC(hwnd_);
    mem_ = CreateCompatibleDC(dc);
    bitmap_ = CreateCompatibleBitmap(dc, whole_.right, whole_.bottom);
    ReleaseDC(hwnd_, dc);
    old_bitmap_ = SelectObject(mem_, bitmap_);
    SetBkMode(mem_, TRANSPARENT);
    layout_ = LayoutChart(whole_.right, whole_.bottom);
    Redraw();
  }

  int X(int64_t col) const { return layout_.plot.left + static_cast<int>(col - drawn_first_); }

  void Text(int x, int y, const std::string& utf8, unsigned rgb, UINT align) {
    const std::wstring w = Utf8ToWide(utf8);
    SetTextColor(mem_, Colour(rgb));
    SetTextAlign(mem_, align);
    TextOutW(mem_, x, y, w.c_str(), static_cast<int>(w.size()));
  }

  // Columns [clear_from, last] are painted anew; the lines of [from, last]
  // are drawn (a line from the last column drawn into the new ones).
  void DrawColumns(int64_t from, int64_t clear_from, int64_t last) {
    const ChartRect& p = layout_.plot;
    const ChartRect& a = layout_.axis;
    const int x0 = X(clear_from), x1 = X(last) + 1;
    const ChartSlice slice = model_->Slice(from, last, p.Width(), p.Height());
    const int saved = SaveDC(mem_);
    if (x0 < x1) {
      RECT plot = {x0, p.top, x1, p.bottom}, axis = {x0, a.top, x1, a.bottom};
      FillRect(mem_, &plot, plot_brush_);
      FillRect(mem_, &axis, back_brush_);
      IntersectClipRect(mem_, x0, p.top, x1, a.bottom);
      SelectObject(mem_, grid_pen_);
      for (int row : slice.rows) {
        MoveToEx(mem_, x0, p.top + row, nullptr);
        LineTo(mem_, x1, p.top + row);
      }
      SelectObject(mem_, font_);
      for (const ChartSlice::GridLine& g : slice.grid) {
        MoveToEx(mem_, X(g.col), p.top, nullptr);
        LineTo(mem_, X(g.col), p.bottom);
        Text(X(g.col) + 3, a.top + 1, g.label, kAxisText, TA_LEFT | TA_TOP);
      }
      for (const ChartSlice::MarkLine& m : slice.marks) {
        const bool start = m.kind == MarkKind::kCalibrationStart;
        SelectObject(mem_, mark_pens_[start ? 0 : 1]);
        MoveToEx(mem_, X(m.col), p.top, nullptr);
        LineTo(mem_, X(m.col), p.bottom);
        Text(X(m.col) + 3, p.top + 2, MarkCaption(m.kind), start ? kMarkStart : kMarkEnd,
             TA_LEFT | TA_TOP);
      }
      RestoreDC(mem_, saved);
    }
    SaveDC(mem_);
    IntersectClipRect(mem_, std::max(p.left, X(from)), p.top, std::min(p.right, x1), p.bottom);
    for (int k = 0; k < kTraces; ++k) {
      SelectObject(mem_, pens_[k]);
      for (const ChartLine& l : slice.lines[k]) {
        const int lx0 = X(l.x0), ly0 = p.top + static_cast<int>(l.y0);
        const int lx1 = X(l.x1), ly1 = p.top + static_cast<int>(l.y1);
        if (lx0 == lx1 && ly0 == ly1) {
          // A lone sample: a dot the pen's width.
          RECT dot = {lx0 - 1, ly0 - 1, lx0 + 1, ly0 + 1};
          FillRect(mem_, &dot, brushes_[k]);
          continue;
        }
        MoveToEx(mem_, lx0, ly0, nullptr);
        LineTo(mem_, lx1, ly1);
      }
    }
    RestoreDC(mem_, -1);
  }

  void DrawScales() {
    SelectObject(mem_, font_);
    const ChartRect& p = layout_.plot;
    for (Trace t : kAllTraces) {
      const ChartLayout::ScaleColumn& s = layout_.scales[static_cast<int>(t)];
      const unsigned rgb = StyleOf(t).rgb;
      for (const ScaleTick& tick : ScaleTicks(t, model_->lambda_full_scale(), p.Height())) {
        const int y = p.top + tick.y - 7;
        if (s.right_aligned) Text(s.area.right - 2, y, tick.label, rgb, TA_RIGHT | TA_TOP);
        else Text(s.area.left + 2, y, tick.label, rgb, TA_LEFT | TA_TOP);
      }
    }
  }

  // The trace names, or with the mouse over the plot the time and the four
  // values there (dashes in a gap). The control's text says the same, for
  // whatever reads windows rather than pictures.
  void DrawLegend() {
    RECT area = {layout_.legend.left, layout_.legend.top, layout_.legend.right,
                 layout_.legend.bottom};
    FillRect(mem_, &area, back_brush_);
    SelectObject(mem_, bold_);
    const int width = layout_.plot.Width();
    std::optional<ChartSample> at;
    std::string said;
    if (hover_ >= 0) {
      said = ChartTimeText(model_->TimeAt(hover_, width));
      Text(layout_.plot.left - 6, 2, said, kText, TA_RIGHT | TA_TOP);
      at = model_->SampleAt(hover_, width);
    } else if (model_->paused()) {
      said = Tr("Pausado");
      Text(layout_.plot.left - 6, 2, said, kMarkStart, TA_RIGHT | TA_TOP);
    }
    const int step = width / kTraces;
    for (int k = 0; k < kTraces; ++k) {
      const Trace t = kAllTraces[k];
      const int x = layout_.plot.left + k * step;
      RECT swatch = {x, 5, x + 10, 13};
      FillRect(mem_, &swatch, brushes_[k]);
      std::string text = TraceCaption(t);
      if (hover_ >= 0)
        text = TrFormat("{0}: {1}", {Tr(StyleOf(t).name),
                                     at ? TraceValueText(t, at->values[k]) : std::string("—")});
      Text(x + 14, 2, text, kText, TA_LEFT | TA_TOP);
      said += (said.empty() ? "" : "; ") + text;
    }
    SetWindowTextW(hwnd_, Utf8ToWide(said).c_str());
  }

  void Paint(HDC dc, const RECT& area) {
    if (!mem_) {
      FillRect(dc, &area, back_brush_);
      return;
    }
    BitBlt(dc, area.left, area.top, area.right - area.left, area.bottom - area.top, mem_,
           area.left, area.top, SRCCOPY);
    if (hover_ >= 0) {
      HPEN pen = CreatePen(PS_SOLID, 1, Colour(kCursor));
      HGDIOBJ old = SelectObject(dc, pen);
      const int x = layout_.plot.left + hover_;
      MoveToEx(dc, x, layout_.plot.top, nullptr);
      LineTo(dc, x, layout_.plot.bottom);
      SelectObject(dc, old);
      DeleteObject(pen);
    }
  }

  void Hover(int x, int y) {
    const ChartRect& p = layout_.plot;
    const int was = hover_;
    hover_ = model_ && x >= 0 && x < p.Width() && y >= p.top && y < p.bottom ? x : -1;
    if (hover_ >= 0 && !tracking_) {
      TRACKMOUSEEVENT track = {sizeof track, TME_LEAVE, hwnd_, 0};
      tracking_ = TrackMouseEvent(&track) != FALSE;
    }
    if (hover_ == was || !mem_ || !model_) return;
    DrawLegend();
    RECT legend = {layout_.legend.left, layout_.legend.top, layout_.legend.right,
                   layout_.legend.bottom};
    InvalidateRect(hwnd_, &legend, FALSE);
    for (int column : {was, hover_}) {
      if (column < 0) continue;
      RECT line = {p.left + column, p.top, p.left + column + 1, p.bottom};
      InvalidateRect(hwnd_, &line, FALSE);
    }
  }

  // ---- a recorded run: scrolling and zooming -------------------------------------

  bool Recorded() const { return model_ && !model_->live(); }

  void UpdateScrollBar() {
    if (!(GetWindowLongPtrW(hwnd_, GWL_STYLE) & WS_HSCROLL)) return;
    SCROLLINFO si = {};
    si.cbSize = sizeof si;
    si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_DISABLENOSCROLL;
    if (Recorded()) {
      const int64_t begin = model_->run_begin();
      si.nMax = static_cast<int>((model_->run_end() - begin) / kScrollUnitMs);
      si.nPage = static_cast<UINT>(model_->span() / kScrollUnitMs + 1);
      si.nPos = static_cast<int>((model_->start() - begin) / kScrollUnitMs);
    }
    SetScrollInfo(hwnd_, SB_HORZ, &si, TRUE);
  }

  void ScrollBy(int64_t ms) {
    if (!Recorded()) return;
    model_->ScrollTo(model_->start() + ms);
    Redraw();
  }

  void Scrolled(int code) {
    if (!Recorded()) return;
    const int64_t span = model_->span();
    switch (code) {
      case SB_LINELEFT: return ScrollBy(-span / 10);
      case SB_LINERIGHT: return ScrollBy(span / 10);
      case SB_PAGELEFT: return ScrollBy(-span * 9 / 10);
      case SB_PAGERIGHT: return ScrollBy(span * 9 / 10);
      case SB_LEFT: return ScrollBy(-static_cast<int64_t>(model_->run_end()));
      case SB_RIGHT: return ScrollBy(model_->run_end());
      case SB_THUMBTRACK:
      case SB_THUMBPOSITION: {
        SCROLLINFO si = {};
        si.cbSize = sizeof si;
        si.fMask = SIF_TRACKPOS;
        GetScrollInfo(hwnd_, SB_HORZ, &si);
        model_->ScrollTo(model_->run_begin() + static_cast<int64_t>(si.nTrackPos) * kScrollUnitMs);
        return Redraw();
      }
    }
  }

  void Zoom(double factor, double fraction) {
    if (!Recorded()) return;
    model_->ZoomAt(factor, fraction);
    Redraw();
  }

  void Key(int key) {
    switch (key) {
      case VK_LEFT: return Scrolled(SB_LINELEFT);
      case VK_RIGHT: return Scrolled(SB_LINERIGHT);
      case VK_PRIOR: return Scrolled(SB_PAGELEFT);
      case VK_NEXT: return Scrolled(SB_PAGERIGHT);
      case VK_HOME: return Scrolled(SB_LEFT);
      case VK_END: return Scrolled(SB_RIGHT);
      case VK_ADD: return Zoom(0.5, 0.5);
      case VK_SUBTRACT: return Zoom(2.0, 0.5);
    }
  }

  HWND hwnd_;
  ChartModel* model_ = nullptr;
  HDC mem_ = nullptr;
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ old_bitmap_ = nullptr;
  RECT whole_ = {};
  ChartLayout layout_;
  bool drawn_ = false;
  int64_t drawn_first_ = 0;  // the absolute column at the plot's left edge
  int hover_ = -1;           // plot column under the mouse, -1 for none
  bool tracking_ = false;
  HFONT font_, bold_;
  std::array<HPEN, kTraces> pens_{};
  std::array<HBRUSH, kTraces> brushes_{};
  HPEN grid_pen_, mark_pens_[2];
  HBRUSH plot_brush_, back_brush_;
};

LRESULT CALLBACK ChartProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  auto* chart = reinterpret_cast<ChartWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (msg == WM_NCCREATE) {
    chart = new ChartWindow(hwnd);
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(chart));
  } else if (msg == WM_CREATE) {
    Controls()[GetDlgCtrlID(hwnd)] = chart;
  } else if (msg == WM_NCDESTROY && chart) {
    auto it = Controls().find(GetDlgCtrlID(hwnd));
    if (it != Controls().end() && it->second == chart) Controls().erase(it);
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    delete chart;
    return DefWindowProcW(hwnd, msg, wp, lp);
  }
  return chart ? chart->Handle(msg, wp, lp) : DefWindowProcW(hwnd, msg, wp, lp);
}

}  // namespace

void PrepareChartCanvas() {
  WNDCLASSEXW wc = {};
  wc.cbSize = sizeof wc;
  if (GetClassInfoExW(GetModuleHandleW(nullptr), kClassName, &wc)) return;
  wc.style = CS_HREDRAW | CS_VREDRAW;
  wc.lpfnWndProc = ChartProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.hCursor = LoadCursorW(nullptr, IDC_CROSS);
  wc.lpszClassName = kClassName;
  RegisterClassExW(&wc);
}

ChartCanvas* FindChartCanvas(int control_id) {
  auto it = Controls().find(control_id);
  return it == Controls().end() ? nullptr : it->second;
}

}  // namespace kova
