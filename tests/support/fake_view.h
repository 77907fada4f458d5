// A View for tests: remembers every control's state, records message boxes
// and file dialogs, and answers them from queues the test fills.
#pragma once
#include <cstdio>
#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "shell/view.h"

namespace kova {

class FakeView : public View {
 public:
  struct Control {
    std::string text;
    std::vector<std::string> entries;
    int selection = -1;
    bool visible = true;
    bool enabled = true;
    ControlRect rect;
    unsigned colour = 0;
    // Spin controls.
    double min = 0, max = 0, step = 0;
    int decimals = -1;
  };
  struct Message {
    std::string text, caption;
    unsigned flags;
  };

  void SetText(int id, const std::string& text) override { controls[id].text = text; }
  std::string GetText(int id) override { return controls[id].text; }
  void ClearList(int id) override {
    controls[id].entries.clear();
    controls[id].selection = -1;
  }
  void AddListEntry(int id, const std::string& text) override {
    controls[id].entries.push_back(text);
  }
  void SelectEntry(int id, int index) override { controls[id].selection = index; }
  int GetSelection(int id) override { return controls[id].selection; }
  void Show(int id, bool visible) override { controls[id].visible = visible; }
  void Enable(int id, bool enabled) override { controls[id].enabled = enabled; }

  int MessageBox(const std::string& text, const std::string& caption,
                 unsigned flags) override {
    messages.push_back({text, caption, flags});
    if (answers.empty()) return (flags & kMbYesNo) ? kIdYes : kIdOk;
    int a = answers.front();
    answers.pop_front();
    return a;
  }
  std::optional<std::string> FileDialog(const FileDialogRequest& req) override {
    dialogs.push_back(req);
    if (dialog_answers.empty()) return std::nullopt;
    auto a = dialog_answers.front();
    dialog_answers.pop_front();
    return a;
  }
  void SetFocus(int id) override { focus = id; }
  void SetSpinRange(int spin, double min, double max, double step, int decimals) override {
    Control& c = controls[spin];
    c.min = min, c.max = max, c.step = step, c.decimals = decimals;
  }
  // The fake spin writes the number into its own text.
  void SetSpinValue(int spin, double value) override {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%g", value);
    controls[spin].text = buf;
  }
  void SetBackground(int bitmap) override { backgrounds.push_back(bitmap); }
  ControlRect GetControlRect(int id) override { return controls[id].rect; }
  void MoveControl(int id, const ControlRect& rect) override {
    controls[id].rect = rect;
    ++moves;
  }
  void SetLabelColour(int id, unsigned rgb) override { controls[id].colour = rgb; }
  void SetBusy(const std::string& status) override {
    busy = !status.empty();
    if (!busy) return;
    statuses.push_back(status);
    if (on_busy) on_busy();
  }
  void PumpMessages() override {
    ++pumps;
    if (on_pump) on_pump();
  }
  void HoldRedraw(bool hold) override { held = hold; }
  void SetTimer(int id, unsigned ms) override { timers[id] = ms; }
  void KillTimer(int id) override { timers.erase(id); }
  void EndScreen(int result) override { ended.push_back(result); }

  std::map<int, Control> controls;
  std::vector<Message> messages;
  std::deque<int> answers;  // message box answers, in order
  std::vector<FileDialogRequest> dialogs;
  std::deque<std::optional<std::string>> dialog_answers;
  std::map<int, unsigned> timers;
  std::vector<int> ended;
  int focus = 0;
  std::vector<int> backgrounds;  // every background set, in order
  int moves = 0;
  bool busy = false;
  std::vector<std::string> statuses;  // every busy status shown
  int pumps = 0;
  std::function<void()> on_pump;      // runs inside PumpMessages
  std::function<void()> on_busy;      // runs when a status is shown
  bool held = false;

  int Background() const { return backgrounds.empty() ? 0 : backgrounds.back(); }
  // The digits n glyph cells of ten controls from first show: a blank for
  // none, '?' for several.
  std::string Cells(int first, int n) {
    std::string s;
    for (int c = 0; c < n; ++c) {
      int d = -1;
      for (int i = 0; i < 10; ++i) {
        auto it = controls.find(first + 10 * c + i);
        if (it != controls.end() && it->second.visible) d = d == -1 ? i : -2;
      }
      s += d >= 0 ? char('0' + d) : d == -1 ? ' ' : '?';
    }
    return s;
  }
};

}  // namespace kova
