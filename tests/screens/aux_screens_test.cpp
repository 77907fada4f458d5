#include "screens/aux_screens.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "controller/store_access.h"
#include "resources/aux_lambda_ids.h"
#include "resources/control_ids.h"
#include "tests/screens/screen_on_bench.h"

namespace kova {
namespace {

using Strings = std::vector<std::string>;

using AuxBench = ScreenOnBench<AuxVelaScreen, AuxBrioScreen>;

// ---- showing -----------------------------------------------------------------

struct ShowCase {
  int model;
  std::vector<std::pair<int, int>> registers;
  int control;
  std::string shown;
};

TEST(AuxScreens, ShowRegistersInTheFieldsUnits) {
  const ShowCase cases[] = {
      // The period 0x002710 with 1 coil and 4 cylinders is 3000 rpm.
      {kModelVela, {{0x2B, 1}, {0x2C, 4}, {0x25, 0}, {0x26, 0x27}, {0x27, 0x10}}, IDC_AUX_SPEED, "3000"},
      // 2 coils double the speed of the same period.
      {kModelVela, {{0x2B, 2}, {0x2C, 4}, {0x25, 0}, {0x26, 0x27}, {0x27, 0x10}}, IDC_AUX_SPEED, "6000"},
      // No conversion for 0 coils, or for a period of 0: the box stays empty.
      {kModelVela, {{0x2B, 0}}, IDC_AUX_SPEED, ""},
      {kModelVela, {{0x25, 0}, {0x26, 0}, {0x27, 0}}, IDC_AUX_SPEED, ""},
      {kModelVela, {{0x15, 0x58}, {0x16, 2}, {0x25, 5}}, IDC_AUX_WARMUP_VELA, "600"},
      {kModelVela, {{0x21, 0x64}}, IDC_AUX_STEPS, "100"},
      {kModelBrio, {{0x26, 0x0B}, {0x27, 0xB8}}, IDC_AUX_SPEED, "3000"},
      {kModelBrio, {{0x70, 0x19}}, IDC_AUX_DELAY, "0.50"},
      {kModelVelaPlus, {{0x77, 0x7D}}, IDC_AUX_OVERLAP, "1.25"},
      {kModelVelaPlus, {{0x15, 0x2C}, {0x16, 1}}, IDC_AUX_WARMUP, "300"},
  };
  for (const ShowCase& c : cases) {
    AuxBench b(c.model);
    for (auto [addr, value] : c.registers) b.sim.SetRegister(addr, value);
    ASSERT_TRUE(ReadInitialConfiguration(b.app.Exchange()));
    b.Open();
    EXPECT_EQ(b.Text(c.control), c.shown) << "model " << c.model << " control " << c.control;
    EXPECT_TRUE(b.view.messages.empty());
    EXPECT_FALSE(b.Visible(IDC_SOURCE));  // no file loaded
  }
}

TEST(AuxScreens, AMissingRegisterStopsTheShowingThere) {
  AuxBench b(kModelVela);
  b.Open();
  b.view.SetText(IDC_AUX_SPEED, "old");
  b.view.SetText(IDC_AUX_WARMUP_VELA, "old");
  CKX4DATA partial;  // 25 (the period's high byte) is missing
  StoreAdd(partial, "20", "1");
  StoreAdd(partial, "21", "20");
  StoreAdd(partial, "27", "10");
  StoreAdd(partial, "26", "27");
  StoreAdd(partial, "15", "1");
  StoreAdd(partial, "16", "0");
  EXPECT_FALSE(b.screen->ShowStore(partial));
  EXPECT_EQ(b.view.GetSelection(IDC_AUX_CUTOFF), 1);
  EXPECT_EQ(b.Text(IDC_AUX_STEPS), "32");
  EXPECT_EQ(b.Text(IDC_AUX_SPEED), "old");
  EXPECT_EQ(b.Text(IDC_AUX_WARMUP_VELA), "old");
}

// ---- writing one field with Enter --------------------------------------------

struct EnterCase {
  int model;
  int control;
  std::string typed;  // empty: choose list entry `choice`
  int choice;
  Strings writes;     // register writes, in the order they go out
  std::string read_back;
};

TEST(AuxScreens, EnterWritesTheFocusedFieldAndReadsItBack) {
  const EnterCase cases[] = {
      // 3000 rpm with 1 coil and 4 cylinders is the period 0x002710,
      // staged 27, 26, 25 and sent high byte first.
      {kModelVela, IDC_AUX_SPEED, "3000", -1, {"25 00", "26 27", "27 10"}, "09 00"},
      // Above 5000 the speed is written as 5000 (period 0x001770).
      {kModelVela, IDC_AUX_SPEED, "9000", -1, {"25 00", "26 17", "27 70"}, "09 00"},
      {kModelVela, IDC_AUX_STEPS, "150", -1, {"21 64"}, "09 21"},  // 100 at most
      {kModelVela, IDC_AUX_WARMUP_VELA, "9999", -1, {"16 02", "15 58"}, "09 00"},  // 600 at most
      {kModelVela, IDC_AUX_CUTOFF, "", 1, {"20 01"}, "09 20"},
      {kModelBrio, IDC_AUX_SPEED, "3000", -1, {"00 27 B8", "00 26 0B"}, "00 04 00"},
      {kModelBrio, IDC_AUX_DELAY, "1.00", -1, {}, "00 04 70"},  // unchanged: 0x32
      {kModelBrio, IDC_AUX_DELAY, "2,5", -1, {"00 70 7D"}, "00 04 70"},
      {kModelBrio, IDC_AUX_RELAY, "", 0, {"00 82 00"}, "00 04 82"},
      // Enter in the overlap writes it like the other fields.
      {kModelBrio, IDC_AUX_OVERLAP, "1.00", -1, {"00 77 64"}, "00 04 77"},
      {kModelVelaPlus, IDC_AUX_WARMUP, "300", -1, {"00 16 01", "00 15 2C"}, "00 06 00"},
  };
  for (const EnterCase& c : cases) {
    AuxBench b(c.model);
    b.Open();
    if (c.typed.empty()) b.view.SelectEntry(c.control, c.choice);
    else b.Type(c.control, c.typed);
    b.Enter(c.control);
    EXPECT_EQ(b.Writes(), c.writes) << "model " << c.model << " control " << c.control;
    ASSERT_FALSE(b.Frames().empty());
    EXPECT_EQ(b.Frames().back(), c.read_back) << "model " << c.model << " control " << c.control;
    EXPECT_TRUE(b.view.ended.empty());
    EXPECT_EQ(b.app.changes.Count(), 0);
  }
}

TEST(AuxScreens, PacingOfOneEntryPerModelFamily) {
  AuxBench vela(kModelVela);
  vela.Open();
  vela.Type(IDC_AUX_STEPS, "20");
  vela.Enter(IDC_AUX_STEPS);
  // Write, 400, one read, three confirmations 400 apart, 500; then the
  // read-back: 500 before it, 500 after its frame.
  EXPECT_EQ(vela.clock.Waits(), (std::vector<uint32_t>{400, 400, 400, 400, 500, 500, 500}));
  EXPECT_EQ(vela.Frames(), (Strings{"21 14", "05 18", "05 18", "05 18", "09 21"}));

  AuxBench brio(kModelBrio);
  brio.Open();
  brio.Type(IDC_AUX_STEPS, "20");
  brio.Enter(IDC_AUX_STEPS);
  EXPECT_EQ(brio.clock.Waits(), (std::vector<uint32_t>{100, 100, 100, 100, 100, 500, 500, 400}));

  // A silent controller: VELA confirms anyway, BRIO skips the confirmations.
  AuxBench quiet(kModelBrio);
  quiet.Open();
  quiet.sim.faults().silent = true;
  quiet.Type(IDC_AUX_STEPS, "20");
  quiet.Enter(IDC_AUX_STEPS);
  EXPECT_EQ(quiet.Writes(), Strings{"00 21 14"});
  Strings frames = quiet.Frames();
  EXPECT_EQ(std::count(frames.begin(), frames.end(), "00 05 18"), 0);
}

TEST(AuxScreens, WriteButtonStagesEveryFieldInTheScreensOrder) {
  AuxBench vela(kModelVela);
  vela.Open();
  vela.view.SelectEntry(IDC_AUX_CUTOFF, 1);
  vela.screen->OnCommand(vela.view, IDC_WRITE);
  // Staged 20, then the period 27, 26, 25, then 15, 16; sent last first.
  // The steps are unchanged and stay unsent.
  EXPECT_EQ(vela.Writes(), (Strings{"16 00", "15 78", "25 00", "26 1A", "27 0A", "20 01"}));
  EXPECT_EQ(vela.Frames().back(), "09 00");
  EXPECT_TRUE(vela.view.controls[IDC_WRITE].enabled);

  AuxBench brio(kModelVelaPlus);
  brio.Open();
  brio.Type(IDC_AUX_OVERLAP, "0.10");
  brio.view.SelectEntry(IDC_AUX_RELAY, 0);
  brio.screen->OnCommand(brio.view, IDC_WRITE);
  EXPECT_EQ(brio.Writes(), (Strings{"00 77 0A", "00 16 00", "00 15 78", "00 27 94", "00 26 11",
                                    "00 82 00"}));
  EXPECT_EQ(brio.Frames().back(), "00 06 00");
}

TEST(AuxScreens, UndefinedSpeedConversionWritesNothing) {
  AuxBench b(kModelVela);
  b.sim.SetRegister(0x2B, 7);  // no multiplier for 7 coils
  ASSERT_TRUE(ReadInitialConfiguration(b.app.Exchange()));
  b.Open();
  EXPECT_EQ(b.Text(IDC_AUX_SPEED), "");
  b.Type(IDC_AUX_SPEED, "3000");
  b.Enter(IDC_AUX_SPEED);
  EXPECT_TRUE(b.Writes().empty());
  EXPECT_EQ(b.Frames(), Strings{"09 00"});  // the read-back still runs
}

// ---- source, file, failures ------------------------------------------------------

TEST(AuxScreens, ALoadedFileShowsAndTheSelectorSwitchesStores) {
  AuxBench b(kModelVela);
  b.Open();
  std::string path = frame_text::ParameterFile(b, "a.VELA", "CONFIG_VELA",
                                               frame_text::Registers(b, {{"21", "2A"}, {"15", "3C"}}));
  b.view.dialog_answers.push_back(path);
  b.screen->OnCommand(b.view, IDC_LOAD);
  EXPECT_EQ(b.app.source, kSourceFile);
  EXPECT_EQ(b.Text(IDC_AUX_STEPS), "42");
  EXPECT_EQ(b.Text(IDC_AUX_WARMUP_VELA), "60");
  EXPECT_TRUE(b.Visible(IDC_SOURCE));
  b.Choose(IDC_SOURCE, kSelectorEquipment);
  EXPECT_EQ(b.Text(IDC_AUX_STEPS), "10");
  EXPECT_TRUE(b.Frames().empty());
}

// ---- BRIO / VELA plus rules ------------------------------------------------------------

TEST(AuxBrioScreen, OpeningReadsTheRelayIntoTheLiveStore) {
  AuxBench b(kModelBrio);
  b.sim.SetRegister(0x82, 0);  // changed on the controller since the first read
  b.screen->OnInit(b.view);
  EXPECT_EQ(b.Frames(), Strings{"00 04 82"});
  std::string v;
  EXPECT_TRUE(b.app.live.GetText("82", v));
  EXPECT_EQ(v, "0");
  EXPECT_EQ(b.view.GetSelection(IDC_AUX_RELAY), 0);
  EXPECT_FALSE(b.Visible(IDC_AUX_OVERLAP));
  EXPECT_TRUE(b.app.equipment.GetText("82", v));
  EXPECT_EQ(v, "1");  // the equipment store keeps what the first read found
}

TEST(AuxBrioScreen, TheRelayShowsOrHidesTheOverlap) {
  AuxBench b(kModelVelaPlus);
  b.Open();
  EXPECT_TRUE(b.Visible(IDC_AUX_OVERLAP));
  b.Choose(IDC_AUX_RELAY, 0);
  for (int id : {IDC_AUX_OVERLAP, IDC_AUX_OVERLAP_SPIN, IDC_AUX_OVERLAP_LABEL, IDC_AUX_OVERLAP_UNIT})
    EXPECT_FALSE(b.Visible(id)) << id;
  // Typing into the list is refused; its default, the emulator, comes back.
  b.screen->OnFocus(b.view, IDC_AUX_RELAY);
  b.Type(IDC_AUX_RELAY, "x");
  ASSERT_EQ(b.view.messages.size(), 1u);
  EXPECT_EQ(b.view.messages[0].caption, "Atenção");
  EXPECT_EQ(b.view.GetSelection(IDC_AUX_RELAY), 1);
  EXPECT_TRUE(b.Visible(IDC_AUX_OVERLAP));
}

struct LimitCase {
  int control;
  std::string typed;
  std::string caption;  // empty: no message
  std::string after;
};

TEST(AuxBrioScreen, NumbersBeyondTheirRangeAreReplacedWhileTyping) {
  const LimitCase cases[] = {
      {IDC_AUX_SPEED, "6000", "Atenção - Valor máximo assumido", "5000"},
      {IDC_AUX_SPEED, "2500", "", "2500"},
      {IDC_AUX_STEPS, "0", "Atenção - Valor mínimo assumido", "1"},
      {IDC_AUX_WARMUP, "", "Atenção - Valor mínimo assumido", "0"},
      {IDC_AUX_DELAY, "5.00", "", "5.00"},
      {IDC_AUX_OVERLAP, "2.6", "Atenção - Valor máximo assumido", "2.50"},
      {IDC_AUX_OVERLAP, "-1", "Atenção - Valor mínimo assumido", "0.00"},
  };
  for (const LimitCase& c : cases) {
    AuxBench b(kModelBrio);
    b.Open();
    b.Type(c.control, c.typed);
    if (c.caption.empty()) {
      EXPECT_TRUE(b.view.messages.empty()) << c.typed;
    } else {
      ASSERT_EQ(b.view.messages.size(), 1u) << c.typed;
      EXPECT_EQ(b.view.messages[0].caption, c.caption);
    }
    EXPECT_EQ(b.Text(c.control), c.after) << c.control << " " << c.typed;
  }
}

TEST(AuxBrioScreen, DelayIsNormalisedOnLeavingAndBeforeEnterWrites) {
  AuxBench b(kModelBrio);
  b.Open();
  const std::pair<std::string, std::string> cases[] = {
      {"1,5", "1.50"}, {"-1", "0.00"}, {"7", "5.00"}, {".", "0.00"}};
  for (const auto& [typed, normal] : cases) {
    b.view.SetText(IDC_AUX_DELAY, typed);
    b.screen->OnFieldLeft(b.view, IDC_AUX_DELAY);
    EXPECT_EQ(b.Text(IDC_AUX_DELAY), normal) << typed;
  }
  b.view.SetText(IDC_AUX_DELAY, "0,4");
  b.Enter(IDC_AUX_DELAY);
  EXPECT_EQ(b.Writes(), Strings{"00 70 14"});
}

}  // namespace
}  // namespace kova
