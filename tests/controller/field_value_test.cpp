// A field's values on their way in and out: what a control shows for
// register values, what it writes for what was typed or chosen, and the
// gate every value passes.
#include "controller/field_value.h"

#include <gtest/gtest.h>

#include <string>

#include "common/model.h"
#include "controller/store_access.h"
#include "store/ckx4data.h"

namespace kova {
namespace {

std::string Text(const RegisterValues& values) {
  std::string s;
  for (const auto& v : values) s += v.keyword + "=" + ToHexText(static_cast<uint64_t>(v.value)) + " ";
  return s;
}

FieldDef Number(const char* keyword, int decimals = 0, bool cut = false) {
  return {.selector = keyword, .kind = FieldKind::kNumber, .keyword = keyword,
          .decimals = decimals, .cut_to_decimals = cut};
}
FieldDef List(const char* keyword) {
  return {.selector = keyword, .kind = FieldKind::kOptions, .keyword = keyword};
}
FieldDef Word(const char* low, const char* high) {
  return {.selector = low, .kind = FieldKind::kWord, .keyword = low, .high = high};
}
const FieldDef kCutOff{.selector = "26_27", .kind = FieldKind::kCutOffSpeed, .keyword = "27"};
const FieldDef kSignal{.selector = "60_78", .kind = FieldKind::kSignalType, .keyword = "60"};

class FieldValue : public ::testing::Test {
 protected:
  explicit FieldValue(int model = kModelBrio) : model(model) { BuildParameterTable(table, model); }
  void Store(std::initializer_list<std::pair<const char*, const char*>> values) {
    for (auto [k, v] : values) StoreAdd(store, k, v);
  }
  std::string Write(const FieldDef& f, std::string text, int position = -1, int companion = -1) {
    return Text(ValuesToWrite(f, table, model, {position, std::move(text), companion}, store));
  }
  std::string Refusal(const FieldDef& f, RegisterValues values) {
    return RefusalOf(f, table, model, values, store);
  }
  int model;
  ParameterTable table;
  CKX4DATA store;
};

// Every numeric row refuses one below its minimum and one above its
// maximum and takes both limits; every list takes its values and refuses
// one beyond them.
TEST_F(FieldValue, TheGateHoldsEveryRowToItsRangeOrList) {
  int rows = 0;
  for (const ParameterDescriptor& d : table.rows) {
    if (!d.HasRegister()) continue;
    const std::string k = d.keyword;
    ++rows;
    // The speed bands hold rpm beyond a byte: no value of theirs may go.
    if (d.IsNumeric() && d.Min() > 255) {
      EXPECT_NE(Refusal(Number(d.keyword), {{k, 255}}), "") << k;
      continue;
    }
    if (d.IsNumeric()) {
      const FieldDef f = Number(d.keyword);
      const long min = static_cast<long>(d.Min()), max = static_cast<long>(d.Max());
      EXPECT_EQ(Refusal(f, {{k, min}}), "") << k;
      EXPECT_EQ(Refusal(f, {{k, std::min(max, 255L)}}), "") << k;
      if (min > 0) {
        EXPECT_NE(Refusal(f, {{k, min - 1}}), "") << k;
      }
      if (max < 255) {
        EXPECT_NE(Refusal(f, {{k, max + 1}}), "") << k;
      }
    } else {
      const FieldDef f = List(d.keyword);
      for (int o = 0; o < d.Options(); ++o)
        EXPECT_EQ(Refusal(f, {{k, std::stol(d.column1[o])}}), "") << k << " option " << o;
      EXPECT_NE(Refusal(f, {{k, std::stol(d.column1[d.Options() - 1]) + 1}}), "") << k;
    }
  }
  EXPECT_EQ(rows, 33);
  // The values cut-off and lists that are not plain rows.
  EXPECT_EQ(Refusal(List("2C"), {{"2C", 3}}), "não é um valor da lista");
  EXPECT_NE(Refusal(Number("70", 2), {{"70", 0xFF}}).find("fora da faixa de 0.00 a 5.00"),
            std::string::npos);
  EXPECT_EQ(Refusal(Word("15", "16"), {{"15", 0x58}, {"16", 2}}), "");           // 600 s
  EXPECT_NE(Refusal(Word("15", "16"), {{"15", 0xFF}, {"16", 0xFF}}), "");        // 65535 s
  EXPECT_NE(Refusal(Word("75", "76"), {{"75", 0x89}, {"76", 0x13}}), "");        // 5001 rpm
  EXPECT_EQ(Refusal(kCutOff, {{"26", 0x13}, {"27", 0x88}}), "");                 // 5000 rpm
  EXPECT_NE(Refusal(kCutOff, {{"26", 0x13}, {"27", 0x89}}), "");
  EXPECT_EQ(Refusal(kSignal, {{"78", 2}, {"60", 0}}), "");
  EXPECT_EQ(Refusal(kSignal, {{"60", 3}, {"78", 0}}), "não é um valor da lista");
  EXPECT_NE(Refusal(kSignal, {{"78", 3}, {"60", 0}}), "");
  EXPECT_EQ(Refusal(Number("3D"), {{"3D", 256}}), "não cabe no registrador");
}

TEST_F(FieldValue, WhatEachKindWritesForWhatIsShown) {
  Store({{"2B", "1"}, {"2C", "4"}});
  struct Case {
    FieldDef f;
    const char* text;
    int position;
    const char* writes;
  } cases[] = {
      // 5.00 / 0.019999999552965164 = 250.0000056: rounded, then hexadecimal.
      {Number("70", 2), "5.00", -1, "70=FA "},
      {Number("70", 2), "1,00", -1, "70=32 "},  // a decimal comma
      {Number("21"), "0", -1, "21=0 "},
      {Number("21"), "12a", -1, ""},
      // The decimal cut: the typed hundredths, not the quotient by the scale.
      {Number("1E", 2, true), "1.5", -1, "1E=96 "},
      {Number("1E", 2, true), "1.559", -1, "1E=9B "},
      {Number("1E", 2, true), "3", -1, "1E=FF "},  // limited to the row
      {Number("79", 1, true), "12.5", -1, "79=7D "},
      {List("2C"), "", 3, "2C=6 "},
      {List("10"), "", 1, "10=2 "},
      {List("20"), "", -1, ""},  // nothing chosen
      {Word("75", "76"), "4864", -1, "75=0 76=13 "},
      {Word("75", "76"), "70000", -1, ""},
      // BRIO holds rpm, high byte staged first.
      {kCutOff, "4864", -1, "26=13 27=0 "},
      {kSignal, "", kTypeOpen, "60=1 78=0 "},
      {kSignal, "", kTypeReal, "78=1 60=0 "},
  };
  for (const Case& c : cases)
    EXPECT_EQ(Write(c.f, c.text, c.position), c.writes) << c.f.keyword << " " << c.text;
  EXPECT_EQ(Write(kSignal, "", kTypeReal, kModeManual), "78=2 60=0 ");
}

class FieldValueVela : public FieldValue {
 protected:
  FieldValueVela() : FieldValue(kModelVela) {}
};

TEST_F(FieldValueVela, TheCutOffSpeedIsAPeriodOfTheStoresCoilsAndCylinders) {
  Store({{"2B", "1"}, {"2C", "4"}, {"27", "10"}, {"26", "27"}, {"25", "0"}});
  EXPECT_EQ(DisplayField(kCutOff, table, model, store).text, "3000");
  EXPECT_EQ(Write(kCutOff, "3000"), "27=10 26=27 25=0 ");
  // Limited to 5000: P = 120000000 / (4 x 5000) = 6000 = 0x1770.
  EXPECT_EQ(Write(kCutOff, "9000"), "27=70 26=17 25=0 ");
  EXPECT_EQ(Write(kCutOff, "0"), "");
  EXPECT_EQ(Refusal(kCutOff, {{"27", 0x70}, {"26", 0x17}, {"25", 0}}), "");
  // 2999 rpm from a period of 10004: allowed; 1 rpm from 30000000: allowed;
  // a period of 1 would be 30 million rpm.
  EXPECT_NE(Refusal(kCutOff, {{"27", 1}, {"26", 0}, {"25", 0}}), "");
  Store({{"2B", "7"}});  // no multiplier for 7 coils
  EXPECT_EQ(Write(kCutOff, "3000"), "");
  EXPECT_EQ(DisplayField(kCutOff, table, model, store).text, "");
  EXPECT_TRUE(DisplayField(kCutOff, table, model, store).complete);
  CKX4DATA no_coils;
  EXPECT_FALSE(DisplayField(kCutOff, table, model, no_coils).complete);
  EXPECT_EQ(Text(ValuesToWrite(kCutOff, table, model, {-1, "3000", -1}, no_coils)), "");
  // VELA's signal type writes 60 alone.
  EXPECT_EQ(Write(kSignal, "", kTypeSpecific), "60=0 ");
}

TEST_F(FieldValue, WhatAControlShowsForTheStoredValues) {
  const FieldDef coils{.selector = "2B", .kind = FieldKind::kMappedOptions, .keyword = "2B",
                        .to_position = [](long v) { return v == 9 ? 0 : static_cast<int>(v); },
                        .to_value = [](int p) -> long { return p == 0 ? 9 : p; }};
  Store({{"70", "FA"}, {"13", "2"}, {"2C", "3"}, {"2B", "0"}, {"80", "2D"}, {"75", "0"},
         {"76", "13"}, {"78", "2"}, {"79", "7D"}, {"60", "0"}, {"1E", "24"}, {"1F", "24"},
         {"21", "1G"}});
  struct Case {
    FieldDef f;
    int position;
    const char* text;
  } cases[] = {
      {Number("70", 2), -1, "5.00"},
      {List("13"), 1, "0-5"},
      {List("2C"), -1, ""},  // a count the list has no entry for
      {coils, 0, "Tacômetro"},
      {Number("80"), -1, "45"},
      {Word("75", "76"), -1, "4864"},
      {Number("79", 1), -1, "12.5"},
      {kSignal, kTypeReal, "Real"},
  };
  for (const Case& c : cases) {
    const FieldDisplay d = DisplayField(c.f, table, model, store);
    EXPECT_TRUE(d.complete) << c.f.keyword;
    EXPECT_EQ(d.position, c.position) << c.f.keyword;
    EXPECT_EQ(d.text, c.text) << c.f.keyword;
  }
  Store({{"78", "0"}});
  EXPECT_EQ(DisplayField(kSignal, table, model, store).text, "Padrão");  // both times 0.36
  EXPECT_FALSE(DisplayField(Number("46"), table, model, store).complete);
  EXPECT_FALSE(DisplayField(Number("21"), table, model, store).complete);  // not a number

  // The values a stored field would write: as its list shows and writes
  // them, or named when they cannot be read.
  auto stored = ValuesFromStore(coils, model, store);
  ASSERT_TRUE(stored);
  EXPECT_EQ(Text(stored->values), "2B=9 ");
  stored = ValuesFromStore(Number("21"), model, store);
  ASSERT_TRUE(stored);
  EXPECT_EQ(stored->unreadable, (std::vector<std::string>{"21"}));
  EXPECT_FALSE(ValuesFromStore(Number("46"), model, store));
  // A register holds a byte: a longer value is limited before anything
  // counts with it (256 x 0x800000 would overflow a 32-bit long).
  Store({{"76", "800000"}});
  EXPECT_EQ(DisplayField(Word("75", "76"), table, model, store).text, "65280");
}

TEST_F(FieldValue, TypedNumbersBeyondTheRangeByTheFieldsRule) {
  FieldDef steps = Number("21");
  steps.out_of_range = OutOfRange::kRefuse;
  auto refused = CheckOnWrite(steps, table, "150");
  ASSERT_TRUE(refused);
  EXPECT_EQ(refused->message, kAboveLimitText);
  EXPECT_EQ(refused->text, "100");
  EXPECT_FALSE(CheckOnWrite(steps, table, "100"));
  steps.out_of_range = OutOfRange::kClamp;
  EXPECT_EQ(CheckOnWrite(steps, table, "0")->text, "1");
  EXPECT_EQ(CheckOnWrite(steps, table, "0")->message, "");

  FieldDef delay = Number("70", 2);
  delay.out_of_range = OutOfRange::kLimitWhileTyping;
  EXPECT_EQ(CheckWhileTyping(delay, table, "")->text, "0.00");  // empty is below
  EXPECT_EQ(CheckWhileTyping(delay, table, "")->caption, kMinAssumedCaption);
  EXPECT_EQ(CheckWhileTyping(delay, table, "5.02")->text, "5.00");
  EXPECT_FALSE(CheckWhileTyping(delay, table, "5.00"));

  FieldDef back = Number("80");
  back.out_of_range = OutOfRange::kDefaultWhileTyping;
  EXPECT_EQ(CheckWhileTyping(back, table, "150")->text, "1.00");  // the row's default
  EXPECT_EQ(CheckWhileTyping(back, table, "150")->caption, kLimitAssumedCaption);
  EXPECT_EQ(CheckWhileTyping(back, table, "-3")->text, "0");
  EXPECT_EQ(CheckWhileTyping(back, table, "-3")->message, "");
}

}  // namespace
}  // namespace kova
