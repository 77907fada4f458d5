// The screen base: a captionless, centred dialog from a template with a
// tiled bitmap background, bitmap buttons, font labels, tooltips and the
// Ctrl shortcuts, run modally by its own message loop (so every message can
// be offered to the splash, the tooltips and the shortcuts first). What the
// screen decides is its ScreenLogic's business.
#pragma once
#include "shell/win32/win32.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "shell/control_layout.h"
#include "shell/screen_design.h"
#include "shell/win32/dialog_view.h"
#include "shell/screen_logic.h"

namespace kova {

enum class BackgroundMode { Tile = 0, Centre = 1, Stretch = 2 };

// Process-wide resources the screens share.
struct ShellResources {
  HINSTANCE instance = nullptr;
  HFONT field_font = nullptr;
  uint8_t* ctrl_flag = nullptr;  // the application's Ctrl-key flag
  // Windows ends the session: the link is let go (stream stopped, port
  // closed). May be empty.
  std::function<void()> end_session;
  // Before a sleep (true) and after it (false); after it, true when the
  // port was opened again. May be empty.
  std::function<bool(bool suspend)> power;
};
void SetShellResources(const ShellResources& resources);
const ShellResources& GetShellResources();

class ScreenWindow final : public DialogHost {
 public:
  ScreenWindow(ScreenDesign design, ScreenLogic& logic);
  ~ScreenWindow();
  ScreenWindow(const ScreenWindow&) = delete;
  ScreenWindow& operator=(const ScreenWindow&) = delete;

  // Runs the screen modally and returns its result. Without an owner, a
  // screen opened while another runs is owned by it, and takes no input
  // from the moment this one starts. The window shows first, placed inside
  // the work area of its monitor (shrunk to fit where needed); then the
  // screen's logic sets it up, so what that reads shows on the status line.
  int Run(HWND owner = nullptr);

  // Setting any other mode than the three is ignored.
  void SetBackgroundMode(int mode);
  BackgroundMode background_mode() const { return mode_; }
  bool LoadBackground(int bitmap_id);
  void ReleaseBackground();
  // Draws the background as seen from `offset` (a child's position).
  void PaintBackground(HDC dc, const RECT& area, POINT offset) const;

  // One message of this screen's loop: splash, tooltips, shortcuts and
  // key filter first, then the dialog's own keyboard handling.
  void Dispatch(MSG& msg);
  // A transaction runs, or the screen is still getting ready.
  bool Busy() const { return opening_ || !busy_.empty(); }

 private:
  // DialogHost: what the screen's View asks of it.
  void End(int result) override;
  void SetSpinRange(int spin, double min, double max, double step, int decimals) override;
  void SetSpinValue(int spin, double value) override;
  void SetBackground(int bitmap) override;
  void SetLabelColour(int id, unsigned rgb) override;
  void SetBusy(const std::string& status) override;
  double Scale() const override { return scale_; }

  struct Impl;
  static INT_PTR CALLBACK DialogProc(HWND, UINT, WPARAM, LPARAM);
  INT_PTR Handle(UINT msg, WPARAM wp, LPARAM lp);
  void Init();
  void Place();
  void ShowBusy();
  // After a sleep: the port opened again, and the screen told so.
  void Resumed();
  void FitControlsTo(int width, int height);
  bool PreTranslate(MSG& msg);

  ScreenDesign design_;
  ScreenLogic& logic_;
  std::unique_ptr<Impl> impl_;
  HWND hwnd_ = nullptr;
  HWND owner_ = nullptr;
  HBITMAP background_ = nullptr;
  int background_id_ = 0;  // the picture loaded
  double scale_ = 1.0;     // of the window against its picture
  BackgroundMode mode_ = BackgroundMode::Tile;
  bool ended_ = false;
  int result_ = 0;
  std::string busy_;         // the status shown while a transaction runs
  bool opening_ = false;     // shown, and its logic still setting it up
  bool shown_busy_ = false;  // what Windows was last told
};

// Runs the thread's pending messages through the screen that runs now.
// With `input` false (a transaction waits), painting goes on, but nothing
// the user does runs inside the wait: keyboard and mouse input stays queued
// for when the wait is over, or, while the screen shows its busy status,
// is refused; clicks and close requests posted by other programs wait too
// (close requests are refused while busy); timer ticks are skipped, so no
// live poll runs inside a transaction. Input for a window that is disabled
// (a screen under the one in front) is dropped. Returns false when WM_QUIT
// was seen (it is posted again).
bool PumpPendingMessages(bool input);

}  // namespace kova
