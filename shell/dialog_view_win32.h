// The one Win32 View: controls of a dialog window addressed by their ids.
// Texts cross this boundary as UTF-8 on the logic's side and UTF-16 on the
// window's side.
#pragma once
#include "shell/win32.h"

#include <functional>

#include "shell/view.h"

namespace kova {

class DialogView final : public View {
 public:
  DialogView(HWND dialog, std::function<void(int)> end) : dialog_(dialog), end_(std::move(end)) {}

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
  void SetTimer(int id, unsigned ms) override;
  void KillTimer(int id) override;
  void EndScreen(int result) override { end_(result); }

 private:
  HWND dialog_;
  std::function<void(int)> end_;
};

// The application's name, the caption of its message boxes.
inline constexpr wchar_t kAppCaption[] = L"KOVA";

}  // namespace kova
