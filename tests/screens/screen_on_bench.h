// A data screen on a ScreenBench: VELA gets the first screen class, the
// other models the second; the helpers act on the view as a user would.
#pragma once
#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "tests/screens/frame_text.h"

namespace kova {

template <class VelaScreen, class BrioScreen>
struct ScreenOnBench : ScreenBench {
  using Strings = std::vector<std::string>;

  explicit ScreenOnBench(int model, std::function<int()> monitor = nullptr) : ScreenBench(model) {
    ScreenLinks links{[] { return true; }, std::move(monitor)};
    if (model == kModelVela) screen = std::make_unique<VelaScreen>(app, links);
    else screen = std::make_unique<BrioScreen>(app, links);
  }
  void Open() {
    screen->OnInit(view);
    Forget();
  }
  // Types into a box the way the window reports it.
  void Type(int id, const std::string& text) {
    view.SetText(id, text);
    screen->OnTextChange(view, id);
  }
  void Choose(int list, int entry) {
    screen->OnFocus(view, list);
    view.SelectEntry(list, entry);
    screen->OnSelectionChange(view, list);
  }
  void Enter(int id) {
    screen->OnFocus(view, id);
    screen->OnEnter(view);
  }
  BrioScreen& brio() { return static_cast<BrioScreen&>(*screen); }
  std::string Text(int id) { return view.GetText(id); }
  bool Visible(int id) { return view.controls[id].visible; }
  bool Enabled(int id) { return view.controls[id].enabled; }
  Strings Frames() const { return frame_text::All(*this); }
  Strings Writes() const { return frame_text::Writes(*this); }
  int Count(const std::string& frame) const {
    Strings f = Frames();
    return static_cast<int>(std::count(f.begin(), f.end(), frame));
  }

  std::unique_ptr<DataScreen> screen;
};

}  // namespace kova
