// The screen base: a captionless, centred dialog from a template with a
// tiled bitmap background, bitmap buttons, font labels, tooltips and the
// Ctrl shortcuts, run modally by its own message loop (so every message can
// be offered to the splash, the tooltips and the shortcuts first). What the
// screen decides is its ScreenLogic's business.
#pragma once
#include "shell/win32.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "shell/control_layout.h"
#include "shell/screen_logic.h"

namespace kova {

enum class BackgroundMode { Tile = 0, Centre = 1, Stretch = 2 };

struct ScreenDesign {
  struct Button {
    int id;
    int bitmap;
  };
  struct Label {
    int id;
    LabelFont font;
  };
  struct Spin {
    int updown;  // up-down control whose buddy edit holds the value
    double min, max, step;
    int decimals;  // -1: automatic
  };
  struct Tooltip {
    int id;  // 0: the screen itself
    std::string text;
  };
  int template_id = 0;
  std::function<int()> background;  // bitmap resource of this visit, 0 none
  std::vector<Button> buttons;
  std::vector<Label> labels;
  std::vector<Tooltip> tooltips;
  std::vector<Spin> spins;
  std::vector<int> field_font_controls;  // edits and lists of the data screens
  int splash_bitmap = 0;                 // shown when the window is created
};

// Process-wide resources the screens share.
struct ShellResources {
  HINSTANCE instance = nullptr;
  HFONT field_font = nullptr;
  uint8_t* ctrl_flag = nullptr;  // the application's Ctrl-key flag
};
void SetShellResources(const ShellResources& resources);
const ShellResources& GetShellResources();

class ScreenWindow {
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
  bool LoadBackground(int bitmap_id);
  void ReleaseBackground();
  // Draws the background as seen from `offset` (a child's position).
  void PaintBackground(HDC dc, const RECT& area, POINT offset) const;

 private:
  struct Impl;
  static INT_PTR CALLBACK DialogProc(HWND, UINT, WPARAM, LPARAM);
  INT_PTR Handle(UINT msg, WPARAM wp, LPARAM lp);
  void Init();
  void FitControlsTo(int width, int height);
  bool PreTranslate(MSG& msg);
  void End(int result);

  ScreenDesign design_;
  ScreenLogic& logic_;
  std::unique_ptr<Impl> impl_;
  HWND hwnd_ = nullptr;
  HBITMAP background_ = nullptr;
  BackgroundMode mode_ = BackgroundMode::Tile;
  bool ended_ = false;
  int result_ = 0;
};

}  // namespace kova
