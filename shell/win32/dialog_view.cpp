#include "shell/win32/dialog_view.h"

#include <commdlg.h>

#include <vector>

#include "common/cp1252.h"
#include "common/texts.h"
#include "shell/win32/screen_window.h"

namespace kova {
namespace {

enum class ListKind { None, Combo, List };

ListKind KindOf(HWND control) {
  wchar_t cls[32] = {};
  if (!control || !GetClassNameW(control, cls, 32)) return ListKind::None;
  if (lstrcmpiW(cls, L"ComboBox") == 0) return ListKind::Combo;
  if (lstrcmpiW(cls, L"ListBox") == 0) return ListKind::List;
  return ListKind::None;
}

bool IsEditBox(HWND control) {
  wchar_t cls[16] = {};
  return control && GetClassNameW(control, cls, 16) && lstrcmpiW(cls, L"Edit") == 0;
}

}  // namespace

void DialogView::SetText(int id, const std::string& text) {
  const bool typed = IsEditBox(GetDlgItem(dialog_, id));
  SetDlgItemTextW(dialog_, id, Utf8ToWide(typed ? text : ShownText(text)).c_str());
}

std::string DialogView::GetText(int id) {
  HWND c = GetDlgItem(dialog_, id);
  if (!c) return {};
  int n = GetWindowTextLengthW(c);
  std::wstring w(static_cast<size_t>(n) + 1, L'\0');
  int got = GetWindowTextW(c, w.data(), n + 1);
  w.resize(got > 0 ? static_cast<size_t>(got) : 0);
  std::string text = WideToUtf8(w);
  if (KindOf(c) != ListKind::None && entries_.count(id))
    for (const std::string& entry : entries_[id])
      if (ShownText(entry) == text) return entry;
  return text;
}

void DialogView::ClearList(int id) {
  entries_.erase(id);
  HWND c = GetDlgItem(dialog_, id);
  switch (KindOf(c)) {
    case ListKind::Combo: SendMessageW(c, CB_RESETCONTENT, 0, 0); break;
    case ListKind::List: SendMessageW(c, LB_RESETCONTENT, 0, 0); break;
    case ListKind::None: break;
  }
}

void DialogView::AddListEntry(int id, const std::string& text) {
  HWND c = GetDlgItem(dialog_, id);
  if (KindOf(c) != ListKind::None) entries_[id].push_back(text);
  std::wstring w = Utf8ToWide(ShownText(text));
  switch (KindOf(c)) {
    case ListKind::Combo: SendMessageW(c, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(w.c_str())); break;
    case ListKind::List: SendMessageW(c, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(w.c_str())); break;
    case ListKind::None: break;
  }
}

void DialogView::SelectEntry(int id, int index) {
  HWND c = GetDlgItem(dialog_, id);
  switch (KindOf(c)) {
    case ListKind::Combo: SendMessageW(c, CB_SETCURSEL, static_cast<WPARAM>(index), 0); break;
    case ListKind::List: SendMessageW(c, LB_SETCURSEL, static_cast<WPARAM>(index), 0); break;
    case ListKind::None: break;
  }
}

int DialogView::GetSelection(int id) {
  HWND c = GetDlgItem(dialog_, id);
  LRESULT r = -1;
  switch (KindOf(c)) {
    case ListKind::Combo: r = SendMessageW(c, CB_GETCURSEL, 0, 0); break;
    case ListKind::List: r = SendMessageW(c, LB_GETCURSEL, 0, 0); break;
    case ListKind::None: break;
  }
  return r < 0 ? -1 : static_cast<int>(r);
}

void DialogView::Show(int id, bool visible) {
  if (HWND c = GetDlgItem(dialog_, id)) ShowWindow(c, visible ? SW_SHOW : SW_HIDE);
}

void DialogView::Enable(int id, bool enabled) {
  if (HWND c = GetDlgItem(dialog_, id)) EnableWindow(c, enabled ? TRUE : FALSE);
}

int DialogView::MessageBox(const std::string& text, const std::string& caption, unsigned flags) {
  std::wstring t = Utf8ToWide(ShownText(text));
  std::wstring c = caption.empty() ? std::wstring(kAppCaption) : Utf8ToWide(ShownText(caption));
  return ::MessageBoxW(dialog_, t.c_str(), c.c_str(), flags);
}

std::optional<std::string> DialogView::FileDialog(const FileDialogRequest& req) {
  // "Name|pattern|" becomes the double-NUL list the dialog wants.
  std::wstring filter = Utf8ToWide(ShownText(req.filter));
  for (wchar_t& ch : filter)
    if (ch == L'|') ch = L'\0';
  filter.push_back(L'\0');
  std::vector<wchar_t> file(1024, L'\0');
  std::wstring initial = Utf8ToWide(req.initial);
  if (initial.size() < file.size()) std::copy(initial.begin(), initial.end(), file.begin());
  std::wstring ext = Utf8ToWide(req.default_ext);
  std::wstring folder = Utf8ToWide(req.folder);

  OPENFILENAMEW ofn = {};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = dialog_;
  ofn.lpstrFilter = filter.c_str();
  ofn.lpstrFile = file.data();
  ofn.nMaxFile = static_cast<DWORD>(file.size());
  ofn.lpstrDefExt = ext.empty() ? nullptr : ext.c_str();
  ofn.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
  // The working folder stays where the program started.
  ofn.Flags = OFN_HIDEREADONLY | OFN_EXPLORER | OFN_NOCHANGEDIR;
  BOOL ok = req.save ? GetSaveFileNameW(&ofn) : GetOpenFileNameW(&ofn);
  if (!ok) return std::nullopt;
  return WideToUtf8(file.data());
}

void DialogView::SetFocus(int id) {
  HWND c = GetDlgItem(dialog_, id);
  if (!c) return;
  // A screen that is still opening gets its focus once it shows: the
  // dialog would otherwise put it on its first control.
  if (IsWindowVisible(dialog_)) ::SetFocus(c);
  else PostMessageW(dialog_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(c), TRUE);
}

namespace {

int Scaled(int v, double by) { return static_cast<int>(v * by + (v < 0 ? -0.5 : 0.5)); }

}  // namespace

ControlRect DialogView::GetControlRect(int id) {
  HWND c = GetDlgItem(dialog_, id);
  if (!c) return {};
  RECT r;
  GetWindowRect(c, &r);
  MapWindowPoints(nullptr, dialog_, reinterpret_cast<POINT*>(&r), 2);
  const double to_picture = 1.0 / host_.Scale();
  return {Scaled(r.left, to_picture), Scaled(r.top, to_picture), Scaled(r.right, to_picture),
          Scaled(r.bottom, to_picture)};
}

void DialogView::MoveControl(int id, const ControlRect& rect) {
  HWND c = GetDlgItem(dialog_, id);
  if (!c) return;
  // The background under the old place shows again.
  RECT old;
  GetWindowRect(c, &old);
  MapWindowPoints(nullptr, dialog_, reinterpret_cast<POINT*>(&old), 2);
  const double s = host_.Scale();
  const int left = Scaled(rect.left, s), top = Scaled(rect.top, s);
  SetWindowPos(c, nullptr, left, top, Scaled(rect.right, s) - left, Scaled(rect.bottom, s) - top,
               SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW);
  InvalidateRect(dialog_, &old, TRUE);
  InvalidateRect(c, nullptr, TRUE);
}

bool IsInputMessage(const MSG& msg) {
  UINT m = msg.message;
  return (m >= WM_KEYFIRST && m <= WM_KEYLAST) || (m >= WM_MOUSEFIRST && m <= WM_MOUSELAST) ||
         (m >= WM_NCMOUSEMOVE && m <= WM_NCXBUTTONDBLCLK);
}

void DialogView::PumpMessages() { PumpPendingMessages(true); }

void DialogView::HoldRedraw(bool hold) {
  SendMessageW(dialog_, WM_SETREDRAW, hold ? FALSE : TRUE, 0);
  if (!hold) RedrawWindow(dialog_, nullptr, nullptr, RDW_ERASE | RDW_FRAME | RDW_INVALIDATE | RDW_ALLCHILDREN);
}

void DialogView::SetTimer(int id, unsigned ms) { ::SetTimer(dialog_, static_cast<UINT_PTR>(id), ms, nullptr); }

void DialogView::KillTimer(int id) { ::KillTimer(dialog_, static_cast<UINT_PTR>(id)); }

}  // namespace kova
