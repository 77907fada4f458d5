#include "shell/win32/controls.h"

#include <clocale>

#include "common/cp1252.h"
#include "common/texts.h"
#include "shell/win32/dialog_view.h"
#include "shell/win32/language_art.h"

namespace kova {

// ---- bitmap button ------------------------------------------------------

void BitmapButton::Release() {
  if (list_) ImageList_Destroy(list_);
  if (image_) DeleteObject(image_);
  if (disabled_) DeleteObject(disabled_);
  list_ = nullptr;
  image_ = disabled_ = nullptr;
  loaded_ = false;
}

bool BitmapButton::SetBitmaps(HINSTANCE instance, int bitmap_id, COLORREF mask, double scale) {
  Release();
  bitmap_id = LanguageBitmap(instance, bitmap_id);
  image_ = static_cast<HBITMAP>(
      LoadImageW(instance, MAKEINTRESOURCEW(bitmap_id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
  if (!image_) return false;
  // The disabled picture: the mask colour mapped to white, embossed when drawn.
  COLORMAP map = {mask, RGB(255, 255, 255)};
  disabled_ = CreateMappedBitmap(instance, bitmap_id, 0, &map, 1);
  if (scale < 1.0) {
    for (HBITMAP* b : {&image_, &disabled_}) {
      if (HBITMAP smaller = *b ? ScaledCopy(*b, scale, false) : nullptr) {
        DeleteObject(*b);
        *b = smaller;
      }
    }
  }
  BITMAP bm = {};
  GetObjectW(image_, sizeof bm, &bm);
  width_ = bm.bmWidth;
  height_ = bm.bmHeight;
  list_ = ImageList_Create(width_, height_, ILC_COLOR24 | ILC_MASK, 1, 0);
  if (list_) {
    // AddMasked blackens the mask colour in its argument: give it a copy.
    HBITMAP copy = static_cast<HBITMAP>(CopyImage(image_, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    ImageList_AddMasked(list_, copy ? copy : image_, mask);
    if (copy) DeleteObject(copy);
  }
  loaded_ = true;
  Relayout();
  return true;
}

void BitmapButton::SetStyle(unsigned style) {
  style_ = style;
  Relayout();
}

void BitmapButton::Relayout() {
  if (!button_) return;
  RECT rc;
  GetClientRect(button_, &rc);
  layout_ = ComputeButtonLayout(rc.right, rc.bottom, width_, height_, style_);
  InvalidateRect(button_, nullptr, FALSE);
}

void BitmapButton::Draw(const DRAWITEMSTRUCT& item) {
  if (item.CtlType != ODT_BUTTON) return;
  HDC dc = item.hDC;
  RECT r = item.rcItem;
  bool pressed = item.itemState & ODS_SELECTED;
  bool focused = item.itemState & ODS_FOCUS;
  bool enabled = !(item.itemState & ODS_DISABLED);

  HWND parent = GetParent(button_);
  HFONT font = parent ? reinterpret_cast<HFONT>(SendMessageW(parent, WM_GETFONT, 0, 0)) : nullptr;
  if (!font) font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  HGDIOBJ old_font = SelectObject(dc, font);

  FillRect(dc, &r, GetSysColorBrush(COLOR_BTNFACE));
  if (!pressed) {
    RECT f = r;
    DrawFrameControl(dc, &f, DFC_BUTTON, DFCS_BUTTONPUSH);
  }
  HBRUSH black = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
  if (enabled && focused) FrameRect(dc, &r, black);
  if (enabled && pressed) {
    RECT inner = r;
    if (focused) InflateRect(&inner, -1, -1);
    FrameRect(dc, &inner, black);
  }
  if (focused || (item.itemAction & ODA_FOCUS)) {
    Rect ff = FocusFrame({r.left, r.top, r.right, r.bottom}, layout_, style_);
    RECT fr = {ff.left, ff.top, ff.right, ff.bottom};
    if (focused) DrawFocusRect(dc, &fr);
  }
  if (loaded_) {
    int x = layout_.image.left + (pressed ? 1 : 0);
    int y = layout_.image.top + (pressed ? 1 : 0);
    if (enabled && list_)
      ImageList_Draw(list_, 0, dc, x, y, ILD_TRANSPARENT);
    else if (disabled_)
      DrawStateW(dc, nullptr, nullptr, reinterpret_cast<LPARAM>(disabled_), 0, x, y, width_,
                 height_, DST_BITMAP | DSS_DISABLED);
  }
  if (style_ & kButtonText) {
    wchar_t text[256] = {};
    GetWindowTextW(button_, text, 256);
    RECT tr = {layout_.text.left, layout_.text.top, layout_.text.right, layout_.text.bottom};
    int mode = SetBkMode(dc, TRANSPARENT);
    UINT fmt = DT_SINGLELINE | DT_CENTER | DT_VCENTER;
    if (enabled) {
      SetTextColor(dc, text_colour_);
      DrawTextW(dc, text, -1, &tr, fmt);
    } else {
      OffsetRect(&tr, 1, 1);
      SetTextColor(dc, GetSysColor(COLOR_3DHILIGHT));
      DrawTextW(dc, text, -1, &tr, fmt);
      OffsetRect(&tr, -1, -1);
      SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
      DrawTextW(dc, text, -1, &tr, fmt);
    }
    SetBkMode(dc, mode);
  }
  SelectObject(dc, old_font);
}

// ---- font label ---------------------------------------------------------

HFONT CreateLabelFont(const std::wstring& face, int height, const LabelStyle& style) {
  return CreateFontW(height, 0, 0, 0, style.Weight(), style.italic, style.underline, style.strike,
                     DEFAULT_CHARSET, OUT_CHARACTER_PRECIS, CLIP_CHARACTER_PRECIS,
                     style.antialias ? ANTIALIASED_QUALITY : DEFAULT_QUALITY,
                     DEFAULT_PITCH | FF_DONTCARE, face.c_str());
}

FontLabel::~FontLabel() {
  if (label_) RemoveWindowSubclass(label_, Proc, reinterpret_cast<UINT_PTR>(this));
}

void FontLabel::Attach(HWND label) {
  label_ = label;
  LONG_PTR style = GetWindowLongPtrW(label, GWL_STYLE);
  SetWindowLongPtrW(label, GWL_STYLE, style | SS_NOTIFY);
  SetWindowSubclass(label, Proc, reinterpret_cast<UINT_PTR>(this), 0);
}

void FontLabel::SetFont(const std::wstring& face, int height, COLORREF colour, unsigned flags) {
  face_ = face;
  height_ = height;
  colour_ = colour;
  style_.Apply(flags);
  if (label_) InvalidateRect(label_, nullptr, TRUE);
}

void FontLabel::SetColour(COLORREF colour) {
  colour_ = colour;
  if (label_) InvalidateRect(label_, nullptr, TRUE);
}

LRESULT CALLBACK FontLabel::Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id,
                                 DWORD_PTR) {
  auto* self = reinterpret_cast<FontLabel*>(id);
  switch (msg) {
    case WM_PAINT:
      self->Paint();
      return 0;
    case WM_ERASEBKGND:
      return 1;
    case WM_SETTEXT:
      self->text_.clear();  // taken from the window again at the next paint
      InvalidateRect(hwnd, nullptr, TRUE);
      break;
    case WM_NCDESTROY:
      RemoveWindowSubclass(hwnd, Proc, id);
      self->label_ = nullptr;
      break;
  }
  return DefSubclassProc(hwnd, msg, wp, lp);
}

void FontLabel::Paint() {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(label_, &ps);
  if (text_.empty()) {
    int n = GetWindowTextLengthW(label_);
    text_.assign(static_cast<size_t>(n) + 1, L'\0');
    text_.resize(static_cast<size_t>(GetWindowTextW(label_, text_.data(), n + 1)));
  }
  PaintParentBackground(label_, dc);
  SetTextColor(dc, colour_);
  SetBkMode(dc, TRANSPARENT);
  HFONT font = CreateLabelFont(face_, height_, style_);
  if (!font) {
    EndPaint(label_, &ps);
    MessageBoxW(GetParent(label_), Utf8ToWide(Tr("Font could not be created!")).c_str(), kAppCaption,
                MB_OK);
    return;
  }
  HGDIOBJ old = SelectObject(dc, font);
  RECT rc;
  GetClientRect(label_, &rc);
  UINT align = style_.align == Align::Centre  ? DT_CENTER
               : style_.align == Align::Right ? DT_RIGHT
                                              : DT_LEFT;
  DrawTextW(dc, text_.c_str(), -1, &rc, DT_WORDBREAK | DT_NOPREFIX | align);
  SelectObject(dc, old);
  DeleteObject(font);
  EndPaint(label_, &ps);
}

// ---- floating-point spin control ---------------------------------------

namespace {
char LocaleDecimalPoint() {
  const lconv* lc = std::localeconv();
  return lc && lc->decimal_point && lc->decimal_point[0] ? lc->decimal_point[0] : '.';
}
}  // namespace

FloatSpinControl::FloatSpinControl() : model_(LocaleDecimalPoint()) {}

void FloatSpinControl::Attach(HWND updown) {
  updown_ = updown;
  SetRangeAndStep(model_.min(), model_.max(), model_.step());
}

HWND FloatSpinControl::Buddy() const {
  return updown_ ? reinterpret_cast<HWND>(SendMessageW(updown_, UDM_GETBUDDY, 0, 0)) : nullptr;
}

void FloatSpinControl::SetRangeAndStep(double min, double max, double step) {
  model_.SetRangeAndStep(min, max, step);
  if (updown_) SendMessageW(updown_, UDM_SETRANGE32, 0, model_.positions());
  SetPosition(value_);
}

void FloatSpinControl::SetPosition(double value) {
  value_ = value;
  if (HWND buddy = Buddy()) SetWindowTextW(buddy, Utf8ToWide(model_.Format(value)).c_str());
  if (updown_ && model_.max() != model_.min())
    SendMessageW(updown_, UDM_SETPOS32, 0, model_.IntegerPosition(value));
}

double FloatSpinControl::GetPosition() const {
  HWND buddy = Buddy();
  if (!buddy) return 0.0;
  wchar_t text[64] = {};
  GetWindowTextW(buddy, text, 64);
  return model_.Parse(WideToUtf8(text));
}

LRESULT FloatSpinControl::OnDeltaPos(const NMUPDOWN& change) {
  bool wrap = updown_ && (GetWindowLongPtrW(updown_, GWL_STYLE) & UDS_WRAP);
  SetPosition(model_.Step(GetPosition(), change.iDelta, wrap));
  return 0;
}

// ---- splash -------------------------------------------------------------

namespace splash {
namespace {

constexpr UINT_PTR kTimer = 1;
constexpr UINT kMilliseconds = 1000;
bool g_allowed = true;

class Splash {
 public:
  static Splash* current;
  explicit Splash(HBITMAP bitmap) : bitmap_(bitmap) { current = this; }
  ~Splash() {
    if (bitmap_) DeleteObject(bitmap_);
    current = nullptr;
  }
  HWND hwnd = nullptr;
  HWND owner = nullptr;
  HBITMAP bitmap_;

  void Hide() {
    HWND o = owner;
    if (hwnd) DestroyWindow(hwnd);  // deletes this at WM_NCDESTROY
    if (o && IsWindow(o)) {
      InvalidateRect(o, nullptr, TRUE);
      UpdateWindow(o);
    }
  }
};
Splash* Splash::current = nullptr;

LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  auto* self = reinterpret_cast<Splash*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  switch (msg) {
    case WM_NCCREATE: {
      auto* cs = reinterpret_cast<CREATESTRUCTW*>(lp);
      SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(cs->lpCreateParams));
      break;
    }
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd, &ps);
      if (self && self->bitmap_) {
        HDC mem = CreateCompatibleDC(dc);
        HGDIOBJ old = SelectObject(mem, self->bitmap_);
        BITMAP bm = {};
        GetObjectW(self->bitmap_, sizeof bm, &bm);
        BitBlt(dc, 0, 0, bm.bmWidth, bm.bmHeight, mem, 0, 0, SRCCOPY);
        SelectObject(mem, old);
        DeleteDC(mem);
      }
      EndPaint(hwnd, &ps);
      return 0;
    }
    case WM_TIMER:
      if (self) self->Hide();
      return 0;
    case WM_NCDESTROY:
      KillTimer(hwnd, kTimer);
      delete self;
      SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
      break;
  }
  return DefWindowProcW(hwnd, msg, wp, lp);
}

}  // namespace

void Enable(bool allowed) { g_allowed = allowed; }

bool Visible() { return Splash::current && Splash::current->hwnd; }

void Show(HINSTANCE instance, HWND parent, int bitmap_id) {
  if (!g_allowed || Splash::current) return;
  static bool registered = false;
  if (!registered) {
    WNDCLASSW wc = {};
    wc.lpfnWndProc = Proc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = nullptr;
    wc.lpszClassName = L"KovaSplash";
    registered = RegisterClassW(&wc) != 0;
  }
  HBITMAP bmp = LoadLanguagePicture(instance, bitmap_id);
  if (!bmp) return;
  BITMAP bm = {};
  GetObjectW(bmp, sizeof bm, &bm);
  auto* s = new Splash(bmp);
  s->owner = parent;
  int x = (GetSystemMetrics(SM_CXSCREEN) - bm.bmWidth) / 2;
  int y = (GetSystemMetrics(SM_CYSCREEN) - bm.bmHeight) / 2;
  s->hwnd = CreateWindowExW(WS_EX_TOOLWINDOW, L"KovaSplash", L"", WS_POPUP | WS_VISIBLE, x, y,
                            bm.bmWidth, bm.bmHeight, parent, nullptr, instance, s);
  if (!s->hwnd) {
    delete s;
    return;
  }
  SetTimer(s->hwnd, kTimer, kMilliseconds, nullptr);
  UpdateWindow(s->hwnd);
}

bool PreTranslate(const MSG& msg) {
  if (!Visible()) return false;
  switch (msg.message) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_NCLBUTTONDOWN:
    case WM_NCRBUTTONDOWN:
    case WM_NCMBUTTONDOWN:
      Splash::current->Hide();
      return true;
  }
  return false;
}

}  // namespace splash

HBITMAP ScaledCopy(HBITMAP bitmap, double scale, bool smooth) {
  BITMAP bm = {};
  if (!GetObjectW(bitmap, sizeof bm, &bm) || bm.bmWidth <= 0 || bm.bmHeight <= 0) return nullptr;
  const int w = static_cast<int>(bm.bmWidth * scale + 0.5), h = static_cast<int>(bm.bmHeight * scale + 0.5);
  if (w <= 0 || h <= 0) return nullptr;
  HDC screen = GetDC(nullptr);
  HDC from = CreateCompatibleDC(screen), to = CreateCompatibleDC(screen);
  HBITMAP out = CreateCompatibleBitmap(screen, w, h);
  if (out) {
    HGDIOBJ old_from = SelectObject(from, bitmap), old_to = SelectObject(to, out);
    SetStretchBltMode(to, smooth ? HALFTONE : COLORONCOLOR);
    SetBrushOrgEx(to, 0, 0, nullptr);
    StretchBlt(to, 0, 0, w, h, from, 0, 0, bm.bmWidth, bm.bmHeight, SRCCOPY);
    SelectObject(from, old_from);
    SelectObject(to, old_to);
  }
  DeleteDC(from);
  DeleteDC(to);
  ReleaseDC(nullptr, screen);
  return out;
}

}  // namespace kova
