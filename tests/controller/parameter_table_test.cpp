#include "controller/parameter_table.h"

#include <gtest/gtest.h>

#include <string>

#include "controller/change_list.h"
#include "controller/frames.h"
#include "controller/store_access.h"
#include "store/ckx4data.h"

namespace kova {
namespace {

std::string Entries(const ChangeList& c) {
  std::string s;
  for (int i = 0; i < c.Count(); ++i) s += std::string(c.At(i).keyword) + "=" + c.At(i).value + " ";
  return s;
}

class TableTest : public ::testing::Test {
 protected:
  void SetUp() override { BuildParameterTable(table, kModelBrio); }
  const ParameterDescriptor& Row(int r) { return table.rows[r]; }
  StageResult Stage(int row, std::string text, int mode, std::string* out = nullptr) {
    StageResult r = StageField(Row(row), text, mode, store, changes);
    if (out) *out = text;
    return r;
  }
  ParameterTable table;
  CKX4DATA store;
  ChangeList changes;
};

TEST(ParameterTable, RowsZeroToFourExistOnlyForBrioFamily) {
  ParameterTable t;
  BuildParameterTable(t, kModelVela);
  for (int r = 0; r < 5; ++r) EXPECT_STREQ(t.rows[r].keyword, "") << r;
  EXPECT_EQ(t.Find("7F"), nullptr);
  EXPECT_EQ(t.Find(""), nullptr);
  EXPECT_STREQ(t.rows[5].keyword, "82");
  EXPECT_STREQ(t.rows[32].keyword, "10");
  // Everything but the keyword is filled for VELA too.
  EXPECT_STREQ(t.rows[0].column2[0], "Desativado");

  ParameterTable b;
  BuildParameterTable(b, kModelVelaPlus);
  const char* brio_keys[] = {"7F", "7C", "7B", "7A", "79"};
  for (int r = 0; r < 5; ++r) EXPECT_STREQ(b.rows[r].keyword, brio_keys[r]);
  // Choosing VELA afterwards rebuilds every row but leaves those keywords.
  BuildParameterTable(b, kModelVela);
  EXPECT_STREQ(b.rows[0].keyword, "7F");
  EXPECT_STREQ(b.rows[4].keyword, "79");
}

TEST_F(TableTest, DescriptorsCarryTheTablesValues) {
  EXPECT_EQ(Row(12).scale, 0.019999999552965164);
  EXPECT_EQ(Row(31).scale, 0.019999999552965164);
  EXPECT_EQ(Row(8).scale, 0.009999999776482582);
  EXPECT_EQ(Row(26).scale, 0.009999999776482582);
  EXPECT_EQ(Row(4).scale, 0.10000000149011612);
  EXPECT_EQ(Row(6).scale, 0.10000000149011612);
  EXPECT_EQ(Row(10).scale, 50.0);
  EXPECT_EQ(Row(13).scale, 0.0);
  EXPECT_TRUE(Row(22).IsNumeric());
  EXPECT_STREQ(Row(22).column2[0], "%0.0f rpm");
  EXPECT_EQ(Row(21).Options(), 9);
  EXPECT_STREQ(Row(21).column2[0], "Tacômetro");
  EXPECT_STREQ(Row(21).column2[8], "8");
  EXPECT_STREQ(Row(21).default_text, "2");
  EXPECT_STREQ(Row(20).column1[4], "8");
  EXPECT_STREQ(Row(30).column1[1], "02");
  EXPECT_STREQ(Row(5).column2[0], "Reset de Memória");
  EXPECT_EQ(Row(1).Min(), 4001);
  EXPECT_EQ(Row(1).Max(), 7500);
  EXPECT_STREQ(Row(31).default_text, "00.00");
  EXPECT_EQ(table.Find("3D"), &Row(19));
}

TEST_F(TableTest, ScaledEntryIsDividedRoundedAndHex) {
  StoreAdd(store, "70", "C8");
  std::string device;
  // 5.00 / 0.019999999552965164 = 250.0000056 -> 250 -> FA
  EXPECT_EQ(Stage(12, "5.00", 2, &device), StageResult::kStaged);
  EXPECT_EQ(device, "FA");
  EXPECT_EQ(Entries(changes), "70=FA ");
  StoreAdd(store, "70", "FA");
  EXPECT_EQ(Stage(12, "5.00", 2), StageResult::kUnchanged);
  EXPECT_EQ(Stage(12, "1,00", 2, &device), StageResult::kStaged);  // locale comma
  EXPECT_EQ(device, "32");
  EXPECT_EQ(changes.Count(), 2);
}

TEST_F(TableTest, UnscaledAndListEntries) {
  StoreAdd(store, "21", "0");
  EXPECT_EQ(Stage(24, "0", 2), StageResult::kUnchanged);
  StoreAdd(store, "21", "5");
  EXPECT_EQ(Stage(24, "0", 2), StageResult::kStaged);
  StoreAdd(store, "2C", "4");
  std::string device;
  EXPECT_EQ(Stage(20, "3", 2, &device), StageResult::kStaged);  // option 3 -> 6
  EXPECT_EQ(device, "6");
  StoreAdd(store, "10", "1");
  EXPECT_EQ(Stage(32, "1", 1, &device), StageResult::kStaged);  // 01 + 1, decimal
  EXPECT_EQ(device, "2");
  StoreAdd(store, "26", "3");
  EXPECT_EQ(Stage(23, "2.7", 2, &device), StageResult::kStaged);  // scale 0: whole part
  EXPECT_EQ(device, "2");
  EXPECT_EQ(Entries(changes), "21=0 2C=6 10=2 26=2 ");
}

TEST_F(TableTest, NothingStagedForUnreadRegistersOrImpossibleValues) {
  EXPECT_EQ(Stage(24, "50", 2), StageResult::kNotInStore);
  ParameterTable vela;
  BuildParameterTable(vela, kModelVela);
  std::string text = "1";
  EXPECT_EQ(StageField(vela.rows[0], text, 1, store, changes), StageResult::kNotInStore);

  StoreAdd(store, "21", "5");
  StoreAdd(store, "2C", "4");
  StoreAdd(store, "20", "0");
  EXPECT_EQ(Stage(24, "", 2), StageResult::kInvalid);
  EXPECT_EQ(Stage(24, "12a", 2), StageResult::kInvalid);
  EXPECT_EQ(Stage(24, "256", 2), StageResult::kInvalid);  // not one register byte
  EXPECT_EQ(Stage(24, "-1", 2), StageResult::kInvalid);
  EXPECT_EQ(Stage(20, "5", 2), StageResult::kInvalid);    // no option 5
  EXPECT_EQ(Stage(25, "-1", 1), StageResult::kInvalid);   // no selection
  EXPECT_EQ(Stage(25, "2", 1), StageResult::kInvalid);
  EXPECT_EQ(Stage(24, "5", 3), StageResult::kInvalid);    // no such mode
  EXPECT_EQ(changes.Count(), 0);
}

TEST_F(TableTest, ShowingRegisterValues) {
  EXPECT_EQ(FormatShown(Row(12), *ShownNumber(Row(12), "FA")), "5.00");
  EXPECT_EQ(FormatShown(Row(22), *ShownNumber(Row(22), "BB8")), "3000 rpm");
  EXPECT_EQ(*ShownNumber(Row(23), "3"), 3.0);  // unscaled
  EXPECT_FALSE(ShownNumber(Row(12), "xy"));
  EXPECT_EQ(OptionIndex(Row(25), "1"), 1);
  EXPECT_EQ(OptionIndex(Row(32), "2"), 1);  // minus column 1 text 0 ("01")
  EXPECT_EQ(OptionIndex(Row(32), "3"), -1);
  EXPECT_EQ(OptionIndex(Row(32), "0"), -1);
  EXPECT_EQ(OptionIndex(Row(24), "1"), -1);  // numeric row
}

TEST_F(TableTest, ListEntriesComeFromTheDescriptor) {
  EXPECT_EQ(ListEntries(Row(31)), (std::vector<std::string>{"0.00", "0.02", "0.04", "0.06",
                                                           "0.08", "0.10", "0.12", "0.14"}));
  EXPECT_EQ(ListEntries(Row(21)).size(), 9u);
  EXPECT_EQ(ListEntries(Row(13)).back(), "Real");
}

TEST(HexText, UpperCaseWithoutLeadingZeros) {
  EXPECT_EQ(ToHexText(0), "0");
  EXPECT_EQ(ToHexText(10), "A");
  EXPECT_EQ(ToHexText(0x2710), "2710");
}

TEST_F(TableTest, MultiRegisterValues) {
  StoreAdd(store, "15", "58");
  StoreAdd(store, "16", "2");
  EXPECT_EQ(HeatingTimeFromStore(store), 600);
  EXPECT_EQ(StageHeatingTime(600, changes), StageResult::kStaged);
  EXPECT_EQ(StageWord("75", "76", 4864, changes), StageResult::kStaged);
  EXPECT_EQ(StageWord("75", "76", 70000, changes), StageResult::kInvalid);
  EXPECT_EQ(StageCutOffSpeed(4864, kModelBrio, store, changes), StageResult::kStaged);
  EXPECT_EQ(Entries(changes), "15=58 16=2 75=0 76=13 26=13 27=0 ");
  StoreAdd(store, "26", "13");
  StoreAdd(store, "27", "0");
  EXPECT_EQ(CutOffSpeedFromStore(store, kModelBrio), 4864);
  CKX4DATA empty;
  EXPECT_FALSE(HeatingTimeFromStore(empty));
}

TEST_F(TableTest, VelaCutOffSpeedAndPeriod) {
  StoreAdd(store, "2B", "1");
  StoreAdd(store, "2C", "4");
  StoreAdd(store, "27", "10");
  StoreAdd(store, "26", "27");
  StoreAdd(store, "25", "0");
  EXPECT_EQ(CutOffSpeedFromStore(store, kModelVela), 3000);  // P = 10000

  EXPECT_EQ(StageCutOffSpeed(3000, kModelVela, store, changes), StageResult::kStaged);
  EXPECT_EQ(Entries(changes), "27=10 26=27 25=0 ");
  changes.Clear();
  // Limited to 5000: P = 120000000 / (4 x 5000) = 6000 = 0x1770.
  EXPECT_EQ(StageCutOffSpeed(9000, kModelVela, store, changes), StageResult::kStaged);
  EXPECT_EQ(Entries(changes), "27=70 26=17 25=0 ");
  changes.Clear();

  EXPECT_EQ(StageCutOffSpeed(0, kModelVela, store, changes), StageResult::kInvalid);
  StoreAdd(store, "2B", "7");  // no multiplier defined beyond 6 coils
  EXPECT_EQ(StageCutOffSpeed(3000, kModelVela, store, changes), StageResult::kInvalid);
  EXPECT_FALSE(CutOffSpeedFromStore(store, kModelVela));
  StoreAdd(store, "2B", "1");
  StoreAdd(store, "2C", "0");
  EXPECT_EQ(StageCutOffSpeed(3000, kModelVela, store, changes), StageResult::kInvalid);
  EXPECT_FALSE(CutOffSpeedFromStore(store, kModelVela));
  StoreAdd(store, "2C", "4");
  StoreAdd(store, "27", "0");
  StoreAdd(store, "26", "0");
  EXPECT_FALSE(CutOffSpeedFromStore(store, kModelVela));  // P = 0
  EXPECT_EQ(changes.Count(), 0);

  CKX4DATA no_coils;
  EXPECT_EQ(StageCutOffSpeed(3000, kModelVela, no_coils, changes), StageResult::kNotInStore);
  EXPECT_FALSE(VelaPeriodForSpeed(6, 2, 1));  // 360000000 does not fit three bytes
}

TEST(ChangeList, RefusesEntriesBeyondItsRoom) {
  ChangeList c;
  for (int i = 0; i < ChangeList::kCapacity; ++i) ASSERT_TRUE(c.Stage("20", ToHexText(i)));
  EXPECT_FALSE(c.Stage("21", "1"));
  EXPECT_EQ(c.Count(), 100);
  EXPECT_EQ(c.Refused(), 1);
  EXPECT_STREQ(c.At(99).value, "63");
  c.Clear();
  EXPECT_FALSE(c.Stage("", "1"));
  EXPECT_FALSE(c.Stage("21", std::string(256, 'A')));
  EXPECT_EQ(c.Refused(), 3);
  // A two-register value is staged whole or not at all.
  for (int i = 0; i < 99; ++i) c.Stage("20", "1");
  EXPECT_EQ(StageHeatingTime(600, c), StageResult::kListFull);
  EXPECT_EQ(c.Count(), 99);
  EXPECT_EQ(c.Refused(), 4);
}

}  // namespace
}  // namespace kova
