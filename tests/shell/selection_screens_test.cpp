#include "shell/selection_screens.h"

#include <gtest/gtest.h>


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
  int ClosePort() override {
    ++closes;
    return 0;
  }
  int ReadPort(unsigned char*, unsigned long, unsigned long*) override { return 6; }

  int number = 0, closes = 0;
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

PortSearch Listing(std::vector<SystemPort> ports, std::vector<ProbeOutcome> outcomes = {},
                   std::vector<std::vector<SystemPort>>* probed = nullptr) {
  PortSearch search;
  search.list = [ports] { return ports; };
  if (!outcomes.empty())
    search.probe = [outcomes, probed](const std::vector<SystemPort>& asked) {
      if (probed) probed->push_back(asked);
      return outcomes;
    };
  return search;
}

TEST(PortScreen, TheEntryTextDecidesThePort) {
  RecordingPort port;
  PortScreen screen(port, Listing({{3, "", false}, {112, "USB Serial Port", false}}));
  FakeView view;
  screen.OnInit(view);
  EXPECT_EQ(view.controls[IDC_PORT_LIST].entries,
            (std::vector<std::string>{"COM3", "COM112 - USB Serial Port"}));
  EXPECT_EQ(view.GetSelection(IDC_PORT_LIST), 0);
  view.SelectEntry(IDC_PORT_LIST, 1);
  screen.OnNext(view);
  EXPECT_EQ(view.ended, (std::vector<int>{1}));
  // Position + 1 first, then the number in the text; then the open.
  EXPECT_EQ(port.numbers, (std::vector<int>{2, 112}));
  EXPECT_EQ(port.opened, (std::vector<int>{112}));
}

// The held port is closed and asked like any other, after the list shows,
// with the status line saying so; what each port gave is in its entry.
TEST(PortScreen, ThePortWhereAControllerAnswersIsMarkedAndChosen) {
  RecordingPort port;
  const std::vector<SystemPort> ports = {
      {1, "", false}, {4, "", false}, {5, "", true}, {6, "", false}, {7, "CH340", false}};
  std::vector<std::vector<SystemPort>> probed;
  PortScreen screen(port, Listing(ports,
                                  {ProbeOutcome::kSilent, ProbeOutcome::kBusy,
                                   ProbeOutcome::kNotAsked, ProbeOutcome::kAnswered,
                                   ProbeOutcome::kAnswered},
                                  &probed));
  FakeView view;
  screen.OnInit(view);
  ASSERT_EQ(probed.size(), 1u);
  EXPECT_EQ(probed[0], ports);
  EXPECT_EQ(port.closes, 1);
  EXPECT_EQ(view.statuses, (std::vector<std::string>{kSearchingStatus}));
  EXPECT_FALSE(view.busy);
  EXPECT_EQ(view.controls[IDC_PORT_LIST].entries,
            (std::vector<std::string>{"COM1", "COM4 - em uso", "COM5 - Bluetooth",
                                      "COM6 - controlador encontrado",
                                      "COM7 - CH340 - controlador encontrado"}));
  EXPECT_EQ(view.controls[IDC_PORT_LIST].selection, 3);
  screen.OnNext(view);
  EXPECT_EQ(port.number, 6);
  EXPECT_EQ(view.ended, (std::vector<int>{kScreenNext}));
}

TEST(PortScreen, EmptyListGivesPortZero) {
  RecordingPort port;
  PortScreen screen(port, Listing({}, {ProbeOutcome::kAnswered}));
  FakeView view;
  screen.OnInit(view);
  EXPECT_TRUE(view.controls[IDC_PORT_LIST].entries.empty());
  EXPECT_TRUE(view.statuses.empty());  // nothing to ask
  view.SelectEntry(IDC_PORT_LIST, -1);  // a real empty list has no selection
  screen.OnNext(view);
  EXPECT_EQ(port.number, 0);
  EXPECT_EQ(view.ended, (std::vector<int>{1}));
}

}  // namespace
}  // namespace kova
