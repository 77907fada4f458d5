// The process side of the screens: the start of the shell (the splash
// rule, the common controls, the field font) and the set of screen objects
// the screen loop runs, each with its window, built once and reused.
#pragma once
#include "shell/win32/win32.h"

#include <array>
#include <memory>

#include "shell/screen_design.h"
#include "shell/screen_flow.h"
#include "shell/screen_logic.h"
#include "shell/win32/screen_window.h"

namespace kova {

// The splash allowed unless the program was started embedded or for
// automation, and the common controls ready.
void StartShell();
// The data screens' field font: Arial 18, bold.
HFONT CreateFieldFont();

// The eleven screen objects, built once and reused; a slot without a
// window is a screen this program does not have yet.
class Screens final : public ScreenHost {
 public:
  void Put(ScreenObject which, std::unique_ptr<ScreenLogic> logic, ScreenDesign design);
  bool Available(ScreenObject which) const override;
  int Run(ScreenObject which) override;
  // In reverse order of construction.
  void DestroyAll();
  ~Screens() override { DestroyAll(); }

 private:
  struct Slot {
    std::unique_ptr<ScreenLogic> logic;
    std::unique_ptr<ScreenWindow> window;
  };
  std::array<Slot, kScreenObjectCount> slots_;
};

}  // namespace kova
