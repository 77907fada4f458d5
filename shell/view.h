// What a screen's logic sees of its window: controls addressed by the
// dialog's control ids, message boxes, file dialogs, timers and the end of
// the screen. One Win32 implementation serves every dialog; tests use
// FakeView (tests/support/fake_view.h). Texts are UTF-8; the Win32 side
// converts at its boundary.
#pragma once
#include <optional>
#include <string>
#include <string_view>

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

// The busy status while the controller is being written, before the first
// frame has a status of its own; also what Windows shows when it wants to
// end the session meanwhile.
inline constexpr char kWritingController[] = "Gravando no controlador";

// Virtual-key codes the screens' key filters look at, with the system's
// values.
enum : int {
  kKeyBack = 0x08,
  kKeyTab = 0x09,
  kKeyReturn = 0x0D,
  kKeyShift = 0x10,
  kKeyControl = 0x11,
  kKeyEscape = 0x1B,
  kKeyLeft = 0x25,
  kKeyUp = 0x26,
  kKeyRight = 0x27,
  kKeyDown = 0x28,
  kKeyDelete = 0x2E,
  kKey0 = 0x30,
  kKey9 = 0x39,
  kKeyPad0 = 0x60,
  kKeyPad9 = 0x69,
  kKeyPadSeparator = 0x6C,  // the separator key of some keypads
  kKeyPadDecimal = 0x6E,
  kKeyPeriod = 0xBE,
  kKeyAbntC2 = 0xC2,        // the Brazilian keypad's "." key
};

// The keys a number field takes: digits of both keyboards, the decimal
// keys, the arrows and the editing keys; Ctrl, Enter and Esc always pass.
inline bool DigitFieldKey(int key) {
  return (key >= kKey0 && key <= kKey9) || (key >= kKeyPad0 && key <= kKeyPad9) ||
         key == kKeyBack || key == kKeyPeriod || key == kKeyPadDecimal ||
         key == kKeyPadSeparator || key == kKeyAbntC2 || key == kKeyLeft || key == kKeyRight ||
         key == kKeyUp || key == kKeyDown || key == kKeyDelete || key == kKeyTab ||
         key == kKeyShift || key == kKeyControl || key == kKeyReturn || key == kKeyEscape;
}

// A control's place in its screen's client area, in pixels.
struct ControlRect {
  int left = 0, top = 0, right = 0, bottom = 0;
  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
  bool operator==(const ControlRect&) const = default;
};

struct FileDialogRequest {
  bool save = false;
  std::string filter;       // "Arquivos Padrão Kova (*.VELA)|*.VELA|"
  std::string default_ext;  // "VELA", or empty for none
  std::string initial;      // initial file name, empty for none
  std::string folder;       // where it opens when initial names no file; empty: the system's choice
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

  // The control that gets the keyboard.
  virtual void SetFocus(int id) = 0;
  // Spin (up-down) controls whose buddy edit holds a number: the range and
  // step arrows move it in, and the decimals shown (-1: as few as needed).
  virtual void SetSpinRange(int spin, double min, double max, double step, int decimals) = 0;
  // Writes the value into the spin's buddy, formatted as the spin shows it.
  virtual void SetSpinValue(int spin, double value) = 0;

  // The screen's background picture (a bitmap resource), repainted at once.
  virtual void SetBackground(int bitmap) = 0;
  virtual ControlRect GetControlRect(int id) = 0;
  virtual void MoveControl(int id, const ControlRect& rect) = 0;
  // Text colour of a font label, 0x00BBGGRR.
  virtual void SetLabelColour(int id, unsigned rgb) = 0;

  // While a transaction runs: the window keeps painting, shows a wait
  // cursor and `status`, and takes no input. An empty status ends it.
  virtual void SetBusy(const std::string& status) = 0;
  // Lets the window's pending messages through (painting, and the input
  // that is not locked out), so a long drawing keeps the window alive.
  virtual void PumpMessages() = 0;
  // Batches the window's drawing between true and false, so a redraw of
  // many controls shows at once.
  virtual void HoldRedraw(bool hold) = 0;

  virtual void SetTimer(int id, unsigned ms) = 0;
  virtual void KillTimer(int id) = 0;
  // Ends the modal screen with a result (1 Next, 2 Exit, 3 link failure, 4 Return).
  virtual void EndScreen(int result) = 0;
};

}  // namespace kova
