#include "controller/parameter_table.h"

#include <gtest/gtest.h>

#include <string>

#include "controller/change_list.h"
#include "controller/frames.h"
#include "controller/store_access.h"
#include "store/ckx4data.h"

namespace kova {
namespace {

class TableTest : public ::testing::Test {
 protected:
  void SetUp() override { BuildParameterTable(table, kModelBrio); }
  const ParameterDescriptor& Row(int r) { return table.rows[r]; }
  ParameterTable table;
  CKX4DATA store;
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

TEST_F(TableTest, ListEntriesComeFromTheDescriptor) {
  EXPECT_EQ(ListEntries(Row(31)), (std::vector<std::string>{"0.00", "0.02", "0.04", "0.06",
                                                           "0.08", "0.10", "0.12", "0.14"}));
  EXPECT_EQ(ListEntries(Row(21)).size(), 9u);
  EXPECT_EQ(ListEntries(Row(13)).back(), "Real");
  // The signal types: VELA has no real probe and spells the specific
  // signal with its accent.
  EXPECT_EQ(SignalTypeEntries(table, kModelBrio),
            (std::vector<std::string>{"Padrão", "Especifico", "Aberto", "Real"}));
  ParameterTable vela;
  BuildParameterTable(vela, kModelVela);
  EXPECT_EQ(SignalTypeEntries(vela, kModelVela),
            (std::vector<std::string>{"Padrão", "Específico", "Aberto"}));
}

TEST(HexText, UpperCaseWithoutLeadingZeros) {
  EXPECT_EQ(ToHexText(0), "0");
  EXPECT_EQ(ToHexText(10), "A");
  EXPECT_EQ(ToHexText(0x2710), "2710");
}

TEST_F(TableTest, CutOffSpeedFromItsRegisters) {
  StoreAdd(store, "26", "13");
  StoreAdd(store, "27", "0");
  EXPECT_EQ(CutOffSpeedFromStore(store, kModelBrio), 4864);
  StoreAdd(store, "2B", "1");
  StoreAdd(store, "2C", "4");
  StoreAdd(store, "27", "10");
  StoreAdd(store, "26", "27");
  StoreAdd(store, "25", "0");
  EXPECT_EQ(CutOffSpeedFromStore(store, kModelVela), 3000);  // P = 10000
  StoreAdd(store, "2B", "7");  // no multiplier defined beyond 6 coils
  EXPECT_FALSE(CutOffSpeedFromStore(store, kModelVela));
  EXPECT_EQ(VelaSpeed(7, 4, 10000), 21000);  // the live speed takes any coil count
  StoreAdd(store, "2B", "1");
  StoreAdd(store, "2C", "0");
  EXPECT_FALSE(CutOffSpeedFromStore(store, kModelVela));
  EXPECT_EQ(VelaSpeed(1, 0, 10000), 0);
  StoreAdd(store, "2C", "4");
  StoreAdd(store, "27", "0");
  StoreAdd(store, "26", "0");
  EXPECT_FALSE(CutOffSpeedFromStore(store, kModelVela));  // P = 0
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
}

}  // namespace
}  // namespace kova
