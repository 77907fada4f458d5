// The window both wizards share: a 600 x 450 background picture, the
// product name, page panels that show one at a time, and the Back, Next
// and Cancel pictures with their normal, hover and disabled states. The
// programs add their page controls and react to clicks; the rules of the
// pages and buttons live in WizardFlow.
#pragma once
#include <windows.h>
#include <ocidl.h>

#include <functional>
#include <string>
#include <vector>

#include "Instalador/setup/install_platform.h"
#include "Instalador/wizard/wizard_flow.h"

namespace kova {

class WizardWindow {
 public:
  WizardWindow() = default;
  WizardWindow(const WizardWindow&) = delete;
  WizardWindow& operator=(const WizardWindow&) = delete;
  ~WizardWindow();

  bool Create(HINSTANCE instance, const std::wstring& caption, int page_count);
  HWND Hwnd() const { return hwnd_; }
  HWND Page(int n) const { return pages_[n - 1]; }
  void ShowPage(int n);

  // Page controls, children of the page panel (positions in pixels).
  HWND AddLabel(int page, int id, int x, int y, int w, int h, const std::wstring& text);
  HWND AddTextBox(int page, int id, int x, int y, int w, int h, bool multiline);
  HWND AddOption(int page, int id, int x, int y, int w, int h, const std::wstring& text, bool first);
  HWND AddCheck(int page, int id, int x, int y, int w, int h, const std::wstring& text);
  HWND AddPush(int page, int id, int x, int y, int w, int h, const std::wstring& text);
  HWND AddProgress(int page, int id, int x, int y, int w, int h);
  HWND Control(int id) const;

  void SetProductName(const std::wstring& name);
  std::wstring ProductName() const;
  void SetColors(COLORREF title, COLORREF text, COLORREF back);
  // A picture file's bytes (JPEG, BMP, GIF) replace the built-in design.
  bool SetBackgroundPicture(const std::string& bytes);

  // Shows the pictures the model says.
  void SyncButtons(const WizardButtons& buttons);
  // The buttons follow the flow's pictures as the mouse moves; clicks go
  // to `click`.
  void Follow(WizardFlow& flow, std::function<void(WizardButton)> click);
  // Processes pending messages (during long work on the window's thread).
  void PumpEvents();
  int Run();
  // Closes the window and ends Run() with this exit code.
  void Quit(int code);

  std::function<void(WizardButton)> on_click;
  std::function<void(WizardButton)> on_hover;
  std::function<void()> on_background;
  std::function<void(int id, int code)> on_command;
  std::function<void()> on_close;

 private:
  // Enter (Next), Esc (Cancel) and Alt+V, A, C, as in every wizard. True
  // when the key was taken.
  bool Keyboard(const MSG& msg);
  static LRESULT CALLBACK MainProc(HWND, UINT, WPARAM, LPARAM);
  static LRESULT CALLBACK PageProc(HWND, UINT, WPARAM, LPARAM);
  static LRESULT CALLBACK ButtonProc(HWND, UINT, WPARAM, LPARAM);
  LRESULT Colour(HDC dc, HWND control);
  void PaintBackground(HDC dc);
  void MakeButtonPictures();
  HWND AddChild(int page, const wchar_t* cls, DWORD style, DWORD ex, int id, int x, int y, int w,
                int h, const std::wstring& text);

  HWND hwnd_ = nullptr;
  HWND name_label_ = nullptr;
  std::vector<HWND> pages_;
  HWND buttons_[3] = {nullptr, nullptr, nullptr};
  HBITMAP pictures_[3][3] = {};
  int shown_[3] = {2, 0, 0};
  HFONT font_ = nullptr, title_font_ = nullptr, button_font_ = nullptr;
  COLORREF title_ = RGB(255, 255, 255), text_ = RGB(32, 32, 48), back_ = RGB(236, 240, 246);
  HBRUSH back_brush_ = nullptr;
  IPicture* picture_ = nullptr;
};

// The progress page of either wizard: a status label and a progress bar.
class WindowProgress : public StepProgress {
 public:
  WindowProgress(WizardWindow& w, int status_id, int bar_id)
      : w_(w), status_(status_id), bar_(bar_id) {}
  void SetStatus(const std::string& text) override;
  void SetRange(int max) override;
  void SetPosition(int value) override;
  void PumpEvents() override { w_.PumpEvents(); }

 private:
  WizardWindow& w_;
  int status_, bar_;
};

// A click of Back, Next or Cancel, as both wizards handle it: the buttons
// follow the flow, a new page is shown, leaving is asked about. Returns the
// action left to the program (kRunWork, kExit), else kNone.
WizardAction HandleButton(WizardWindow& w, WizardFlow& flow, InstallPlatform& sys,
                          WizardButton b);

}  // namespace kova
