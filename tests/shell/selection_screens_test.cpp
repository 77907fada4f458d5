#include "shell/selection_screens.h"

#include <gtest/gtest.h>

#include <set>

#include "resources/control_ids.h"
#include "tests/support/fake_view.h"
#include "tests/support/null_serial_port.h"

namespace kova {
namespace {

// Records what the port screen asks of the port.
class RecordingPort : public NullSerialPort {
 public:
  int SetPortNumber(int n) override {
    numbers.push_back(n);
    number = n;
    return 0;
  }
  int GetPortNumber() override { return number; }
  int OpenPort() override {
    opened.push_back(number);
    return 0;
  }
  int PortConnected() override { return 0; }
  int ReadPort(unsigned char*, unsigned long, unsigned long*) override { return 6; }

  int number = 0;
  std::vector<int> numbers, opened;
};

TEST(LanguageScreen, EachButtonChoosesAndRemembersItsLanguage) {
  std::vector<Language> remembered;
  LanguageScreen screen([&](Language l) { remembered.push_back(l); });
  const struct {
    int button;
    Language language;
  } kButtons[] = {{IDC_LANG_EN, Language::kEnglish},
                  {IDC_LANG_ES, Language::kSpanish},
                  {IDC_LANG_PT, Language::kPortuguese}};
  for (const auto& b : kButtons) {
    FakeView view;
    screen.OnInit(view);
    screen.OnCommand(view, b.button);
    EXPECT_EQ(CurrentLanguage(), b.language);
    EXPECT_EQ(view.ended, (std::vector<int>{1}));
    // The next visit puts the focus on the language chosen last.
    FakeView again;
    screen.OnInit(again);
    EXPECT_EQ(again.focus, b.button);
  }
  EXPECT_EQ(remembered, (std::vector<Language>{Language::kEnglish, Language::kSpanish,
                                               Language::kPortuguese}));
  // Enter goes on in the current language; Esc leaves.
  FakeView view;
  screen.OnEnter(view);
  screen.OnExit(view);
  EXPECT_EQ(view.ended, (std::vector<int>{1, 2}));
  EXPECT_EQ(remembered.size(), 3u);
  EXPECT_FALSE(screen.HasCtrlShortcuts());
}

TEST(ModelScreen, ListsTheModelsAndPreselectsVela) {
  int model = 0;
  std::vector<int> built;
  ModelScreen screen(model, [&](int m) { built.push_back(m); });
  FakeView view;
  view.controls[IDC_MODEL_LIST].entries = {"stale"};
  screen.OnInit(view);
  EXPECT_EQ(view.controls[IDC_MODEL_LIST].entries,
            (std::vector<std::string>{"BRIO", "VELA", "VELA plus"}));
  EXPECT_EQ(view.GetSelection(IDC_MODEL_LIST), 1);
  EXPECT_EQ(model, 1);
  EXPECT_TRUE(built.empty());

  view.SelectEntry(IDC_MODEL_LIST, 2);
  screen.OnNext(view);
  EXPECT_EQ(model, 2);
  EXPECT_EQ(built, (std::vector<int>{2}));
  EXPECT_EQ(view.ended, (std::vector<int>{1}));
}

TEST(ModelScreen, NextWithoutASelectionKeepsTheScreenOpen) {
  int model = 1;
  int builds = 0;
  ModelScreen screen(model, [&](int) { ++builds; });
  FakeView view;
  screen.OnInit(view);
  view.SelectEntry(IDC_MODEL_LIST, -1);
  screen.OnNext(view);
  EXPECT_TRUE(view.ended.empty());
  EXPECT_EQ(model, 1);
  EXPECT_EQ(builds, 0);
  screen.OnReturn(view);
  EXPECT_EQ(view.ended, (std::vector<int>{4}));
}

TEST(PortScreen, ProbesZeroToNinetyNineInOrder) {
  std::vector<int> tried;
  auto names = ProbePorts([&](int n) {
    tried.push_back(n);
    return n == 1 || n == 12 || n == 99;
  });
  ASSERT_EQ(tried.size(), 100u);
  EXPECT_EQ(tried.front(), 0);
  EXPECT_EQ(tried.back(), 99);
  EXPECT_EQ(names, (std::vector<std::string>{"COM1", "COM12", "COM99"}));
}

TEST(PortScreen, TheEntryTextDecidesThePort) {
  RecordingPort port;
  PortScreen screen(port, [](int n) { return n == 3 || n == 12; });
  FakeView view;
  screen.OnInit(view);
  EXPECT_EQ(view.controls[IDC_PORT_LIST].entries, (std::vector<std::string>{"COM3", "COM12"}));
  EXPECT_EQ(view.GetSelection(IDC_PORT_LIST), 0);
  view.SelectEntry(IDC_PORT_LIST, 1);
  screen.OnNext(view);
  EXPECT_EQ(view.ended, (std::vector<int>{1}));
  // Position + 1 first, then the number in the text; then the open.
  EXPECT_EQ(port.numbers, (std::vector<int>{2, 12}));
  EXPECT_EQ(port.opened, (std::vector<int>{12}));
}

TEST(PortScreen, ThePortWhereAControllerAnswersIsMarkedAndChosen) {
  RecordingPort port;
  std::vector<int> asked;
  PortScreen screen(
      port, [](int n) { return n == 1 || n == 3 || n == 4 || n == 6; },
      [&](int n) {
        asked.push_back(n);
        return n == 4 || n == 6;
      });
  FakeView view;
  screen.OnInit(view);
  EXPECT_EQ(view.controls[IDC_PORT_LIST].entries,
            (std::vector<std::string>{"COM1", "COM3", "COM4 - controlador encontrado", "COM6"}));
  EXPECT_EQ(view.controls[IDC_PORT_LIST].selection, 2);
  // Once one is found the rest are only listed.
  EXPECT_EQ(asked, (std::vector<int>{1, 3, 4}));
  screen.OnNext(view);
  EXPECT_EQ(port.number, 4);
  EXPECT_EQ(view.ended, (std::vector<int>{kScreenNext}));
}

TEST(PortScreen, EmptyListGivesPortZero) {
  RecordingPort port;
  PortScreen screen(port, [](int) { return false; });
  FakeView view;
  screen.OnInit(view);
  EXPECT_TRUE(view.controls[IDC_PORT_LIST].entries.empty());
  view.SelectEntry(IDC_PORT_LIST, -1);  // a real empty list has no selection
  screen.OnNext(view);
  EXPECT_EQ(port.number, 0);
  EXPECT_EQ(view.ended, (std::vector<int>{1}));
}

TEST(PortScreen, EntryNumbers) {
  EXPECT_EQ(PortNumberOfEntry("COM12"), 12);
  EXPECT_EQ(PortNumberOfEntry("COM1"), 1);
  EXPECT_EQ(PortNumberOfEntry("COM"), 0);
  EXPECT_EQ(PortNumberOfEntry(""), 0);
  EXPECT_EQ(PortNumberOfEntry("COMx"), 0);
  EXPECT_EQ(PortNumberOfEntry("COM99999999999"), 0);
}

}  // namespace
}  // namespace kova
