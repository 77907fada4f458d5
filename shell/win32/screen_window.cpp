#include "shell/win32/screen_window.h"

#include <commctrl.h>

#include "common/cp1252.h"
#include "common/texts.h"
#include "resources/control_ids.h"
#include "shell/win32/controls.h"
#include "shell/win32/dialog_view.h"
#include "shell/win32/language_art.h"

namespace kova {
namespace {

ShellResources g_resources;
uint8_t g_own_ctrl_flag = 0;
// The screen whose loop runs now: a screen opened from its handlers (the
// monitor panel from a data screen) is owned by it and disables it.
ScreenWindow* g_active = nullptr;

constexpr COLORREF kButtonTextColour = RGB(200, 0, 0);
constexpr COLORREF kButtonMask = RGB(255, 255, 255);

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
  if (!hwnd_) return;
  if (HWND line = GetDlgItem(hwnd_, IDC_STATUS)) {
    SetWindowTextW(line, Utf8ToWide(status).c_str());
    ShowWindow(line, status.empty() ? SW_HIDE : SW_SHOW);
  }
  SetCursor(LoadCursorW(nullptr, status.empty() ? IDC_ARROW : IDC_WAIT));
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
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(msg.wParam));
      return false;
    }
    if (!input && (IsInputMessage(msg) || msg.message == WM_TIMER)) continue;
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
  left_with_ctrl_ = false;
  result_ = kScreenExit;
  *impl_ = Impl{};
  if (!owner && g_active) owner = g_active->hwnd_;
  hwnd_ = CreateDialogParamW(g_resources.instance, MAKEINTRESOURCEW(design_.template_id), owner,
                             DialogProc, reinterpret_cast<LPARAM>(this));
  if (!hwnd_) return kScreenExit;  // no template: nothing sensible to show
  bool owner_enabled = owner && IsWindowEnabled(owner);
  if (owner_enabled) EnableWindow(owner, FALSE);
  ScreenWindow* outer = g_active;
  g_active = this;
  if (!ended_) ShowWindow(hwnd_, SW_SHOW);
  MSG msg;
  while (!ended_) {
    BOOL got = GetMessageW(&msg, nullptr, 0, 0);
    if (got == 0) {  // WM_QUIT: leave the application
      PostQuitMessage(static_cast<int>(msg.wParam));
      End(kScreenExit);
      break;
    }
    if (got == -1) break;
    Dispatch(msg);
  }
  g_active = outer;
  if (owner_enabled) {
    EnableWindow(owner, TRUE);
    SetActiveWindow(owner);
  }
  DestroyWindow(hwnd_);
  hwnd_ = nullptr;
  ReleaseBackground();
  *impl_ = Impl{};
  return result_;
}

bool ScreenWindow::PreTranslate(MSG& msg) {
  if (splash::PreTranslate(msg)) return true;
  if (impl_->tooltip && msg.message >= WM_MOUSEFIRST && msg.message <= WM_MOUSELAST)
    SendMessageW(impl_->tooltip, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&msg));
  uint8_t& ctrl = g_resources.ctrl_flag ? *g_resources.ctrl_flag : g_own_ctrl_flag;
  if (msg.message == WM_KEYDOWN) {
    if (impl_->view && (msg.hwnd == hwnd_ || IsChild(hwnd_, msg.hwnd)) &&
        logic_.OnKey(*impl_->view, static_cast<int>(msg.wParam)))
      return true;
    if (msg.wParam == VK_CONTROL) {
      ctrl = 1;
    } else if (ctrl && logic_.HasCtrlShortcuts() && (msg.wParam == VK_RIGHT || msg.wParam == VK_LEFT)) {
      if (msg.wParam == VK_RIGHT)
        logic_.OnNext(*impl_->view);
      else
        logic_.OnReturn(*impl_->view);
      return true;
    }
  } else if (msg.message == WM_KEYUP && msg.wParam == VK_CONTROL) {
    ctrl = 0;
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

void ScreenWindow::Init() {
  HINSTANCE inst = g_resources.instance;
  impl_->view = std::make_unique<DialogView>(hwnd_, *this);
  EnumChildWindows(hwnd_, TranslateChild, 0);

  for (const ScreenDesign::Label& l : design_.labels) {
    HWND c = GetDlgItem(hwnd_, l.id);
    if (!c) continue;
    auto label = std::make_unique<FontLabel>();
    label->Attach(c);
    label->SetFont(Utf8ToWide(l.font.face), l.font.height, l.colour, l.font.flags);
    impl_->labels.push_back(std::move(label));
  }
  for (const ScreenDesign::Button& b : design_.buttons) {
    HWND c = GetDlgItem(hwnd_, b.id);
    if (!c) continue;
    auto button = std::make_unique<BitmapButton>();
    button->Attach(c);
    button->SetStyle(kButtonScreenStyle);
    button->SetTextColour(kButtonTextColour);
    button->SetBitmaps(inst, b.bitmap, kButtonMask);  // in the chosen language
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
  if (g_resources.field_font)
    for (int id : design_.field_font_controls)
      SendDlgItemMessageW(hwnd_, id, WM_SETFONT, reinterpret_cast<WPARAM>(g_resources.field_font), TRUE);

  logic_.OnInit(*impl_->view);

  SetBackgroundMode(static_cast<int>(BackgroundMode::Tile));
  if (design_.background && LoadBackground(design_.background())) {
    // The window takes the picture's size, centred on the screen.
    BITMAP bm = {};
    GetObjectW(background_, sizeof bm, &bm);
    FitControlsTo(bm.bmWidth, bm.bmHeight);
    RECT want = {0, 0, bm.bmWidth, bm.bmHeight};
    AdjustWindowRectEx(&want, static_cast<DWORD>(GetWindowLongPtrW(hwnd_, GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLongPtrW(hwnd_, GWL_EXSTYLE)));
    int w = want.right - want.left, h = want.bottom - want.top;
    int x = (GetSystemMetrics(SM_CXSCREEN) - w) / 2, y = (GetSystemMetrics(SM_CYSCREEN) - h) / 2;
    SetWindowPos(hwnd_, nullptr, x < 0 ? 0 : x, y < 0 ? 0 : y, w, h, SWP_NOZORDER | SWP_NOACTIVATE);
  }

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
      logic_.OnExit(view);
      return TRUE;
    case WM_ACTIVATE: {
      // A Ctrl key-up that went to another window (a message box, the task
      // manager, the secure desktop) would leave the flag set, and a plain
      // arrow would then act as Next or Return. So when the screen gets the
      // keyboard back after losing it with Ctrl held, the flag follows the
      // key itself.
      uint8_t& ctrl = g_resources.ctrl_flag ? *g_resources.ctrl_flag : g_own_ctrl_flag;
      if (LOWORD(wp) == WA_INACTIVE) {
        left_with_ctrl_ = ctrl != 0;
      } else if (left_with_ctrl_) {
        left_with_ctrl_ = false;
        if (!(GetAsyncKeyState(VK_CONTROL) & 0x8000)) ctrl = 0;
      }
      return FALSE;
    }
    case WM_SETCURSOR:
      if (busy_.empty()) return FALSE;
      SetCursor(LoadCursorW(nullptr, IDC_WAIT));
      SetWindowLongPtrW(hwnd_, DWLP_MSGRESULT, TRUE);
      return TRUE;
    case WM_DESTROY:
      logic_.OnDestroy(view);
      busy_.clear();
      if (impl_->tooltip) DestroyWindow(impl_->tooltip);
      impl_->tooltip = nullptr;
      ReleaseBackground();
      return FALSE;
  }
  return FALSE;
}

}  // namespace kova
