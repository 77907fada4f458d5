// The Win32 side of the shell under Wine: the one View over real controls,
// and the screen base's modal loop with its keys and shortcuts.
#include "shell/win32/win32.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "common/texts.h"
#include "shell/win32/controls.h"
#include "shell/win32/pumping_clock.h"
#include "shell/win32/screen_window.h"
#include "shell_win32_test_ids.h"

namespace kova {
namespace {

// Runs `init` on the new screen, then `tick` once its loop is running. A
// screen that is still open after 5 s ends with kStuck, so a missing
// behaviour fails the test instead of hanging it.
constexpr int kStuck = -99;


class ScriptedLogic : public ScreenLogic {
 public:
  std::function<void(View&)> init, tick;
  std::function<void(View&, int)> command;
  std::vector<std::string> calls;
  void OnInit(View& v) override {
    if (init) init(v);
    v.SetTimer(7, 20);
    v.SetTimer(99, 5000);
  }
  void OnTimer(View& v, int id) override {
    v.KillTimer(id);
    if (id == 99) return v.EndScreen(kStuck);
    if (tick) tick(v);
  }
  void OnNext(View& v) override {
    calls.push_back("next");
    ScreenLogic::OnNext(v);
  }
  void OnReturn(View& v) override {
    calls.push_back("return");
    ScreenLogic::OnReturn(v);
  }
  void OnEnter(View&) override { calls.push_back("enter"); }
  void OnPortReopened(View&) override { calls.push_back("reopened"); }
  void OnCommand(View& v, int id) override {
    calls.push_back("command " + std::to_string(id));
    if (!command) return;
    command(v, id);
    calls.push_back("done " + std::to_string(id));
  }
};

class ShellWin32 : public ::testing::Test {
 protected:
  void SetUp() override { SetShellResources({GetModuleHandleW(nullptr), nullptr, &ctrl_, {}, {}}); }
  ScreenDesign Design() {
    ScreenDesign s;
    s.template_id = IDD_TEST_SCREEN;
    return s;
  }
  uint8_t ctrl_ = 0;
};

void Key(WPARAM key, bool down) {
  PostMessageW(GetFocus(), down ? WM_KEYDOWN : WM_KEYUP, key, 0);
}

// A click on the test button, as another program posts it.
void PostClick(HWND dlg) {
  PostMessageW(dlg, WM_COMMAND, MAKEWPARAM(IDC_TEST_BUTTON, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(dlg, IDC_TEST_BUTTON)));
}

// A key as the keyboard gives it: the thread's key state follows, as the
// Ctrl shortcuts need.
void Press(WORD key, bool down) {
  INPUT in = {};
  in.type = INPUT_KEYBOARD;
  in.ki.wVk = key;
  in.ki.dwFlags = down ? 0 : KEYEVENTF_KEYUP;
  SendInput(1, &in, sizeof in);
}

TEST_F(ShellWin32, ViewReadsAndWritesRealControls) {
  ScriptedLogic logic;
  std::string edit_text, combo_text;
  int combo_sel = -2, list_sel = -2, empty_sel = -2;
  bool hidden = true, disabled = true;
  logic.init = [&](View& v) {
    v.SetText(IDC_TEST_EDIT, "Ação São João");
    edit_text = v.GetText(IDC_TEST_EDIT);
    empty_sel = v.GetSelection(IDC_TEST_COMBO);
    v.AddListEntry(IDC_TEST_COMBO, "Arquivo");
    v.AddListEntry(IDC_TEST_COMBO, "Equipamento");
    v.SelectEntry(IDC_TEST_COMBO, 1);
    combo_sel = v.GetSelection(IDC_TEST_COMBO);
    combo_text = v.GetText(IDC_TEST_COMBO);
    v.AddListEntry(IDC_TEST_LIST, "COM1");
    v.AddListEntry(IDC_TEST_LIST, "COM12");
    v.SelectEntry(IDC_TEST_LIST, 1);
    v.ClearList(IDC_TEST_LIST);
    list_sel = v.GetSelection(IDC_TEST_LIST);
    v.Show(IDC_TEST_BUTTON, false);
    v.Enable(IDC_TEST_EDIT, false);
  };
  logic.tick = [&](View& v) {
    HWND dlg = GetActiveWindow();
    hidden = !IsWindowVisible(GetDlgItem(dlg, IDC_TEST_BUTTON));
    disabled = !IsWindowEnabled(GetDlgItem(dlg, IDC_TEST_EDIT));
    v.EndScreen(42);
  };
  ScreenWindow screen(Design(), logic);
  EXPECT_EQ(screen.Run(), 42);
  EXPECT_EQ(edit_text, "Ação São João");
  EXPECT_EQ(empty_sel, -1);
  EXPECT_EQ(combo_sel, 1);
  EXPECT_EQ(combo_text, "Equipamento");
  EXPECT_EQ(list_sel, -1);
  EXPECT_TRUE(hidden);
  EXPECT_TRUE(disabled);
}

std::wstring TextOf(int id) {
  wchar_t text[128] = {};
  GetDlgItemTextW(GetActiveWindow(), id, text, 128);
  return text;
}

// In another language the window shows the catalog's texts, the template's
// included, keeps what edit boxes hold, and a list's entry reads back as the
// text the screen gave it.
TEST_F(ShellWin32, ViewShowsTheChosenLanguageAndReadsListsBackAsGiven) {
  SetLanguage(Language::kEnglish);
  ScriptedLogic logic;
  std::string combo_text;
  std::wstring button, label, edit, entry, status;
  logic.init = [&](View& v) {
    v.SetText(IDC_TEST_LABEL, "Arquivo");
    v.SetText(IDC_TEST_EDIT, "Arquivo");
    v.AddListEntry(IDC_TEST_COMBO, "Arquivo");
    v.AddListEntry(IDC_TEST_COMBO, "Equipamento");
    v.SelectEntry(IDC_TEST_COMBO, 1);
    combo_text = v.GetText(IDC_TEST_COMBO);
  };
  logic.tick = [&](View& v) {
    v.SetBusy("Lendo parâmetros…");
    button = TextOf(IDC_TEST_BUTTON);
    label = TextOf(IDC_TEST_LABEL);
    edit = TextOf(IDC_TEST_EDIT);
    entry = TextOf(IDC_TEST_COMBO);
    status = TextOf(IDC_TEST_STATUS);
    v.SetBusy("");
    v.EndScreen(42);
  };
  ScreenWindow screen(Design(), logic);
  EXPECT_EQ(screen.Run(), 42);
  SetLanguage(Language::kPortuguese);
  EXPECT_EQ(button, L"Exit");  // "Sair" in the template
  EXPECT_EQ(label, L"File");
  EXPECT_EQ(edit, L"Arquivo");  // typed text stays as it is
  EXPECT_EQ(entry, L"Controller");
  EXPECT_EQ(combo_text, "Equipamento");
  EXPECT_EQ(status, L"Reading parameters…");
}

TEST_F(ShellWin32, EndedDuringInitialisationNeverRunsTheLoop) {
  ScriptedLogic logic;
  logic.init = [](View& v) { v.EndScreen(3); };
  ScreenWindow screen(Design(), logic);
  EXPECT_EQ(screen.Run(), 3);
  // The same object runs again with a new window.
  logic.init = nullptr;
  logic.tick = [](View& v) { v.EndScreen(4); };
  EXPECT_EQ(screen.Run(), 4);
}

TEST_F(ShellWin32, EnterDoesNotCloseEscExits) {
  ScriptedLogic logic;
  logic.tick = [&](View&) {
    SetFocus(GetDlgItem(GetActiveWindow(), IDC_TEST_EDIT));
    Key(VK_RETURN, true);
    Key(VK_RETURN, false);
    Key(VK_ESCAPE, true);
    Key(VK_ESCAPE, false);
  };
  ScreenWindow screen(Design(), logic);
  EXPECT_EQ(screen.Run(), 2);
  EXPECT_EQ(logic.calls, (std::vector<std::string>{"enter"}));
}

TEST_F(ShellWin32, CtrlArrowsAreNextAndReturn) {
  ScriptedLogic logic;
  logic.tick = [&](View&) {
    SetFocus(GetDlgItem(GetActiveWindow(), IDC_TEST_EDIT));
    Press(VK_CONTROL, true);
    Press(VK_LEFT, true);
    Press(VK_LEFT, false);
  };
  ScreenWindow screen(Design(), logic);
  EXPECT_EQ(screen.Run(), 4);
  EXPECT_EQ(ctrl_, 1);  // still held

  logic.calls.clear();
  logic.tick = [&](View&) {
    SetFocus(GetDlgItem(GetActiveWindow(), IDC_TEST_EDIT));
    // Wine takes the key state from the X server when a window gets the
    // focus, which knows nothing of injected keys: press Ctrl once more.
    Press(VK_CONTROL, true);
    Press(VK_RIGHT, true);
    Press(VK_RIGHT, false);
  };
  EXPECT_EQ(screen.Run(), 1);
  EXPECT_EQ(logic.calls, (std::vector<std::string>{"next"}));

  // Released Ctrl: the arrow is an arrow again.
  logic.calls.clear();
  logic.tick = [&](View& v) {
    SetFocus(GetDlgItem(GetActiveWindow(), IDC_TEST_EDIT));
    Press(VK_CONTROL, false);
    Press(VK_RIGHT, true);
    Press(VK_RIGHT, false);
    v.SetTimer(8, 100);
    logic.tick = [](View& v2) { v2.EndScreen(9); };
  };
  EXPECT_EQ(screen.Run(), 9);
  EXPECT_TRUE(logic.calls.empty());
  EXPECT_EQ(ctrl_, 0);

  // Ctrl let go while another window had the keyboard (its key-up went
  // there): when the screen gets the keyboard back the flag is stale, and a
  // plain arrow must not leave the screen. The activation messages are the
  // ones the system sends.
  logic.tick = [&](View& v) {
    HWND dlg = GetActiveWindow();
    SetFocus(GetDlgItem(dlg, IDC_TEST_EDIT));
    Key(VK_CONTROL, true);
    v.SetTimer(8, 100);
    logic.tick = [&, dlg](View& v2) {
      SendMessageW(dlg, WM_ACTIVATE, WA_INACTIVE, 0);
      SendMessageW(dlg, WM_ACTIVATE, WA_ACTIVE, 0);
      Key(VK_LEFT, true);
      v2.SetTimer(8, 200);
      logic.tick = [](View& v3) { v3.EndScreen(9); };
    };
  };
  EXPECT_EQ(screen.Run(), 9);
  EXPECT_TRUE(logic.calls.empty());
  EXPECT_EQ(ctrl_, 0);

  // A Ctrl that was only posted (no key is down) makes no shortcut.
  logic.tick = [&](View& v) {
    SetFocus(GetDlgItem(GetActiveWindow(), IDC_TEST_EDIT));
    Key(VK_CONTROL, true);
    Key(VK_RIGHT, true);
    v.SetTimer(8, 200);
    logic.tick = [](View& v2) { v2.EndScreen(9); };
  };
  EXPECT_EQ(screen.Run(), 9);
  EXPECT_TRUE(logic.calls.empty());
}

// Ctrl+click on a button that writes, Ctrl let go while the write waits:
// the key-up is refused with the rest of the input, yet a plain Left arrow
// afterwards is an arrow.
TEST_F(ShellWin32, CtrlLetGoDuringAWriteIsNotStuck) {
  ScriptedLogic logic;
  PumpingClock clock;
  logic.command = [&](View& v, int) {
    v.SetBusy("Gravando 2C (1 de 1)…");
    Press(VK_CONTROL, false);
    clock.Sleep(300);
    v.SetBusy("");
  };
  logic.tick = [&](View& v) {
    HWND dlg = GetActiveWindow();
    SetFocus(GetDlgItem(dlg, IDC_TEST_EDIT));
    Press(VK_CONTROL, true);
    v.SetTimer(8, 100);
    logic.tick = [&, dlg](View& v1) {
      PostClick(dlg);
      v1.SetTimer(8, 600);
      logic.tick = [&](View& v2) {
        Press(VK_LEFT, true);
        Press(VK_LEFT, false);
        v2.SetTimer(8, 200);
        logic.tick = [](View& v3) { v3.EndScreen(9); };
      };
    };
  };
  ScreenWindow screen(Design(), logic);
  EXPECT_EQ(screen.Run(), 9);
  EXPECT_EQ(logic.calls, (std::vector<std::string>{"command 303", "done 303"}));
  EXPECT_EQ(ctrl_, 0);
}

// While a transaction shows it is busy, what the user types is refused and
// a close request too; a click another program posts meanwhile runs after
// it, not inside. (Input kept over a wait that is not busy, and Windows
// asking to end the session, are walked end to end.)
TEST_F(ShellWin32, InputDuringATransaction) {
  ScriptedLogic logic;
  PumpingClock clock;
  int depth = 0, deepest = 0;
  logic.command = [&](View& v, int) {
    deepest = std::max(deepest, ++depth);
    if (logic.calls.size() == 1) {
      HWND dlg = GetActiveWindow();
      v.SetBusy("Gravando 2C (1 de 1)…");
      PostClick(dlg);
      PostMessageW(dlg, WM_SYSCOMMAND, SC_CLOSE, 0);
      Press('3', true), Press('3', false);
      clock.Sleep(200);
      v.SetBusy("");
    }
    --depth;
  };
  std::string typed = "?";
  logic.tick = [&](View& v) {
    v.SetFocus(IDC_TEST_EDIT);
    PostClick(GetActiveWindow());
    v.SetTimer(8, 400);
    logic.tick = [&](View& v2) {
      typed = v2.GetText(IDC_TEST_EDIT);
      v2.EndScreen(9);
    };
  };
  ScreenWindow screen(Design(), logic);
  EXPECT_EQ(screen.Run(), 9);  // not closed
  EXPECT_EQ(typed, "");
  EXPECT_EQ(deepest, 1) << "a posted click ran inside a wait";
  EXPECT_EQ(std::count(logic.calls.begin(), logic.calls.end(), "command 303"), 2);
}

// While a panel opens over a screen (its first drawing lets messages
// through), nothing reaches the screen underneath: a second click on the
// button that opened it does not open it again, and keys typed meanwhile
// do not land in the screen's fields.
TEST_F(ShellWin32, NothingReachesTheScreenUnderAPanelThatOpens) {
  ScriptedLogic inner;
  int opened = 0;
  inner.init = [&](View& v) {
    ++opened;
    Sleep(100);  // the clicks and keys are queued by now
    v.PumpMessages();
  };
  inner.tick = [](View& v) { v.EndScreen(1); };
  ScreenWindow panel(Design(), inner);
  ScriptedLogic outer;
  std::string typed = "?";
  outer.command = [&](View&, int) { panel.Run(); };
  outer.tick = [&](View& v) {
    HWND dlg = GetActiveWindow();
    SetFocus(GetDlgItem(dlg, IDC_TEST_EDIT));
    for (int i = 0; i < 2; ++i) PostClick(dlg);
    Key('5', true);
    v.SetTimer(8, 800);
    outer.tick = [&](View& v2) {
      typed = v2.GetText(IDC_TEST_EDIT);
      v2.EndScreen(5);
    };
  };
  ScreenWindow screen(Design(), outer);
  EXPECT_EQ(screen.Run(), 5);
  EXPECT_EQ(opened, 1);
  EXPECT_EQ(typed, "");
}

// Windows ending the session, and a sleep in the middle of a transaction:
// the link is let go, and set up again only once the transaction is over;
// the screen hears of the port opened again once, though Windows tells of
// the wake twice.
TEST_F(ShellWin32, SessionEndAndSleep) {
  std::vector<std::string> link;
  bool reopen = false;
  SetShellResources({GetModuleHandleW(nullptr), nullptr, &ctrl_, [&] { link.push_back("end"); },
                     [&](bool suspend) {
                       link.push_back(suspend ? "suspend" : "resume");
                       if (suspend) reopen = true;
                       return !suspend && std::exchange(reopen, false);
                     }});
  ScriptedLogic logic;
  logic.tick = [&](View& v) {
    HWND dlg = GetActiveWindow();
    v.SetBusy("Lendo parâmetros…");
    SendMessageW(dlg, WM_POWERBROADCAST, PBT_APMSUSPEND, 0);
    SendMessageW(dlg, WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC, 0);
    link.push_back("busy");
    v.SetBusy("");
    SendMessageW(dlg, WM_POWERBROADCAST, PBT_APMRESUMESUSPEND, 0);
    SendMessageW(dlg, WM_ENDSESSION, TRUE, 0);
    v.EndScreen(1);
  };
  ScreenWindow screen(Design(), logic);
  EXPECT_EQ(screen.Run(), 1);
  EXPECT_EQ(link, (std::vector<std::string>{"suspend", "busy", "resume", "resume", "end"}));
  EXPECT_EQ(logic.calls, (std::vector<std::string>{"reopened"}));
}

TEST_F(ShellWin32, ButtonsReachTheLogic) {
  ScriptedLogic logic;
  logic.tick = [&](View& v) {
    HWND dlg = GetActiveWindow();
    SendMessageW(GetDlgItem(dlg, IDC_TEST_BUTTON), BM_CLICK, 0, 0);
    v.EndScreen(1);
  };
  ScreenWindow screen(Design(), logic);
  EXPECT_EQ(screen.Run(), 1);
  EXPECT_EQ(logic.calls, (std::vector<std::string>{"command " + std::to_string(IDC_TEST_BUTTON)}));
}

TEST_F(ShellWin32, BackgroundModeAndMissingPictures) {
  ScriptedLogic logic;
  ScreenWindow screen(Design(), logic);
  EXPECT_FALSE(screen.LoadBackground(9999));  // no such bitmap
  screen.SetBackgroundMode(2);
  screen.SetBackgroundMode(3);                // ignored: the mode before stays
  EXPECT_EQ(screen.background_mode(), BackgroundMode::Stretch);
  screen.SetBackgroundMode(-1);
  EXPECT_EQ(screen.background_mode(), BackgroundMode::Stretch);
  BitmapButton button;
  EXPECT_FALSE(button.SetBitmaps(GetModuleHandleW(nullptr), 9999, RGB(255, 255, 255)));
}

// What the data screens need of a window beyond the customer screen: focus,
// text-change and key events, spin ranges at run time, moving controls, the
// busy status line and the pump that keeps the window alive.
class EventLogic : public ScriptedLogic {
 public:
  std::vector<std::string> events;
  void OnFocus(View&, int id) override { events.push_back("focus " + std::to_string(id)); }
  void OnTextChange(View&, int id) override { events.push_back("text " + std::to_string(id)); }
  bool OnKey(View&, int key) override { return key == 'X'; }  // the filter drops X
  void OnDestroy(View&) override { events.push_back("destroy"); }
};

TEST_F(ShellWin32, DataScreenEventsAndControls) {
  EventLogic logic;
  std::string number, typed, status;
  bool status_shown = false;
  ControlRect moved;
  logic.tick = [&](View& v) {
    HWND dlg = GetActiveWindow();
    v.SetSpinRange(IDC_TEST_SPIN, 0, 10, 0.5, 1);
    v.SetSpinValue(IDC_TEST_SPIN, 2.5);
    number = v.GetText(IDC_TEST_NUMBER);
    // An arrow click steps the buddy by the step, within the range.
    SendMessageW(GetDlgItem(dlg, IDC_TEST_NUMBER), WM_KEYDOWN, VK_UP, 0);
    v.MoveControl(IDC_TEST_LABEL, {20, 30, 60, 45});
    moved = v.GetControlRect(IDC_TEST_LABEL);
    v.SetBusy("Gravando 2C (1 de 1)…");
    status = v.GetText(IDC_TEST_STATUS);
    status_shown = IsWindowVisible(GetDlgItem(dlg, IDC_TEST_STATUS));
    v.SetBusy("");
    v.SetFocus(IDC_TEST_EDIT);
    Press('X', true);
    Press('X', false);
    Press('7', true);
    Press('7', false);
    v.SetTimer(8, 200);
    logic.tick = [&](View& v2) {
      typed = v2.GetText(IDC_TEST_EDIT);
      v2.EndScreen(5);
    };
  };
  ScreenWindow screen(Design(), logic);
  EXPECT_EQ(screen.Run(), 5);
  EXPECT_EQ(number, "2.5");
  EXPECT_EQ(moved, (ControlRect{20, 30, 60, 45}));
  EXPECT_EQ(status, "Gravando 2C (1 de 1)…");
  EXPECT_TRUE(status_shown);
  EXPECT_EQ(typed, "7");  // the filtered key never reached the box
  auto has = [&](const std::string& e) {
    return std::find(logic.events.begin(), logic.events.end(), e) != logic.events.end();
  };
  EXPECT_TRUE(has("focus " + std::to_string(IDC_TEST_EDIT)));
  EXPECT_TRUE(has("text " + std::to_string(IDC_TEST_EDIT)));
  EXPECT_EQ(logic.events.back(), "destroy");
}

}  // namespace
}  // namespace kova
