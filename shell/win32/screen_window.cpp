#include "shell/win32/screen_window.h"

#include <commctrl.h>

#include <utility>

#include "common/cp1252.h"
#include "common/texts.h"
#include "resources/control_ids.h"
#include "shell/win32/controls.h"
#include "shell/win32/dialog_view.h"
#include "shell/window_placement.h"
#include "shell/win32/language_art.h"

namespace kova {
namespace {

ShellResources g_resources;
uint8_t g_own_ctrl_flag = 0;
// The screen whose loop runs now: a screen opened from its handlers (the
// monitor panel from a data screen) is owned by it and disables it.
ScreenWindow* g_active = nullptr;
// Messages a transaction's wait took from the queue that must not run
// inside it; posted again when the screen's loop takes its next message.
std::vector<MSG> g_held;
// Where the last screen stood: the next one opens on the same monitor.
POINT g_last_centre = {0, 0};
// The PC woke up while a transaction ran: the port is set up again once it
// is over.
bool g_resume_pending = false;

constexpr COLORREF kButtonTextColour = RGB(200, 0, 0);
constexpr COLORREF kButtonMask = RGB(255, 255, 255);
// The status line while a screen that just showed gets ready.
constexpr char kOpeningStatus[] = "Aguarde…";

uint8_t& CtrlFlag() { return g_resources.ctrl_flag ? *g_resources.ctrl_flag : g_own_ctrl_flag; }

bool IsCloseRequest(const MSG& m) {
  return m.message == WM_CLOSE || (m.message == WM_SYSCOMMAND && (m.wParam & 0xFFF0) == SC_CLOSE);
}

// Input for a window whose top-level window is disabled: a screen under
// the one in front.
bool ForDisabledWindow(const MSG& m) {
  if (!m.hwnd || !IsInputMessage(m)) return false;
  HWND root = GetAncestor(m.hwnd, GA_ROOT);
  return root && !IsWindowEnabled(root);
}

void PostHeldMessages() {
  for (const MSG& m : std::exchange(g_held, {})) PostMessageW(m.hwnd, m.message, m.wParam, m.lParam);
}

RECT WorkAreaFor(HWND owner) {
  HMONITOR monitor = owner ? MonitorFromWindow(owner, MONITOR_DEFAULTTONEAREST)
                           : MonitorFromPoint(g_last_centre, MONITOR_DEFAULTTOPRIMARY);
  MONITORINFO info = {};
  info.cbSize = sizeof info;
  if (monitor && GetMonitorInfoW(monitor, &info)) return info.rcWork;
  RECT work = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  return work;
}

}  // namespace

void SetShellResources(const ShellResources& resources) { g_resources = resources; }
const ShellResources& GetShellResources() { return g_resources; }

struct ScreenWindow::Impl {
  std::unique_ptr<DialogView> view;
  std::vector<std::unique_ptr<BitmapButton>> buttons;
  std::vector<std::unique_ptr<FontLabel>> labels;
  std::vector<std::unique_ptr<FloatSpinControl>> spins;
  std::vector<std::wstring> tip_texts;  // the tooltip keeps pointers to these
  HWND tooltip = nullptr;
  HFONT field_font = nullptr;  // the field font shrunk with the window
  ~Impl() {
    if (field_font) DeleteObject(field_font);
  }
};

ScreenWindow::ScreenWindow(ScreenDesign design, ScreenLogic& logic)
    : design_(std::move(design)), logic_(logic), impl_(std::make_unique<Impl>()) {}

ScreenWindow::~ScreenWindow() {
  if (hwnd_) DestroyWindow(hwnd_);
  ReleaseBackground();
}

void ScreenWindow::SetBackgroundMode(int mode) {
  if (mode < 0 || mode > 2) return;
  mode_ = static_cast<BackgroundMode>(mode);
}

bool ScreenWindow::LoadBackground(int bitmap_id) {
  ReleaseBackground();
  if (bitmap_id <= 0) return false;
  background_ = LoadLanguagePicture(g_resources.instance, bitmap_id);
  if (background_) background_id_ = bitmap_id;
  // A window shrunk to fit the screen shows its picture shrunk with it,
  // once, rather than stretching it at every paint.
  if (background_ && scale_ < 1.0) {
    if (HBITMAP smaller = ScaledCopy(background_, scale_, true)) {
      DeleteObject(background_);
      background_ = smaller;
    }
  }
  return background_ != nullptr;
}

void ScreenWindow::ReleaseBackground() {
  if (background_) DeleteObject(background_);
  background_ = nullptr;
}

void ScreenWindow::PaintBackground(HDC dc, const RECT& area, POINT offset) const {
  if (!background_) {
    FillRect(dc, &area, GetSysColorBrush(COLOR_3DFACE));
    return;
  }
  BITMAP bm = {};
  GetObjectW(background_, sizeof bm, &bm);
  if (bm.bmWidth <= 0 || bm.bmHeight <= 0) return;
  HDC mem = CreateCompatibleDC(dc);
  HGDIOBJ old = SelectObject(mem, background_);
  RECT client = {};
  GetClientRect(hwnd_, &client);
  switch (mode_) {
    case BackgroundMode::Tile: {
      // Tiles sit at multiples of the picture size in the screen's client
      // area; `offset` moves them into the caller's coordinates.
      int x0 = (offset.x / bm.bmWidth) * bm.bmWidth;
      int y0 = (offset.y / bm.bmHeight) * bm.bmHeight;
      for (int y = y0; y - offset.y < area.bottom; y += bm.bmHeight)
        for (int x = x0; x - offset.x < area.right; x += bm.bmWidth)
          BitBlt(dc, x - offset.x, y - offset.y, bm.bmWidth, bm.bmHeight, mem, 0, 0, SRCCOPY);
      break;
    }
    case BackgroundMode::Centre: {
      FillRect(dc, &area, GetSysColorBrush(COLOR_3DFACE));
      int x = bm.bmWidth < client.right ? (client.right - bm.bmWidth) / 2 : 0;
      int y = bm.bmHeight < client.bottom ? (client.bottom - bm.bmHeight) / 2 : 0;
      BitBlt(dc, x - offset.x, y - offset.y, bm.bmWidth, bm.bmHeight, mem, 0, 0, SRCCOPY);
      break;
    }
    case BackgroundMode::Stretch:
      SetStretchBltMode(dc, COLORONCOLOR);
      StretchBlt(dc, -offset.x, -offset.y, client.right, client.bottom, mem, 0, 0, bm.bmWidth,
                 bm.bmHeight, SRCCOPY);
      break;
  }
  SelectObject(mem, old);
  DeleteDC(mem);
}

void PaintParentBackground(HWND child, HDC dc) {
  HWND parent = GetParent(child);
  RECT rc;
  GetClientRect(child, &rc);
  auto* screen = parent ? reinterpret_cast<ScreenWindow*>(GetWindowLongPtrW(parent, DWLP_USER)) : nullptr;
  if (!screen) {
    FillRect(dc, &rc, GetSysColorBrush(COLOR_3DFACE));
    return;
  }
  POINT origin = {0, 0};
  MapWindowPoints(child, parent, &origin, 1);
  screen->PaintBackground(dc, rc, origin);
}

void ScreenWindow::End(int result) {
  ended_ = true;
  result_ = result;
}

void ScreenWindow::SetSpinRange(int spin, double min, double max, double step, int decimals) {
  HWND c = hwnd_ ? GetDlgItem(hwnd_, spin) : nullptr;
  if (!c) return;
  FloatSpinControl* found = nullptr;
  for (auto& sp : impl_->spins)
    if (sp->hwnd() == c) found = sp.get();
  if (!found) {
    impl_->spins.push_back(std::make_unique<FloatSpinControl>());
    found = impl_->spins.back().get();
    found->SetDecimals(decimals);
    found->Attach(c);
  }
  found->SetDecimals(decimals);
  // The buddy keeps what it shows; only the arrows' range and step change.
  HWND buddy = reinterpret_cast<HWND>(SendMessageW(c, UDM_GETBUDDY, 0, 0));
  std::wstring text;
  if (buddy) {
    int n = GetWindowTextLengthW(buddy);
    text.assign(static_cast<size_t>(n) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(buddy, text.data(), n + 1)));
  }
  found->SetRangeAndStep(min, max, step);
  if (buddy) SetWindowTextW(buddy, text.c_str());
}

void ScreenWindow::SetSpinValue(int spin, double value) {
  HWND c = hwnd_ ? GetDlgItem(hwnd_, spin) : nullptr;
  for (auto& sp : impl_->spins)
    if (c && sp->hwnd() == c) return sp->SetPosition(value);
}

void ScreenWindow::SetBackground(int bitmap) {
  LoadBackground(bitmap);
  if (hwnd_) RedrawWindow(hwnd_, nullptr, nullptr, RDW_ERASE | RDW_INVALIDATE | RDW_ALLCHILDREN);
}

void ScreenWindow::SetLabelColour(int id, unsigned rgb) {
  HWND c = hwnd_ ? GetDlgItem(hwnd_, id) : nullptr;
  for (auto& l : impl_->labels)
    if (c && l->hwnd() == c) l->SetColour(rgb);
}

void ScreenWindow::SetBusy(const std::string& status) {
  busy_ = status;
  ShowBusy();
}

void ScreenWindow::Resumed() {
  if (g_resources.power && g_resources.power(false) && impl_->view)
    logic_.OnPortReopened(*impl_->view);
}

void ScreenWindow::ShowBusy() {
  const bool busy = Busy();
  if (hwnd_ && busy != shown_busy_) {
    // Windows asks before it ends the session; meanwhile it shows why.
    if (busy)
      ShutdownBlockReasonCreate(hwnd_, Utf8ToWide(ShownText(kWritingController)).c_str());
    else
      ShutdownBlockReasonDestroy(hwnd_);
    shown_busy_ = busy;
  }
  if (!busy && g_resume_pending) {
    g_resume_pending = false;
    Resumed();
  }
  if (!hwnd_) return;
  const std::string text = busy_.empty() && opening_ ? std::string(kOpeningStatus) : busy_;
  if (HWND line = GetDlgItem(hwnd_, IDC_STATUS)) {
    SetWindowTextW(line, Utf8ToWide(text).c_str());
    ShowWindow(line, busy ? SW_SHOW : SW_HIDE);
  }
  SetCursor(LoadCursorW(nullptr, busy ? IDC_WAIT : IDC_ARROW));
  UpdateWindow(hwnd_);
}

void ScreenWindow::Dispatch(MSG& msg) {
  if (PreTranslate(msg)) return;
  if (!hwnd_ || !IsDialogMessageW(hwnd_, &msg)) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

bool PumpPendingMessages(bool input) {
  MSG msg;
  const bool busy = g_active && g_active->Busy();
  // A transaction that shows it is busy refuses what the user does
  // meanwhile; the status line and the wait cursor say why.
  if (!input && busy)
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE | PM_QS_INPUT)) {
    }
  // Otherwise a wait leaves keyboard and mouse input in the queue.
  const UINT only = input ? 0 : PM_QS_PAINT | PM_QS_POSTMESSAGE | PM_QS_SENDMESSAGE;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE | only)) {
    if (msg.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(msg.wParam));
      return false;
    }
    if (ForDisabledWindow(msg)) continue;
    if (!input) {
      if (msg.message == WM_TIMER) continue;
      // Posted by another program (a test, the taskbar): as the user's own.
      const bool close = IsCloseRequest(msg);
      if (busy && (close || IsInputMessage(msg))) continue;
      if (close || IsInputMessage(msg) || msg.message == WM_COMMAND || msg.message == WM_SYSCOMMAND) {
        g_held.push_back(msg);
        continue;
      }
    }
    if (g_active) {
      g_active->Dispatch(msg);
    } else {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  }
  return true;
}

int ScreenWindow::Run(HWND owner) {
  ended_ = false;
  result_ = kScreenExit;
  impl_ = std::make_unique<Impl>();
  if (!owner && g_active) owner = g_active->hwnd_;
  owner_ = owner;
  // The screen underneath takes no input from now on, even while this one
  // is still being set up (its first drawing lets messages through).
  bool owner_enabled = owner && IsWindowEnabled(owner);
  if (owner_enabled) EnableWindow(owner, FALSE);
  ScreenWindow* outer = g_active;
  g_active = this;
  hwnd_ = CreateDialogParamW(g_resources.instance, MAKEINTRESOURCEW(design_.template_id), owner,
                             DialogProc, reinterpret_cast<LPARAM>(this));
  if (hwnd_) {
    // Seen at once, saying it is getting ready; what the logic then reads
    // or asks shows on the status line, and input waits until it is done.
    opening_ = true;
    ShowBusy();
    ShowWindow(hwnd_, SW_SHOW);
    UpdateWindow(hwnd_);
    logic_.OnInit(*impl_->view);
    // The logic may have chosen another picture than the one shown.
    if (!ended_ && design_.background && design_.background() != background_id_)
      SetBackground(design_.background());
    opening_ = false;
    ShowBusy();
  } else {
    End(kScreenExit);  // no template: nothing sensible to show
  }
  MSG msg;
  while (!ended_) {
    PostHeldMessages();
    BOOL got = GetMessageW(&msg, nullptr, 0, 0);
    if (got == 0) {  // WM_QUIT: leave the application
      PostQuitMessage(static_cast<int>(msg.wParam));
      End(kScreenExit);
      break;
    }
    if (got == -1) break;
    if (ForDisabledWindow(msg)) continue;
    Dispatch(msg);
  }
  g_active = outer;
  if (owner_enabled) {
    EnableWindow(owner, TRUE);
    SetActiveWindow(owner);
  }
  if (hwnd_) DestroyWindow(hwnd_);
  hwnd_ = nullptr;
  owner_ = nullptr;
  ReleaseBackground();
  background_id_ = 0;
  impl_ = std::make_unique<Impl>();
  return result_;
}

bool ScreenWindow::PreTranslate(MSG& msg) {
  if (splash::PreTranslate(msg)) return true;
  if (impl_->tooltip && msg.message >= WM_MOUSEFIRST && msg.message <= WM_MOUSELAST)
    SendMessageW(impl_->tooltip, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&msg));
  uint8_t& ctrl = CtrlFlag();
  if (msg.message == WM_KEYDOWN || msg.message == WM_KEYUP) {
    // The Ctrl key as it was when this key came, not a flag kept from
    // key-ups that may have gone elsewhere (another window, a wait that
    // refused them).
    ctrl = (GetKeyState(VK_CONTROL) & 0x8000) ? 1 : 0;
  }
  if (msg.message == WM_KEYDOWN) {
    if (impl_->view && (msg.hwnd == hwnd_ || IsChild(hwnd_, msg.hwnd)) &&
        logic_.OnKey(*impl_->view, static_cast<int>(msg.wParam)))
      return true;
    if (ctrl && logic_.HasCtrlShortcuts() && (msg.wParam == VK_RIGHT || msg.wParam == VK_LEFT)) {
      if (msg.wParam == VK_RIGHT)
        logic_.OnNext(*impl_->view);
      else
        logic_.OnReturn(*impl_->view);
      return true;
    }
  }
  return false;
}

namespace {

bool IsCombo(LPARAM control) {
  wchar_t cls[16] = {};
  return control && GetClassNameW(reinterpret_cast<HWND>(control), cls, 16) &&
         lstrcmpiW(cls, L"ComboBox") == 0;
}

// The template's own texts (titles, ranges, units) in the chosen language;
// lists and edit boxes hold none of its words.
BOOL CALLBACK TranslateChild(HWND child, LPARAM) {
  wchar_t cls[16] = {};
  GetClassNameW(child, cls, 16);
  if (lstrcmpiW(cls, L"Static") != 0 && lstrcmpiW(cls, L"Button") != 0) return TRUE;
  int n = GetWindowTextLengthW(child);
  if (n <= 0) return TRUE;
  std::wstring text(static_cast<size_t>(n) + 1, L'\0');
  text.resize(static_cast<size_t>(GetWindowTextW(child, text.data(), n + 1)));
  std::wstring shown = Utf8ToWide(ShownText(WideToUtf8(text)));
  if (shown != text) SetWindowTextW(child, shown.c_str());
  return TRUE;
}

struct FitScale {
  HWND dialog;
  double sx, sy;
};

BOOL CALLBACK FitChild(HWND child, LPARAM lp) {
  auto* f = reinterpret_cast<FitScale*>(lp);
  if (GetParent(child) != f->dialog) return TRUE;
  RECT r;
  GetWindowRect(child, &r);
  MapWindowPoints(nullptr, f->dialog, reinterpret_cast<POINT*>(&r), 2);
  wchar_t cls[16] = {};
  GetClassNameW(child, cls, 16);
  // A combo box's window is its closed part; its list keeps its height.
  bool combo = lstrcmpiW(cls, L"ComboBox") == 0;
  int x = static_cast<int>(r.left * f->sx + 0.5), y = static_cast<int>(r.top * f->sy + 0.5);
  int w = static_cast<int>((r.right - r.left) * f->sx + 0.5);
  int h = combo ? r.bottom - r.top : static_cast<int>((r.bottom - r.top) * f->sy + 0.5);
  SetWindowPos(child, nullptr, x, y, w, h, SWP_NOZORDER | SWP_NOACTIVATE);
  return TRUE;
}

}  // namespace

// The templates are laid out for the pictures at the usual dialog base units
// (6 x 13 pixels for 8-point MS Sans Serif); where the system's font gives
// other units, the controls are moved so they still sit on the picture.
void ScreenWindow::FitControlsTo(int width, int height) {
  RECT rc;
  GetClientRect(hwnd_, &rc);
  if (rc.right <= 0 || rc.bottom <= 0) return;
  FitScale f{hwnd_, static_cast<double>(width) / rc.right, static_cast<double>(height) / rc.bottom};
  if (f.sx > 0.99 && f.sx < 1.01 && f.sy > 0.99 && f.sy < 1.01) return;
  EnumChildWindows(hwnd_, FitChild, reinterpret_cast<LPARAM>(&f));
  for (auto& b : impl_->buttons) b->Relayout();
}

// The window takes its picture's size, inside the work area of the monitor
// it opens on, shrunk as a whole when the picture does not fit there (a
// laptop screen at 125 or 150 %, a taskbar on any side).
void ScreenWindow::Place() {
  scale_ = 1.0;
  SetBackgroundMode(static_cast<int>(BackgroundMode::Tile));
  if (!design_.background || !LoadBackground(design_.background())) return;
  BITMAP bm = {};
  GetObjectW(background_, sizeof bm, &bm);
  RECT frame = {0, 0, 0, 0};
  AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongPtrW(hwnd_, GWL_STYLE)), FALSE,
                     static_cast<DWORD>(GetWindowLongPtrW(hwnd_, GWL_EXSTYLE)));
  const int fw = frame.right - frame.left, fh = frame.bottom - frame.top;
  const RECT work = WorkAreaFor(owner_);
  const WindowPlacement p =
      PlaceInWorkArea(bm.bmWidth, bm.bmHeight, fw, fh, {work.left, work.top, work.right, work.bottom});
  if (p.scale < 1.0) {
    scale_ = p.scale;
    LoadBackground(background_id_);
  }
  FitControlsTo(p.window.width() - fw, p.window.height() - fh);
  SetWindowPos(hwnd_, nullptr, p.window.left, p.window.top, p.window.width(), p.window.height(),
               SWP_NOZORDER | SWP_NOACTIVATE);
  g_last_centre = {(p.window.left + p.window.right) / 2, (p.window.top + p.window.bottom) / 2};
}

void ScreenWindow::Init() {
  HINSTANCE inst = g_resources.instance;
  impl_->view = std::make_unique<DialogView>(hwnd_, *this);
  Place();
  EnumChildWindows(hwnd_, TranslateChild, 0);

  for (const ScreenDesign::Label& l : design_.labels) {
    HWND c = GetDlgItem(hwnd_, l.id);
    if (!c) continue;
    auto label = std::make_unique<FontLabel>();
    label->Attach(c);
    label->SetFont(Utf8ToWide(l.font.face), static_cast<int>(l.font.height * scale_ + 0.5), l.colour,
                   l.font.flags);
    impl_->labels.push_back(std::move(label));
  }
  for (const ScreenDesign::Button& b : design_.buttons) {
    HWND c = GetDlgItem(hwnd_, b.id);
    if (!c) continue;
    auto button = std::make_unique<BitmapButton>();
    button->Attach(c);
    button->SetStyle(kButtonScreenStyle);
    button->SetTextColour(kButtonTextColour);
    button->SetBitmaps(inst, b.bitmap, kButtonMask, scale_);  // in the chosen language
    impl_->buttons.push_back(std::move(button));
  }
  for (const ScreenDesign::Spin& sp : design_.spins) {
    HWND c = GetDlgItem(hwnd_, sp.updown);
    if (!c) continue;
    auto spin = std::make_unique<FloatSpinControl>();
    spin->SetDecimals(sp.decimals);
    spin->Attach(c);
    spin->SetRangeAndStep(sp.min, sp.max, sp.step);
    impl_->spins.push_back(std::move(spin));
  }
  HFONT field_font = g_resources.field_font;
  LOGFONTW lf = {};
  if (field_font && scale_ < 1.0 && GetObjectW(field_font, sizeof lf, &lf)) {
    lf.lfHeight = static_cast<LONG>(lf.lfHeight * scale_ + (lf.lfHeight < 0 ? -0.5 : 0.5));
    impl_->field_font = CreateFontIndirectW(&lf);
    if (impl_->field_font) field_font = impl_->field_font;
  }
  if (field_font)
    for (int id : design_.field_font_controls)
      SendDlgItemMessageW(hwnd_, id, WM_SETFONT, reinterpret_cast<WPARAM>(field_font), TRUE);

  if (!design_.tooltips.empty()) {
    impl_->tooltip = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                                     WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT, CW_USEDEFAULT,
                                     CW_USEDEFAULT, CW_USEDEFAULT, hwnd_, nullptr, inst, nullptr);
    impl_->tip_texts.reserve(design_.tooltips.size());
    for (const ScreenDesign::Tooltip& t : design_.tooltips) {
      HWND target = t.id == 0 ? hwnd_ : GetDlgItem(hwnd_, t.id);
      if (!target || !impl_->tooltip) continue;
      impl_->tip_texts.push_back(Utf8ToWide(ShownText(t.text)));
      TOOLINFOW ti = {};
      ti.cbSize = sizeof ti;
      ti.uFlags = TTF_IDISHWND;
      ti.hwnd = hwnd_;
      ti.uId = reinterpret_cast<UINT_PTR>(target);
      ti.lpszText = impl_->tip_texts.back().data();
      SendMessageW(impl_->tooltip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
    }
    if (impl_->tooltip) SendMessageW(impl_->tooltip, TTM_ACTIVATE, TRUE, 0);
  }

  if (design_.splash_bitmap) splash::Show(inst, hwnd_, design_.splash_bitmap);
}

INT_PTR CALLBACK ScreenWindow::DialogProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_INITDIALOG) {
    auto* self = reinterpret_cast<ScreenWindow*>(lp);
    SetWindowLongPtrW(hwnd, DWLP_USER, lp);
    self->hwnd_ = hwnd;
    self->Init();
    return TRUE;
  }
  auto* self = reinterpret_cast<ScreenWindow*>(GetWindowLongPtrW(hwnd, DWLP_USER));
  return self ? self->Handle(msg, wp, lp) : FALSE;
}

INT_PTR ScreenWindow::Handle(UINT msg, WPARAM wp, LPARAM lp) {
  View& view = *impl_->view;
  switch (msg) {
    case WM_ERASEBKGND: {
      if (!background_) return FALSE;
      RECT rc;
      GetClientRect(hwnd_, &rc);
      PaintBackground(reinterpret_cast<HDC>(wp), rc, POINT{0, 0});
      SetWindowLongPtrW(hwnd_, DWLP_MSGRESULT, 1);
      return TRUE;
    }
    case WM_DRAWITEM: {
      auto* item = reinterpret_cast<DRAWITEMSTRUCT*>(lp);
      for (auto& b : impl_->buttons)
        if (b->hwnd() == item->hwndItem) {
          b->Draw(*item);
          return TRUE;
        }
      return FALSE;
    }
    case WM_COMMAND: {
      int id = LOWORD(wp), code = HIWORD(wp);
      if (ended_) return TRUE;
      // A click for a screen under the one in front (posted by another
      // program; the user cannot reach it) is not acted on.
      if (g_active != this && code == BN_CLICKED) return TRUE;
      if (id == IDOK && code == BN_CLICKED) {
        logic_.OnEnter(view);
      } else if (id == IDCANCEL && code == BN_CLICKED) {
        logic_.OnExit(view);
      } else if (code == BN_CLICKED && lp) {
        if (id == IDC_RETURN)
          logic_.OnReturn(view);
        else if (id == IDC_NEXT)
          logic_.OnNext(view);
        else if (id == IDC_EXIT)
          logic_.OnExit(view);
        else
          logic_.OnCommand(view, id);
      } else if (IsCombo(lp)) {
        if (code == CBN_SELCHANGE) logic_.OnSelectionChange(view, id);
        else if (code == CBN_EDITCHANGE) logic_.OnTextChange(view, id);
        else if (code == CBN_SETFOCUS) logic_.OnFocus(view, id);
        else if (code == CBN_KILLFOCUS) logic_.OnFieldLeft(view, id);
      } else if (code == EN_KILLFOCUS) {
        logic_.OnFieldLeft(view, id);
      } else if (code == EN_SETFOCUS) {
        logic_.OnFocus(view, id);
      } else if (code == EN_CHANGE) {
        logic_.OnTextChange(view, id);
      }
      return TRUE;
    }
    case WM_NOTIFY: {
      auto* hdr = reinterpret_cast<NMHDR*>(lp);
      if (hdr->code != static_cast<UINT>(UDN_DELTAPOS)) return FALSE;
      for (auto& sp : impl_->spins)
        if (sp->hwnd() == hdr->hwndFrom) {
          SetWindowLongPtrW(hwnd_, DWLP_MSGRESULT,
                            sp->OnDeltaPos(*reinterpret_cast<NMUPDOWN*>(lp)));
          return TRUE;
        }
      return FALSE;
    }
    case WM_TIMER:
      logic_.OnTimer(view, static_cast<int>(wp));
      return TRUE;
    case WM_CLOSE:
      // Not in the middle of a transaction: the taskbar's "Close window"
      // must not cut a write half-way.
      if (!Busy()) logic_.OnExit(view);
      return TRUE;
    case WM_QUERYENDSESSION:
      SetWindowLongPtrW(hwnd_, DWLP_MSGRESULT, Busy() ? FALSE : TRUE);
      return TRUE;
    case WM_ENDSESSION:
      if (wp && g_resources.end_session) g_resources.end_session();
      return TRUE;
    case WM_POWERBROADCAST:
      // Every screen hears it; the one in front answers for the program.
      if (g_active == this && g_resources.power) {
        if (wp == PBT_APMSUSPEND) {
          g_resume_pending = false;
          g_resources.power(true);
        } else if (wp == PBT_APMRESUMESUSPEND || wp == PBT_APMRESUMEAUTOMATIC) {
          // A transaction cut by the sleep fails on the closed port; the
          // port is opened again once it has given up.
          if (Busy())
            g_resume_pending = true;
          else
            Resumed();
        }
      }
      SetWindowLongPtrW(hwnd_, DWLP_MSGRESULT, TRUE);
      return TRUE;
    case WM_SETCURSOR:
      if (!Busy()) return FALSE;
      SetCursor(LoadCursorW(nullptr, IDC_WAIT));
      SetWindowLongPtrW(hwnd_, DWLP_MSGRESULT, TRUE);
      return TRUE;
    case WM_DESTROY:
      logic_.OnDestroy(view);
      busy_.clear();
      opening_ = false;
      ShowBusy();
      if (impl_->tooltip) DestroyWindow(impl_->tooltip);
      impl_->tooltip = nullptr;
      ReleaseBackground();
      return FALSE;
  }
  return FALSE;
}

}  // namespace kova
