// What a screen decides, apart from its window: the generic Win32 screen
// base relays every message it cares about to one of these, with the
// screen's View. The defaults are the shared Return / Next / Exit handling.
#pragma once
#include "shell/screen_flow.h"
#include "shell/view.h"

namespace kova {

class ScreenLogic {
 public:
  virtual ~ScreenLogic() = default;
  // Every visit: the window is new, so everything on it is set up again.
  virtual void OnInit(View& view) { (void)view; }
  // Next button and Ctrl+Right.
  virtual void OnNext(View& view) { view.EndScreen(kScreenNext); }
  // Return button and Ctrl+Left.
  virtual void OnReturn(View& view) { view.EndScreen(kScreenReturn); }
  // Exit button, Esc and closing the window.
  virtual void OnExit(View& view) { view.EndScreen(kScreenExit); }
  // Enter: never closes a data screen by itself.
  virtual void OnEnter(View& view) { (void)view; }
  // Any other button.
  virtual void OnCommand(View& view, int id) { (void)view, (void)id; }
  // An edit box lost the focus.
  virtual void OnFieldLeft(View& view, int id) { (void)view, (void)id; }
  // A control got the keyboard focus.
  virtual void OnFocus(View& view, int id) { (void)view, (void)id; }
  // The text of an edit box, or of a combo box's edit part, changed.
  virtual void OnTextChange(View& view, int id) { (void)view, (void)id; }
  // Every key-down, before anything else handles it; true discards it.
  virtual bool OnKey(View& view, int key) { (void)view, (void)key; return false; }
  // The window is going away (after the screen ended, or the program does).
  virtual void OnDestroy(View& view) { (void)view; }
  // A list's selection changed.
  virtual void OnSelectionChange(View& view, int id) { (void)view, (void)id; }
  virtual void OnTimer(View& view, int id) { (void)view, (void)id; }
  // The port was opened again after a sleep, which had stopped the
  // controller's live stream.
  virtual void OnPortReopened(View& view) { (void)view; }
  // Whether Ctrl+Right / Ctrl+Left act as Next / Return here.
  virtual bool HasCtrlShortcuts() const { return true; }
};

}  // namespace kova
