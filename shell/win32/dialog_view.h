// The one Win32 View: controls of a dialog window addressed by their ids.
// Texts cross this boundary as UTF-8 on the logic's side and UTF-16 on the
// window's side, and in the chosen language: what the screen hands over is
// shown through ShownText (common/texts.h), except in edit boxes, which
// hold what the user typed and numbers; a list's entry reads back as the
// text the screen gave it.
#pragma once
#include "shell/win32/win32.h"

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "common/texts.h"
#include "shell/view.h"

namespace kova {

// What the View needs of the screen that owns the dialog: its end, its
// spin controls, font labels, background and busy state.
class DialogHost {
 public:
  virtual ~DialogHost() = default;
  virtual void End(int result) = 0;
  virtual void SetSpinRange(int spin, double min, double max, double step, int decimals) = 0;
  virtual void SetSpinValue(int spin, double value) = 0;
  virtual void SetBackground(int bitmap) = 0;
  virtual void SetLabelColour(int id, unsigned rgb) = 0;
  virtual void SetBusy(const std::string& status) = 0;
  // The window's size against its picture (below 1 when shrunk to fit the
  // screen): the logic places controls in the picture's pixels.
  virtual double Scale() const = 0;
};

class DialogView final : public View {
 public:
  DialogView(HWND dialog, DialogHost& host) : dialog_(dialog), host_(host) {}

  void SetText(int id, const std::string& text) override;
  std::string GetText(int id) override;
  void ClearList(int id) override;
  void AddListEntry(int id, const std::string& text) override;
  void SelectEntry(int id, int index) override;
  int GetSelection(int id) override;
  void Show(int id, bool visible) override;
  void Enable(int id, bool enabled) override;
  int MessageBox(const std::string& text, const std::string& caption, unsigned flags) override;
  std::optional<std::string> FileDialog(const FileDialogRequest& req) override;
  void SetFocus(int id) override;
  void SetSpinRange(int spin, double min, double max, double step, int decimals) override {
    host_.SetSpinRange(spin, min, max, step, decimals);
  }
  void SetSpinValue(int spin, double value) override { host_.SetSpinValue(spin, value); }
  void SetBackground(int bitmap) override { host_.SetBackground(bitmap); }
  ControlRect GetControlRect(int id) override;
  void MoveControl(int id, const ControlRect& rect) override;
  void SetLabelColour(int id, unsigned rgb) override { host_.SetLabelColour(id, rgb); }
  void SetBusy(const std::string& status) override { host_.SetBusy(ShownText(status)); }
  void PumpMessages() override;
  void HoldRedraw(bool hold) override;
  void SetTimer(int id, unsigned ms) override;
  void KillTimer(int id) override;
  void EndScreen(int result) override { host_.End(result); }

 private:
  HWND dialog_;
  DialogHost& host_;
  // The entries each list was given, as given: what a list shows reads
  // back as the screen's own text.
  std::map<int, std::vector<std::string>> entries_;
};

// Whether a message is keyboard or mouse input.
bool IsInputMessage(const MSG& msg);

// The application's name, the caption of its message boxes.
inline constexpr wchar_t kAppCaption[] = L"KOVA";

}  // namespace kova
