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
  // screen opened while another runs is owned by it (disabled meanwhile).
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
  bool Busy() const { return !busy_.empty(); }

 private:
  // DialogHost: what the screen's View asks of it.
  void End(int result) override;
  void SetSpinRange(int spin, double min, double max, double step, int decimals) override;
  void SetSpinValue(int spin, double value) override;
  void SetBackground(int bitmap) override;
  void SetLabelColour(int id, unsigned rgb) override;
  void SetBusy(const std::string& status) override;

  struct Impl;
  static INT_PTR CALLBACK DialogProc(HWND, UINT, WPARAM, LPARAM);
  INT_PTR Handle(UINT msg, WPARAM wp, LPARAM lp);
  void Init();
  void FitControlsTo(int width, int height);
  bool PreTranslate(MSG& msg);

  ScreenDesign design_;
  ScreenLogic& logic_;
  std::unique_ptr<Impl> impl_;
  HWND hwnd_ = nullptr;
  HBITMAP background_ = nullptr;
  BackgroundMode mode_ = BackgroundMode::Tile;
  bool ended_ = false;
  int result_ = 0;
  std::string busy_;  // the status shown while a transaction runs
  bool left_with_ctrl_ = false;  // lost the keyboard while the Ctrl flag was set
};

// Runs the thread's pending messages through the screen that runs now.
// With `input` false (a transaction waits), keyboard and mouse input and
// timer ticks are dropped, so no second transaction can start; painting
// goes on. Returns false when WM_QUIT was seen (it is posted again).
bool PumpPendingMessages(bool input);

}  // namespace kova
