#include "Instalador/wizard/wizard_window_win32.h"

#include "common/cp1252.h"

#include <commctrl.h>
#include <ocidl.h>
#include <olectl.h>

namespace kova {

namespace {

constexpr wchar_t kMainClass[] = L"KovaWizardMain";
constexpr wchar_t kPageClass[] = L"KovaWizardPage";
constexpr wchar_t kButtonClass[] = L"KovaWizardPicture";

// Layout of the window design, in pixels (the design's twips / 15).
constexpr int kWidth = 600, kHeight = 450;
constexpr RECT kPageRect = {180, 48, 180 + 405, 48 + 317};
constexpr RECT kNameRect = {180, 8, 180 + 405, 8 + 36};
constexpr int kButtonTop = 400, kButtonW = 107, kButtonH = 30;
constexpr int kButtonLeft[3] = {212, 324, 472};
constexpr int kNameLabelId = 90;

const wchar_t* const kButtonText[3] = {L"< Voltar", L"Avançar >", L"Cancelar"};
// The faces as drawn: the letter that Alt takes is underlined.
const wchar_t* const kButtonFace[3] = {L"< &Voltar", L"&Avançar >", L"&Cancelar"};
const wchar_t kButtonKey[3] = {L'V', L'A', L'C'};

WizardWindow* Owner(HWND hwnd) {
  return reinterpret_cast<WizardWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
}

// With visual styles on, Windows draws option buttons and check boxes in
// the theme's text colour, whatever the package's colours say: those
// controls are drawn without the theme. uxtheme.dll is loaded from the
// system folder, never imported (the loader would look beside the
// installer first).
void WithoutTheme(HWND control) {
  using SetTheme = HRESULT(WINAPI*)(HWND, LPCWSTR, LPCWSTR);
  static SetTheme set = [] {
    HMODULE m = LoadLibraryExW(L"uxtheme.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    return m ? reinterpret_cast<SetTheme>(reinterpret_cast<void (*)()>(GetProcAddress(m, "SetWindowTheme")))
             : nullptr;
  }();
  if (set) set(control, L"", L"");
}

}  // namespace

WizardWindow::~WizardWindow() {
  for (auto& set : pictures_)
    for (HBITMAP b : set)
      if (b) DeleteObject(b);
  for (HFONT f : {font_, title_font_, button_font_})
    if (f) DeleteObject(f);
  if (back_brush_) DeleteObject(back_brush_);
  if (picture_) picture_->Release();
}

bool WizardWindow::Create(HINSTANCE instance, const std::wstring& caption, int page_count) {
  INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_PROGRESS_CLASS | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&icc);

  WNDCLASSW wc = {};
  wc.hInstance = instance;
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(1));
  wc.lpfnWndProc = MainProc;
  wc.lpszClassName = kMainClass;
  RegisterClassW(&wc);
  wc.hIcon = nullptr;
  wc.lpfnWndProc = PageProc;
  wc.lpszClassName = kPageClass;
  RegisterClassW(&wc);
  wc.lpfnWndProc = ButtonProc;
  wc.lpszClassName = kButtonClass;
  wc.hCursor = LoadCursorW(nullptr, IDC_HAND);
  RegisterClassW(&wc);

  font_ = CreateFontW(-12, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, CLEARTYPE_QUALITY, 0,
                      L"Tahoma");
  title_font_ = CreateFontW(-22, 0, 0, 0, FW_BOLD, 0, 0, 0, DEFAULT_CHARSET, 0, 0,
                            CLEARTYPE_QUALITY, 0, L"Tahoma");
  button_font_ = CreateFontW(-12, 0, 0, 0, FW_BOLD, 0, 0, 0, DEFAULT_CHARSET, 0, 0,
                             CLEARTYPE_QUALITY, 0, L"Tahoma");
  back_brush_ = CreateSolidBrush(back_);
  MakeButtonPictures();

  DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
  RECT r = {0, 0, kWidth, kHeight};
  AdjustWindowRect(&r, style, FALSE);
  hwnd_ = CreateWindowExW(WS_EX_CONTROLPARENT, kMainClass, caption.c_str(), style, CW_USEDEFAULT,
                          CW_USEDEFAULT, r.right - r.left, r.bottom - r.top, nullptr, nullptr,
                          instance, this);
  if (!hwnd_) return false;

  name_label_ = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE | SS_OWNERDRAW,
                                kNameRect.left, kNameRect.top, kNameRect.right - kNameRect.left,
                                kNameRect.bottom - kNameRect.top, hwnd_,
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(kNameLabelId)), instance,
                                nullptr);
  for (int i = 0; i < page_count; ++i) {
    HWND page = CreateWindowExW(WS_EX_CONTROLPARENT, kPageClass, L"",
                                WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, kPageRect.left,
                                kPageRect.top, kPageRect.right - kPageRect.left,
                                kPageRect.bottom - kPageRect.top, hwnd_,
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(100 + i)), instance,
                                nullptr);
    SetWindowLongPtrW(page, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    pages_.push_back(page);
  }
  for (int b = 0; b < 3; ++b) {
    buttons_[b] = CreateWindowExW(0, kButtonClass, kButtonText[b], WS_CHILD | WS_VISIBLE,
                                  kButtonLeft[b], kButtonTop, kButtonW, kButtonH, hwnd_,
                                  reinterpret_cast<HMENU>(static_cast<INT_PTR>(80 + b)), instance,
                                  nullptr);
    SetWindowLongPtrW(buttons_[b], GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  }
  return true;
}

void WizardWindow::ShowPage(int n) {
  // The keyboard must not stay with a control of the page being hidden.
  HWND focus = GetFocus();
  for (size_t i = 0; i < pages_.size(); ++i)
    ShowWindow(pages_[i], static_cast<int>(i) + 1 == n ? SW_SHOW : SW_HIDE);
  if (focus && focus != hwnd_ && IsChild(hwnd_, focus) && !IsWindowVisible(focus)) SetFocus(hwnd_);
  // Paint the new page now: the work on page 5 may keep the queue busy.
  RedrawWindow(Page(n), nullptr, nullptr, RDW_ERASE | RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

HWND WizardWindow::AddChild(int page, const wchar_t* cls, DWORD style, DWORD ex, int id, int x,
                            int y, int w, int h, const std::wstring& text) {
  HWND c = CreateWindowExW(ex, cls, text.c_str(), WS_CHILD | WS_VISIBLE | style, x, y, w, h,
                           Page(page), reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                           GetModuleHandleW(nullptr), nullptr);
  SendMessageW(c, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
  return c;
}

HWND WizardWindow::AddLabel(int page, int id, int x, int y, int w, int h, const std::wstring& text) {
  return AddChild(page, L"STATIC", SS_LEFT | SS_NOPREFIX | SS_EDITCONTROL, 0, id, x, y, w, h, text);
}

HWND WizardWindow::AddTextBox(int page, int id, int x, int y, int w, int h, bool multiline) {
  DWORD style = WS_TABSTOP | ES_AUTOHSCROLL;
  if (multiline) style = WS_TABSTOP | ES_MULTILINE | ES_READONLY | WS_VSCROLL | ES_AUTOVSCROLL;
  return AddChild(page, L"EDIT", style, WS_EX_CLIENTEDGE, id, x, y, w, h, L"");
}

HWND WizardWindow::AddOption(int page, int id, int x, int y, int w, int h, const std::wstring& text,
                             bool first) {
  HWND c = AddChild(page, L"BUTTON", BS_AUTORADIOBUTTON | WS_TABSTOP | (first ? WS_GROUP : 0), 0,
                    id, x, y, w, h, text);
  WithoutTheme(c);
  return c;
}

HWND WizardWindow::AddCheck(int page, int id, int x, int y, int w, int h, const std::wstring& text) {
  HWND c = AddChild(page, L"BUTTON", BS_AUTOCHECKBOX | WS_TABSTOP | WS_GROUP, 0, id, x, y, w, h, text);
  WithoutTheme(c);
  return c;
}

HWND WizardWindow::AddPush(int page, int id, int x, int y, int w, int h, const std::wstring& text) {
  return AddChild(page, L"BUTTON", BS_PUSHBUTTON | WS_TABSTOP | WS_GROUP, 0, id, x, y, w, h, text);
}

HWND WizardWindow::AddProgress(int page, int id, int x, int y, int w, int h) {
  return AddChild(page, PROGRESS_CLASSW, 0, 0, id, x, y, w, h, L"");
}

HWND WizardWindow::Control(int id) const {
  for (HWND page : pages_)
    if (HWND c = GetDlgItem(page, id)) return c;
  return nullptr;
}

void WizardWindow::SetProductName(const std::wstring& name) {
  SetWindowTextW(name_label_, name.c_str());
  InvalidateRect(name_label_, nullptr, FALSE);
}

std::wstring WizardWindow::ProductName() const {
  wchar_t buf[1024];
  int n = GetWindowTextW(name_label_, buf, 1024);
  return std::wstring(buf, n);
}

void WizardWindow::SetColors(COLORREF title, COLORREF text, COLORREF back) {
  title_ = title;
  text_ = text;
  back_ = back;
  if (back_brush_) DeleteObject(back_brush_);
  back_brush_ = CreateSolidBrush(back_);
  InvalidateRect(hwnd_, nullptr, TRUE);
  for (HWND p : pages_) RedrawWindow(p, nullptr, nullptr, RDW_ERASE | RDW_INVALIDATE | RDW_ALLCHILDREN);
}

bool WizardWindow::SetBackgroundPicture(const std::string& bytes) {
  HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE, bytes.size());
  if (!mem) return false;
  void* p = GlobalLock(mem);
  memcpy(p, bytes.data(), bytes.size());
  GlobalUnlock(mem);
  IStream* stream = nullptr;
  if (FAILED(CreateStreamOnHGlobal(mem, TRUE, &stream))) {
    GlobalFree(mem);
    return false;
  }
  IPicture* pic = nullptr;
  HRESULT hr = OleLoadPicture(stream, static_cast<LONG>(bytes.size()), FALSE, IID_IPicture,
                              reinterpret_cast<void**>(&pic));
  stream->Release();
  if (FAILED(hr) || !pic) return false;
  if (picture_) picture_->Release();
  picture_ = pic;
  InvalidateRect(hwnd_, nullptr, TRUE);
  return true;
}

void WizardWindow::SyncButtons(const WizardButtons& b) {
  const WizardButton order[3] = {WizardButton::kBack, WizardButton::kNext, WizardButton::kCancel};
  for (int i = 0; i < 3; ++i) {
    int state = static_cast<int>(b.State(order[i]));
    if (state != shown_[i]) {
      shown_[i] = state;
      InvalidateRect(buttons_[i], nullptr, FALSE);
    }
  }
}

void WizardWindow::Follow(WizardFlow& flow, std::function<void(WizardButton)> click) {
  on_click = std::move(click);
  on_hover = [this, &flow](WizardButton b) {
    flow.Buttons().MouseOver(b);
    SyncButtons(flow.Buttons());
  };
  on_background = [this, &flow] {
    flow.Buttons().MouseOverBackground();
    SyncButtons(flow.Buttons());
  };
  SyncButtons(flow.Buttons());
}

void WizardWindow::PumpEvents() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(msg.wParam));
      return;
    }
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

int WizardWindow::Run() {
  ShowWindow(hwnd_, SW_SHOW);
  UpdateWindow(hwnd_);
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    if (Keyboard(msg)) continue;
    if (IsDialogMessageW(hwnd_, &msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return static_cast<int>(msg.wParam);
}

bool WizardWindow::Keyboard(const MSG& msg) {
  if (!hwnd_ || !on_click || (msg.hwnd != hwnd_ && !IsChild(hwnd_, msg.hwnd))) return false;
  if (msg.message == WM_KEYDOWN && (msg.wParam == VK_RETURN || msg.wParam == VK_ESCAPE)) {
    if (msg.wParam == VK_RETURN) {
      // A push button with the focus ("...") takes Enter itself.
      HWND focus = GetFocus();
      if (focus && IsChild(hwnd_, focus) &&
          (SendMessageW(focus, WM_GETDLGCODE, 0, 0) & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON)))
        return false;
    }
    on_click(msg.wParam == VK_RETURN ? WizardButton::kNext : WizardButton::kCancel);
    return true;
  }
  // Tab moves between the page's controls here: the read-only text boxes
  // of the description and the terms would otherwise keep it.
  if (msg.message == WM_KEYDOWN && msg.wParam == VK_TAB) {
    HWND focus = GetFocus();
    if (focus && focus != hwnd_ && !IsChild(hwnd_, focus)) return false;
    const bool back = GetKeyState(VK_SHIFT) < 0;
    HWND next = GetNextDlgTabItem(hwnd_, focus == hwnd_ ? nullptr : focus, back);
    if (next) SetFocus(next);
    return true;
  }
  // Alt + the underlined letter (bit 29: the Alt key is down).
  if (msg.message == WM_SYSKEYDOWN && (msg.lParam & (1 << 29))) {
    const WizardButton which[3] = {WizardButton::kBack, WizardButton::kNext, WizardButton::kCancel};
    for (int i = 0; i < 3; ++i)
      if (msg.wParam == static_cast<WPARAM>(kButtonKey[i])) {
        on_click(which[i]);
        return true;
      }
  }
  return false;
}

void WizardWindow::Quit(int code) {
  if (hwnd_) DestroyWindow(hwnd_);
  hwnd_ = nullptr;
  PostQuitMessage(code);
}

void WizardWindow::MakeButtonPictures() {
  // Normal, hover and disabled faces, drawn once.
  const COLORREF fill[3] = {RGB(51, 87, 136), RGB(224, 128, 32), RGB(196, 198, 204)};
  const COLORREF edge[3] = {RGB(28, 52, 88), RGB(160, 84, 12), RGB(150, 152, 158)};
  const COLORREF ink[3] = {RGB(255, 255, 255), RGB(255, 255, 255), RGB(128, 130, 136)};
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  for (int b = 0; b < 3; ++b) {
    for (int s = 0; s < 3; ++s) {
      HBITMAP bmp = CreateCompatibleBitmap(screen, kButtonW, kButtonH);
      HGDIOBJ old = SelectObject(dc, bmp);
      RECT all = {0, 0, kButtonW, kButtonH};
      HBRUSH bg = CreateSolidBrush(RGB(255, 255, 255));
      FillRect(dc, &all, bg);
      DeleteObject(bg);
      // A soft vertical shade over the face colour.
      for (int y = 1; y < kButtonH - 1; ++y) {
        int lift = (kButtonH / 2 - y) * 3;
        auto c = [&](int v) { return v + lift < 0 ? 0 : v + lift > 255 ? 255 : v + lift; };
        HPEN pen = CreatePen(PS_SOLID, 1,
                             RGB(c(GetRValue(fill[s])), c(GetGValue(fill[s])), c(GetBValue(fill[s]))));
        HGDIOBJ op = SelectObject(dc, pen);
        MoveToEx(dc, 2, y, nullptr);
        LineTo(dc, kButtonW - 2, y);
        SelectObject(dc, op);
        DeleteObject(pen);
      }
      HPEN border = CreatePen(PS_SOLID, 1, edge[s]);
      HGDIOBJ op = SelectObject(dc, border);
      HGDIOBJ ob = SelectObject(dc, GetStockObject(NULL_BRUSH));
      RoundRect(dc, 0, 0, kButtonW, kButtonH, 8, 8);
      SelectObject(dc, ob);
      SelectObject(dc, op);
      DeleteObject(border);
      SetBkMode(dc, TRANSPARENT);
      SetTextColor(dc, ink[s]);
      HGDIOBJ of = SelectObject(dc, button_font_);
      DrawTextW(dc, kButtonFace[b], -1, &all, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
      SelectObject(dc, of);
      SelectObject(dc, old);
      pictures_[b][s] = bmp;
    }
  }
  DeleteDC(dc);
  ReleaseDC(nullptr, screen);
}

void WizardWindow::PaintBackground(HDC dc) {
  if (picture_) {
    OLE_XSIZE_HIMETRIC w = 0;
    OLE_YSIZE_HIMETRIC h = 0;
    picture_->get_Width(&w);
    picture_->get_Height(&h);
    picture_->Render(dc, 0, 0, kWidth, kHeight, 0, h, w, -h, nullptr);
    return;
  }
  // The built-in design: a deep blue band fading to a light right side.
  for (int x = 0; x < kWidth; x += 4) {
    int t = x * 255 / kWidth;
    HBRUSH br = CreateSolidBrush(RGB(30 + t * 170 / 255, 60 + t * 160 / 255, 110 + t * 130 / 255));
    RECT r = {x, 0, x + 4, kHeight};
    FillRect(dc, &r, br);
    DeleteObject(br);
  }
  HBRUSH band = CreateSolidBrush(RGB(24, 44, 80));
  RECT top = {0, 0, kWidth, 4}, bottom = {0, 388, kWidth, 390};
  FillRect(dc, &top, band);
  FillRect(dc, &bottom, band);
  DeleteObject(band);
}

LRESULT WizardWindow::Colour(HDC dc, HWND control) {
  (void)control;
  SetTextColor(dc, text_);
  SetBkColor(dc, back_);
  return reinterpret_cast<LRESULT>(back_brush_);
}

LRESULT CALLBACK WizardWindow::MainProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_NCCREATE) {
    auto* cs = reinterpret_cast<CREATESTRUCTW*>(lp);
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(cs->lpCreateParams));
  }
  WizardWindow* self = Owner(hwnd);
  switch (msg) {
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd, &ps);
      if (self) self->PaintBackground(dc);
      EndPaint(hwnd, &ps);
      return 0;
    }
    case WM_DRAWITEM: {
      auto* di = reinterpret_cast<DRAWITEMSTRUCT*>(lp);
      if (!self || di->CtlID != kNameLabelId) break;
      // The name sits on the picture: paint the picture's part, then the text.
      POINT origin;
      SetViewportOrgEx(di->hDC, -kNameRect.left, -kNameRect.top, &origin);
      self->PaintBackground(di->hDC);
      SetViewportOrgEx(di->hDC, origin.x, origin.y, nullptr);
      wchar_t text[1024];
      int n = GetWindowTextW(di->hwndItem, text, 1024);
      SetBkMode(di->hDC, TRANSPARENT);
      SetTextColor(di->hDC, self->title_);
      HGDIOBJ of = SelectObject(di->hDC, self->title_font_);
      RECT r = di->rcItem;
      DrawTextW(di->hDC, text, n, &r, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
      SelectObject(di->hDC, of);
      return TRUE;
    }
    case WM_MOUSEMOVE:
      if (self && self->on_background) self->on_background();
      return 0;
    case WM_CLOSE:
      if (self && self->on_close) self->on_close();
      return 0;
    case WM_DESTROY:
      if (self) self->hwnd_ = nullptr;
      return 0;
    default:
      break;
  }
  return DefWindowProcW(hwnd, msg, wp, lp);
}

LRESULT CALLBACK WizardWindow::PageProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  WizardWindow* self = Owner(hwnd);
  if (!self) return DefWindowProcW(hwnd, msg, wp, lp);
  switch (msg) {
    case WM_ERASEBKGND: {
      RECT r;
      GetClientRect(hwnd, &r);
      FillRect(reinterpret_cast<HDC>(wp), &r, self->back_brush_);
      return 1;
    }
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
      return self->Colour(reinterpret_cast<HDC>(wp), reinterpret_cast<HWND>(lp));
    case WM_COMMAND:
      if (self->on_command) self->on_command(LOWORD(wp), HIWORD(wp));
      return 0;
    default:
      break;
  }
  return DefWindowProcW(hwnd, msg, wp, lp);
}

LRESULT CALLBACK WizardWindow::ButtonProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  WizardWindow* self = Owner(hwnd);
  int index = GetDlgCtrlID(hwnd) - 80;
  if (!self || index < 0 || index > 2) return DefWindowProcW(hwnd, msg, wp, lp);
  const WizardButton which[3] = {WizardButton::kBack, WizardButton::kNext, WizardButton::kCancel};
  switch (msg) {
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd, &ps);
      HDC mem = CreateCompatibleDC(dc);
      HGDIOBJ old = SelectObject(mem, self->pictures_[index][self->shown_[index]]);
      BitBlt(dc, 0, 0, kButtonW, kButtonH, mem, 0, 0, SRCCOPY);
      SelectObject(mem, old);
      DeleteDC(mem);
      EndPaint(hwnd, &ps);
      return 0;
    }
    case WM_MOUSEMOVE:
      if (self->on_hover) self->on_hover(which[index]);
      return 0;
    case WM_LBUTTONUP:
      // A click lands on a hovered picture: make sure the model agrees.
      if (self->on_hover) self->on_hover(which[index]);
      if (self->on_click) self->on_click(which[index]);
      return 0;
    default:
      break;
  }
  return DefWindowProcW(hwnd, msg, wp, lp);
}

void WindowProgress::SetStatus(const std::string& text) {
  HWND label = w_.Control(status_);
  SetWindowTextW(label, Utf8ToWide(text).c_str());
  UpdateWindow(label);
}
void WindowProgress::SetRange(int max) { SendMessageW(w_.Control(bar_), PBM_SETRANGE32, 0, max); }
void WindowProgress::SetPosition(int value) {
  SendMessageW(w_.Control(bar_), PBM_SETPOS, value, 0);
}

WizardAction HandleButton(WizardWindow& w, WizardFlow& flow, InstallPlatform& sys,
                          WizardButton b) {
  WizardAction a = flow.Press(b);
  w.SyncButtons(flow.Buttons());
  switch (a) {
    case WizardAction::kShowPage:
      w.ShowPage(flow.Page());
      return WizardAction::kNone;
    case WizardAction::kAskCancel:
      if (sys.ShowMessage("Tem certeza que deseja sair?", "Abortando instalação",
                          kBoxYesNo | kBoxIconQuestion) == kBoxAnswerYes)
        w.Quit(2);
      return WizardAction::kNone;
    default:
      return a;
  }
}

}  // namespace kova
