// What the frame does for every data screen, as one table: with the file as
// source nothing reaches the controller; a write disables its lock set
// while it runs and a silent controller ends the screen with 3; the monitor
// returns to a refreshed screen or exits; the key filter.
#include "screens/data_screen.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <set>

#include "resources/aux_lambda_ids.h"
#include "resources/control_ids.h"
#include "screens/actuator_screen.h"
#include "screens/aux_screens.h"
#include "screens/customer_screen.h"
#include "screens/lambda_screens.h"
#include "screens/vehicle_screens.h"
#include "tests/support/screen_bench.h"

namespace kova {
namespace {

using Make = std::function<std::unique_ptr<DataScreen>(AppContext&, ScreenLinks)>;
template <class S>
Make Of() {
  return [](AppContext& app, ScreenLinks links) { return std::make_unique<S>(app, links); };
}

struct Row {
  const char* name;
  int model;
  Make make;
  int field;             // a field to change and write with Enter
  bool list;             // the field is a list: value is an entry
  const char* value;
  std::set<int> locked;  // disabled while a write runs
  bool refreshes;        // the monitor's return shows the store again
  bool digits_only;      // the key filter drops letters
  bool write_shows_file;  // with the file as source, the write button shows it again
};

const std::set<int> kFiles{IDC_LOAD, IDC_SAVE, IDC_WRITE};
const std::set<int> kLeave{IDC_RETURN, IDC_EXIT, IDC_WRITE};

const Row kRows[] = {
    {"vehicle VELA", kModelVela, Of<VehicleScreen>(), IDC_COILS, true, "3", kFiles, true, false,
     false},
    {"vehicle VELA plus", kModelVelaPlus, Of<VehicleScreen>(), IDC_COILS, true, "3", kFiles, true,
     false, false},
    {"vehicle BRIO", kModelBrio, Of<VehicleBrioScreen>(), IDC_RETURN_TIME, false, "50", kFiles, true,
     true, true},
    {"lambda VELA", kModelVela, Of<LambdaVelaScreen>(), IDC_LAMBDA_ON, false, "1.00", kLeave, true,
     true, false},
    {"lambda BRIO", kModelBrio, Of<LambdaBrioScreen>(), IDC_LAMBDA_ON, false, "1.00", kLeave, true,
     true, true},
    {"auxiliary VELA", kModelVela, Of<AuxVelaScreen>(), IDC_AUX_STEPS, false, "40", kFiles, true,
     true, false},
    {"auxiliary BRIO", kModelVelaPlus, Of<AuxBrioScreen>(), IDC_AUX_STEPS, false, "40", kFiles,
     true, false, true},
    {"actuator", kModelBrio, Of<ActuatorScreen>(), IDC_ACT_LOW_DEFAULT, false, "70", kLeave, false,
     true, false},
};

struct Frame : ScreenBench {
  Frame(const Row& row, std::function<int()> monitor = nullptr)
      : ScreenBench(row.model), row(row), screen(row.make(app, {[] { return true; }, monitor})) {}
  void Open() {
    screen->OnInit(view);
    Forget();
  }
  void Change() {
    screen->OnFocus(view, row.field);
    if (row.list) {
      view.SelectEntry(row.field, std::stoi(row.value));
      screen->OnSelectionChange(view, row.field);
    } else {
      view.SetText(row.field, row.value);
      screen->OnTextChange(view, row.field);
    }
  }
  void Enter() {
    screen->OnFocus(view, row.field);
    screen->OnEnter(view);
  }
  const Row& row;
  std::unique_ptr<DataScreen> screen;
};

class DataScreenFrame : public ::testing::TestWithParam<Row> {};

TEST_P(DataScreenFrame, WithTheFileAsSourceNothingGoesToTheController) {
  Frame f(GetParam());
  f.app.file_loaded = 1;
  f.app.source = kSourceFile;
  f.app.file_store = f.app.equipment;
  f.Open();
  EXPECT_TRUE(f.view.controls[IDC_SOURCE].visible);
  EXPECT_EQ(f.view.GetSelection(IDC_SOURCE), kSelectorFile);
  const std::string shown = f.view.GetText(GetParam().field);
  const int selected = f.view.GetSelection(GetParam().field);
  f.Change();
  f.Enter();
  f.screen->OnCommand(f.view, IDC_WRITE);
  EXPECT_TRUE(f.Frames().empty());
  EXPECT_EQ(f.app.changes.Count(), 0);
  const bool file_again = GetParam().list ? f.view.GetSelection(GetParam().field) == selected
                                          : f.view.GetText(GetParam().field) == shown;
  EXPECT_EQ(file_again, GetParam().write_shows_file);
}

TEST_P(DataScreenFrame, AWriteLocksItsButtonsAndASilentControllerEndsTheScreen) {
  Frame f(GetParam());
  f.Open();
  std::set<int> locked;
  f.view.on_busy = [&] {
    for (int id : {IDC_LOAD, IDC_SAVE, IDC_RETURN, IDC_EXIT, IDC_WRITE})
      if (!f.view.controls[id].enabled) locked.insert(id);
  };
  f.sim.faults().silent = true;
  f.Change();
  f.Enter();
  EXPECT_EQ(locked, GetParam().locked);
  ASSERT_FALSE(f.view.messages.empty());
  EXPECT_EQ(f.view.messages.back().text, "Erro na leitura dos parâmetros !!!");
  EXPECT_EQ(f.view.ended, (std::vector<int>{kScreenLinkFailure}));
  for (int id : GetParam().locked) EXPECT_TRUE(f.view.controls[id].enabled) << id;
}

TEST_P(DataScreenFrame, TheMonitorReturnsToTheScreenOrExitsIt) {
  int result = kScreenNext;
  Frame f(GetParam(), [&] { return result; });
  f.Open();
  const std::string shown = f.view.GetText(GetParam().field);
  const int selected = f.view.GetSelection(GetParam().field);
  f.Change();
  f.screen->OnCommand(f.view, IDC_MONITOR);
  const bool same = GetParam().list ? f.view.GetSelection(GetParam().field) == selected
                                    : f.view.GetText(GetParam().field) == shown;
  EXPECT_EQ(same, GetParam().refreshes);
  EXPECT_TRUE(f.view.ended.empty());
  result = kScreenExit;
  f.screen->OnCommand(f.view, IDC_MONITOR);
  EXPECT_EQ(f.view.ended, (std::vector<int>{kScreenExit}));
}

TEST_P(DataScreenFrame, TheKeyFilter) {
  Frame f(GetParam());
  f.Open();
  for (int key : std::initializer_list<int>{kKey0 + 5, kKeyPad0 + 2, kKeyPeriod, kKeyBack, kKeyLeft,
                                            kKeyReturn, kKeyEscape})
    EXPECT_FALSE(f.screen->OnKey(f.view, key)) << key;
  for (int key : {int{'A'}, 0xBD /* minus */, 0x70 /* F1 */})
    EXPECT_EQ(f.screen->OnKey(f.view, key), GetParam().digits_only) << key;
}

INSTANTIATE_TEST_SUITE_P(Screens, DataScreenFrame, ::testing::ValuesIn(kRows),
                         [](const auto& info) {
                           std::string name = info.param.name;
                           for (char& c : name)
                             if (c == ' ') c = '_';
                           return name;
                         });

}  // namespace
}  // namespace kova
