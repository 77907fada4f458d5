#include "screens/lambda_screens.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "controller/store_access.h"
#include "resources/art/resource_ids.h"
#include "resources/aux_lambda_ids.h"
#include "resources/control_ids.h"
#include "tests/screens/screen_on_bench.h"

namespace kova {
namespace {

using Strings = std::vector<std::string>;

using LambdaBench = ScreenOnBench<LambdaVelaScreen, LambdaBrioScreen>;

// ---- showing -------------------------------------------------------------------

struct ShowCase {
  int model;
  std::vector<std::pair<int, int>> registers;
  int type;
  bool times_visible, times_enabled;
  std::string on;
};

TEST(LambdaScreens, TheStoreChoosesTheSignalTypeAndItsLayout) {
  const ShowCase cases[] = {
      {kModelVela, {}, kTypeStandard, true, false, "0.36"},
      {kModelVela, {{0x1E, 0x32}}, kTypeSpecific, true, true, "0.50"},
      {kModelVela, {{0x1F, 0x00}}, kTypeSpecific, true, true, "0.36"},
      {kModelVela, {{0x60, 1}}, kTypeOpen, false, false, "0.36"},
      {kModelBrio, {}, kTypeStandard, true, false, "0.36"},
      {kModelBrio, {{0x1E, 0xFF}}, kTypeSpecific, true, true, "2.55"},
      {kModelVelaPlus, {{0x60, 1}}, kTypeOpen, false, false, "0.36"},
      {kModelVelaPlus, {{0x78, 1}}, kTypeReal, false, false, "0.36"},
      {kModelBrio, {{0x78, 2}, {0x60, 1}}, kTypeReal, false, false, "0.36"},
  };
  for (const ShowCase& c : cases) {
    LambdaBench b(c.model);
    for (auto [a, v] : c.registers) b.sim.SetRegister(a, v);
    ASSERT_TRUE(ReadInitialConfiguration(b.app.Exchange()));
    b.Open();
    SCOPED_TRACE(testing::Message() << "model " << c.model << " type " << c.type);
    EXPECT_EQ(b.view.GetSelection(IDC_LAMBDA_TYPE), c.type);
    EXPECT_EQ(b.Text(IDC_LAMBDA_ON), c.on);
    for (int id : {IDC_LAMBDA_ON, IDC_LAMBDA_OFF, IDC_LAMBDA_ON_RANGE, IDC_LAMBDA_OFF_LABEL}) {
      EXPECT_EQ(b.Visible(id), c.times_visible) << id;
      EXPECT_EQ(b.Enabled(id), c.times_enabled) << id;
    }
    if (c.model != kModelVela) {
      const bool real = c.type == kTypeReal;
      EXPECT_EQ(b.Visible(IDC_LAMBDA_MODE), real);
      EXPECT_EQ(b.brio().background(), real ? IDB_BG_LAMBDA_REAL : IDB_BG_DATA_BRIO);
      EXPECT_EQ(b.brio().live(), real);
    }
  }
}

TEST(LambdaBrioScreen, RealShowsTheModeAndTheStandardInjectionTime) {
  LambdaBench b(kModelVelaPlus);
  b.sim.SetRegister(0x78, 2);
  b.sim.SetRegister(0x79, 0x7B);
  ASSERT_TRUE(ReadInitialConfiguration(b.app.Exchange()));
  b.Open();
  EXPECT_EQ(b.view.GetSelection(IDC_LAMBDA_MODE), kModeManual);
  EXPECT_EQ(b.Text(IDC_LAMBDA_INJECTION), "12.3");
  EXPECT_TRUE(b.Visible(IDC_LAMBDA_INJECTION));
  b.Choose(IDC_LAMBDA_MODE, kModeAutomatic);
  for (int id : {IDC_LAMBDA_INJECTION, IDC_LAMBDA_INJECTION_SPIN, IDC_LAMBDA_INJECTION_LABEL,
                 IDC_LAMBDA_INJECTION_UNIT})
    EXPECT_FALSE(b.Visible(id)) << id;
  EXPECT_TRUE(b.Frames().empty());  // choosing a mode writes nothing
}

// ---- writing ----------------------------------------------------------------------

struct WriteCase {
  int model;
  std::vector<std::pair<int, int>> chosen;  // list, entry, in order
  std::vector<std::pair<int, std::string>> typed;
  int enter_in;  // 0: the write button
  Strings writes;
  std::string read_back;
};

TEST(LambdaScreens, EnterAndTheWriteButtonStageAndSend) {
  const WriteCase cases[] = {
      // A time in seconds becomes hundredths.
      {kModelVela, {{IDC_LAMBDA_TYPE, kTypeSpecific}}, {{IDC_LAMBDA_ON, "1.5"}}, IDC_LAMBDA_ON,
       {"1E 96"}, "09 1E"},
      // Digits past the hundredths are cut; the register holds at most 255.
      {kModelVela, {{IDC_LAMBDA_TYPE, kTypeSpecific}}, {{IDC_LAMBDA_OFF, "1.239"}}, IDC_LAMBDA_OFF,
       {"1F 7B"}, "09 1F"},
      {kModelVela, {{IDC_LAMBDA_TYPE, kTypeSpecific}}, {{IDC_LAMBDA_OFF, "3"}}, IDC_LAMBDA_OFF,
       {"1F FF"}, "09 1F"},
      // The signal type goes with its times, read back whole; 60 always.
      {kModelVela, {{IDC_LAMBDA_TYPE, kTypeOpen}}, {}, IDC_LAMBDA_TYPE,
       {"1F 00", "1E 00", "60 01"}, "09 00"},
      {kModelBrio, {{IDC_LAMBDA_TYPE, kTypeOpen}}, {}, IDC_LAMBDA_TYPE, {"00 78 00", "00 60 01"},
       "00 04 00"},
      // "Real" with "Manual": 78 = 2 is staged first, so 60 goes out first.
      {kModelVelaPlus, {{IDC_LAMBDA_TYPE, kTypeReal}, {IDC_LAMBDA_MODE, kModeManual}}, {},
       IDC_LAMBDA_MODE, {"00 60 00", "00 78 02"}, "00 06 00"},
      {kModelBrio, {{IDC_LAMBDA_TYPE, kTypeReal}}, {}, IDC_LAMBDA_TYPE, {"00 60 00", "00 78 01"},
       "00 04 00"},
      // The standard injection time in ms becomes tenths.
      {kModelBrio, {{IDC_LAMBDA_TYPE, kTypeReal}, {IDC_LAMBDA_MODE, kModeManual}},
       {{IDC_LAMBDA_INJECTION, "1,26"}}, IDC_LAMBDA_INJECTION, {"00 79 0C"}, "00 04 79"},
      // The write button: times and 79 only when changed, the type always.
      {kModelVela, {}, {}, 0, {"60 00"}, "09 00"},
      {kModelBrio, {{IDC_LAMBDA_TYPE, kTypeSpecific}}, {{IDC_LAMBDA_OFF, "0.4"}}, 0,
       {"00 78 00", "00 60 00", "00 1F 28", "00 1E 00"}, "00 04 00"},
      {kModelVelaPlus, {{IDC_LAMBDA_TYPE, kTypeReal}, {IDC_LAMBDA_MODE, kModeManual}},
       {{IDC_LAMBDA_INJECTION, "2.5"}}, 0, {"00 79 19", "00 60 00", "00 78 02"}, "00 06 00"},
  };
  for (const WriteCase& c : cases) {
    LambdaBench b(c.model);
    b.Open();
    for (auto [list, entry] : c.chosen) b.Choose(list, entry);
    for (const auto& [id, text] : c.typed) b.Type(id, text);
    b.Forget();
    if (c.enter_in) b.Enter(c.enter_in);
    else b.screen->OnCommand(b.view, IDC_WRITE);
    SCOPED_TRACE(testing::Message() << "model " << c.model << " enter in " << c.enter_in);
    EXPECT_EQ(b.Writes(), c.writes);
    Strings frames = b.Frames();
    ASSERT_FALSE(frames.empty());
    EXPECT_NE(std::find(frames.begin(), frames.end(), c.read_back), frames.end());
    EXPECT_TRUE(b.view.ended.empty());
    EXPECT_TRUE(b.Enabled(IDC_RETURN));
  }
}

TEST(LambdaScreens, PacingOfAWriteHasNoPauseBetweenEntries) {
  LambdaBench b(kModelVela);
  b.Open();
  b.Choose(IDC_LAMBDA_TYPE, kTypeOpen);
  b.Enter(IDC_LAMBDA_TYPE);
  // Per entry: write, 400, read, 400, three confirmations 400 apart; then
  // 500 and the read of everything, 400.
  std::vector<uint32_t> entry = {400, 400, 400, 400, 400};
  std::vector<uint32_t> expected;
  for (int i = 0; i < 3; ++i) expected.insert(expected.end(), entry.begin(), entry.end());
  expected.push_back(500);
  expected.push_back(400);
  EXPECT_EQ(b.clock.Waits(), expected);
}

TEST(LambdaScreens, ChoosingATypeSetsItsTimesButWritesNothing) {
  for (int model : {kModelVela, kModelBrio}) {
    LambdaBench b(model);
    b.Open();
    b.Choose(IDC_LAMBDA_TYPE, kTypeOpen);
    EXPECT_EQ(b.Text(IDC_LAMBDA_ON), "0.00");
    EXPECT_FALSE(b.Visible(IDC_LAMBDA_OFF_UNIT));
    b.Choose(IDC_LAMBDA_TYPE, kTypeStandard);
    EXPECT_EQ(b.Text(IDC_LAMBDA_OFF), "0.36");
    EXPECT_FALSE(b.Enabled(IDC_LAMBDA_ON));
    b.Choose(IDC_LAMBDA_TYPE, kTypeSpecific);
    EXPECT_EQ(b.Text(IDC_LAMBDA_ON), "0.00");
    EXPECT_TRUE(b.Enabled(IDC_LAMBDA_ON));
    EXPECT_TRUE(b.Writes().empty());
    EXPECT_EQ(b.app.current_key, "60_78");
  }
}

TEST(LambdaBrioScreen, AFileHoldingRealStartsTheLiveDisplayWhenShownAgain) {
  LambdaBench b(kModelVelaPlus);
  b.app.file_loaded = 1;
  b.app.source = kSourceFile;
  b.app.file_store = b.app.equipment;
  StoreAdd(b.app.file_store, "78", "1");
  b.Open();
  b.brio();
  StoreAdd(b.app.file_store, "78", "0");
  b.screen->OnCommand(b.view, IDC_WRITE);
  EXPECT_FALSE(b.brio().live());
  StoreAdd(b.app.file_store, "78", "1");
  b.screen->OnCommand(b.view, IDC_WRITE);
  EXPECT_TRUE(b.brio().live());
  EXPECT_EQ(b.Frames().back(), "00 08 00");
}

// ---- BRIO limits -------------------------------------------------------------------

TEST(LambdaBrioScreen, LimitsOfTheTimesAndOfTheInjectionTime) {
  LambdaBench b(kModelBrio);
  b.Open();
  const std::pair<std::string, std::string> left[] = {
      {"3", "2.55"}, {"-1", "0.00"}, {"2.55", "2.55"}};
  for (const auto& [typed, after] : left) {
    b.view.SetText(IDC_LAMBDA_OFF, typed);
    b.screen->OnFieldLeft(b.view, IDC_LAMBDA_OFF);
    EXPECT_EQ(b.Text(IDC_LAMBDA_OFF), after) << typed;
  }
  EXPECT_TRUE(b.view.messages.empty());

  b.Type(IDC_LAMBDA_INJECTION, "");
  ASSERT_EQ(b.view.messages.size(), 1u);
  EXPECT_EQ(b.view.messages[0].caption, "Atenção - Valor mínimo assumido");
  EXPECT_EQ(b.Text(IDC_LAMBDA_INJECTION), "0.0");
  b.Type(IDC_LAMBDA_INJECTION, "30");
  ASSERT_EQ(b.view.messages.size(), 2u);
  EXPECT_EQ(b.view.messages[1].caption, "Atenção - Valor máximo assumido");
  EXPECT_EQ(b.Text(IDC_LAMBDA_INJECTION), "25.5");
  b.Type(IDC_LAMBDA_INJECTION, "25.5");
  EXPECT_EQ(b.view.messages.size(), 2u);
}

// ---- BRIO: opening sample and live display -----------------------------------------

TEST(LambdaBrioScreen, OpeningSamplesTheEngineFirst) {
  LambdaBench b(kModelBrio);
  b.sim.SetLiveValue(0x28, 0xDC);
  b.screen->OnInit(b.view);
  EXPECT_EQ(b.Frames(), (Strings{"00 08 00", "00 07 00", "00 07 00", "00 07 00", "00 04 79",
                                 "00 07 00", "00 07 00", "00 07 00"}));
  EXPECT_EQ(b.clock.Waits(), (std::vector<uint32_t>{300, 5, 5, 300, 5, 5}));
  EXPECT_EQ(b.Stored(b.app.equipment, "28"), "DC");  // live values land in the equipment store
  EXPECT_FALSE(b.brio().live());
}

TEST(LambdaBrioScreen, LiveDisplayShowsSpeedArcAndInjectionTime) {
  LambdaBench b(kModelVelaPlus);
  b.Open();
  b.Choose(IDC_LAMBDA_TYPE, kTypeReal);
  EXPECT_EQ(b.Frames().back(), "00 08 00");
  EXPECT_EQ(b.view.timers[kLiveTimer], Profile(Pacing::kLambda).live_period);
  EXPECT_EQ(b.brio().background(), IDB_BG_LAMBDA_REAL);
  // Reset: 0000 and 00.0.
  for (int p = 0; p < 4; ++p) EXPECT_TRUE(b.Visible(IDC_LAMBDA_SPEED_FIRST + 10 * p)) << p;
  EXPECT_TRUE(b.Visible(IDC_LAMBDA_INJ_FIRST + 20));

  b.sim.SetLiveValue(0x28, 0xC4);  // 2500 rpm
  b.sim.SetLiveValue(0x29, 0x09);
  b.sim.SetLiveValue(0x81, 0x35);  // 5.3 ms
  b.clock.Advance(300);
  b.screen->OnTimer(b.view, kLiveTimer);
  EXPECT_EQ(b.Stored(b.app.live, "81"), "35");
  const int speed[4] = {2, 5, 0, 0};
  for (int p = 0; p < 4; ++p)
    for (int d = 0; d < 10; ++d)
      EXPECT_EQ(b.Visible(IDC_LAMBDA_SPEED_FIRST + 10 * p + d), d == speed[p]) << p << " " << d;
  const int injection[3] = {0, 5, 3};
  for (int c = 0; c < 3; ++c)
    for (int d = 0; d < 10; ++d)
      EXPECT_EQ(b.Visible(IDC_LAMBDA_INJ_FIRST + 10 * c + d), d == injection[c]) << c << " " << d;
  for (int i = 0; i < 28; ++i) EXPECT_EQ(b.Visible(IDC_LAMBDA_ARC_FIRST + i), i < 10) << i;

  // A tick without data leaves the display as it is.
  b.sim.faults().silent = true;
  b.clock.Advance(300);
  b.screen->OnTimer(b.view, kLiveTimer);
  EXPECT_TRUE(b.Visible(IDC_LAMBDA_SPEED_FIRST + 2));
}

TEST(LambdaBrioScreen, LeavingRealStopsTheDisplayAfterThePauses) {
  LambdaBench b(kModelBrio);
  b.Open();
  b.Choose(IDC_LAMBDA_TYPE, kTypeReal);
  b.Forget();
  b.Choose(IDC_LAMBDA_TYPE, kTypeOpen);
  EXPECT_EQ(b.Frames(), (Strings{"00 07 00", "00 07 00", "00 07 00"}));
  EXPECT_EQ(b.clock.Waits(), (std::vector<uint32_t>{10, 10, 800, 500}));
  EXPECT_EQ(b.view.timers.count(kLiveTimer), 0u);
  EXPECT_EQ(b.brio().background(), IDB_BG_DATA_BRIO);
  for (int id = IDC_LAMBDA_SPEED_FIRST; id <= IDC_LAMBDA_LIVE_LAST; ++id) EXPECT_FALSE(b.Visible(id));
  EXPECT_EQ(b.view.GetSelection(IDC_LAMBDA_MODE), kModeAutomatic);
  b.Forget();
  b.screen->OnPortReopened(b.view);  // no live display: nothing starts
  EXPECT_TRUE(b.Frames().empty());
}

TEST(LambdaBrioScreen, WritesAndTheMonitorStopAndRestartTheStream) {
  int monitor_runs = 0;
  LambdaBench b(kModelBrio, [&] { return ++monitor_runs, kScreenNext; });
  b.sim.SetRegister(0x78, 1);
  ASSERT_TRUE(ReadInitialConfiguration(b.app.Exchange()));
  b.Open();
  ASSERT_TRUE(b.brio().live());
  // Busy from the stream's stop on: Windows cannot end the session, nor a
  // close cut the write, between the stop and the first write.
  const size_t statuses_before = b.view.statuses.size();
  size_t frames_when_busy = 99;
  b.Forget();
  b.view.on_busy = [&] {
    if (b.view.statuses.size() == statuses_before + 1) frames_when_busy = b.Frames().size();
  };
  b.Enter(IDC_LAMBDA_TYPE);
  ASSERT_GT(b.view.statuses.size(), statuses_before);
  EXPECT_EQ(b.view.statuses[statuses_before], kWritingController);
  EXPECT_EQ(frames_when_busy, 0u);
  Strings f = b.Frames();
  auto first_write = std::find(f.begin(), f.end(), "00 60 00");
  ASSERT_NE(first_write, f.end());
  ASSERT_NE(first_write, f.begin());
  EXPECT_EQ(*(first_write - 1), "00 07 00");  // the stream stops before the first write
  EXPECT_EQ(f.back(), "00 08 00");            // restarted after the read-back
  EXPECT_EQ(b.view.timers[kLiveTimer], Profile(Pacing::kLambda).live_period);

  b.Forget();
  b.screen->OnCommand(b.view, IDC_MONITOR);
  EXPECT_EQ(monitor_runs, 1);
  EXPECT_EQ(b.Frames(), (Strings{"00 07 00", "00 07 00", "00 07 00", "00 07 00", "00 07 00",
                                 "00 07 00", "00 08 00"}));
  EXPECT_EQ(b.clock.Waits().back(), 250u);
  EXPECT_TRUE(b.brio().live());

  // Woken from a sleep that stopped the stream: started again.
  b.Forget();
  b.screen->OnPortReopened(b.view);
  EXPECT_EQ(b.Frames(), (Strings{"00 08 00"}));

  b.Forget();
  b.screen->OnNext(b.view);
  EXPECT_EQ(b.Count("00 07 00"), 3);
  EXPECT_EQ(b.view.ended, (std::vector<int>{kScreenNext}));
  EXPECT_EQ(b.view.timers.count(kLiveTimer), 0u);
}

}  // namespace
}  // namespace kova
