// What a screen's logic sees of its window: controls addressed by the
// dialog's control ids, message boxes, file dialogs, timers and the end of
// the screen. One Win32 implementation serves every dialog; tests use
// FakeView (tests/support/fake_view.h). Texts are UTF-8; the Win32 side
// converts at its boundary.
#pragma once
#include <optional>
#include <string>

namespace kova {

// Message box flags and answers, with the system's values.
enum : unsigned {
  kMbOk = 0x0,
  kMbYesNo = 0x4,
  kMbIconStop = 0x10,
  kMbIconQuestion = 0x20,
  kMbIconExclamation = 0x30,
  kMbIconInformation = 0x40,
  kMbSystemModal = 0x1000,
};
enum : int { kIdOk = 1, kIdCancel = 2, kIdYes = 6, kIdNo = 7 };

struct FileDialogRequest {
  bool save = false;
  std::string filter;       // "Arquivos Padrão Kova (*.VELA)|*.VELA|"
  std::string default_ext;  // "VELA", or empty for none
  std::string initial;      // initial file name, empty for none
};

class View {
 public:
  virtual ~View() = default;

  virtual void SetText(int id, const std::string& text) = 0;
  virtual std::string GetText(int id) = 0;
  // List and combo boxes.
  virtual void ClearList(int id) = 0;
  virtual void AddListEntry(int id, const std::string& text) = 0;
  virtual void SelectEntry(int id, int index) = 0;  // -1 clears the selection
  virtual int GetSelection(int id) = 0;             // -1 when none
  virtual void Show(int id, bool visible) = 0;
  virtual void Enable(int id, bool enabled) = 0;

  // Returns kIdOk, kIdYes, kIdNo ... An empty caption means the
  // application's default caption.
  virtual int MessageBox(const std::string& text, const std::string& caption,
                         unsigned flags) = 0;
  // The chosen path, or nothing when the user cancels.
  virtual std::optional<std::string> FileDialog(const FileDialogRequest& req) = 0;

  virtual void SetTimer(int id, unsigned ms) = 0;
  virtual void KillTimer(int id) = 0;
  // Ends the modal screen with a result (1 Next, 2 Exit, 3 link failure, 4 Return).
  virtual void EndScreen(int result) = 0;
};

}  // namespace kova
