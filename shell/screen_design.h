// How a screen looks, apart from what it decides: its dialog template,
// background, bitmap buttons, label fonts, tooltips and spin controls. The
// Win32 screen base builds the window from it; each screen keeps its design
// beside its logic.
#pragma once
#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

#include "shell/control_layout.h"

namespace kova {

struct ScreenDesign {
  struct Button {
    int id;
    int bitmap;
  };
  struct Label {
    int id;
    LabelFont font;
    unsigned colour = 0;  // 0x00BBGGRR
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

// The buttons the screens' frames share, each with its picture and
// tooltip: Return, Next, Exit, Load File, Save File, Monitor and the data
// screens' write button.
struct FrameButton {
  int id;
  int bitmap;
  const char* tooltip;
};
const FrameButton& FrameButtonOf(int id);
// The screen itself, on the screens whose tooltip names it.
inline constexpr char kDataScreenTooltip[] = "Tela de Dados";
// Adds the buttons to a design, and their tooltips when asked.
void AddFrameButtons(ScreenDesign& design, std::initializer_list<int> ids, bool tooltips);
void AddButton(ScreenDesign& design, const FrameButton& button, bool tooltip);

}  // namespace kova
