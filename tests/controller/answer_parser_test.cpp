#include "controller/answer_parser.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <tuple>
#include <vector>

namespace kova {
namespace {

using Records = std::multimap<std::string, std::string>;

Records Config(std::string_view text) {
  Records out;
  ParseConfigAnswer(text, [&](std::string_view k, std::string_view v) {
    out.emplace(std::string(k), std::string(v));
  });
  return out;
}

Records Live(std::string_view text, bool verify = true) {
  Records out;
  ParseLiveAnswer(
      text, [&](std::string_view k, std::string_view v) { out.emplace(std::string(k), std::string(v)); },
      verify);
  return out;
}

TEST(ConfigAnswer, StoresEachCompleteRecordAsRendered) {
  EXPECT_EQ(Config("B0|20|1|C0|B0|21|32|C0|"), (Records{{"20", "1"}, {"21", "32"}}));
  // Tokens before the first B0 are skipped; lower case markers count.
  EXPECT_EQ(Config("7|B0|15|A|C0|"), (Records{{"15", "A"}}));
  EXPECT_EQ(Config("b0|1E|24|c0|"), (Records{{"1E", "24"}}));
  EXPECT_TRUE(Config("").empty());
}

TEST(ConfigAnswer, FourthTokenIsConsumedEvenWhenItIsB0) {
  // The record for 15 dies at the second B0, which is then not a start, so
  // 16 and 2 are skipped until the C0 ... and nothing is stored.
  EXPECT_TRUE(Config("B0|15|A|B0|16|2|C0|").empty());
  // The machine picks up again at the next B0.
  EXPECT_EQ(Config("B0|15|A|B0|16|2|C0|B0|17|3|C0|"), (Records{{"17", "3"}}));
  // A record cut off at the end of the text stores nothing.
  EXPECT_TRUE(Config("B0|15|A|").empty());
}

TEST(ConfigAnswer, DropsRecordsWithEmptyParts) {
  EXPECT_TRUE(Config("B0||1|C0|").empty());
  EXPECT_TRUE(Config("B0|20||C0|").empty());
  // A last piece without its bar still counts as a token.
  EXPECT_EQ(Config("B0|20|1|C0"), (Records{{"20", "1"}}));
}

TEST(LiveAnswer, KeepsRecordsWhoseCheckIsKeyPlusValueModulo256) {
  EXPECT_EQ(Live("B0|11|5|16|C0|B0|23|32|55|C0|"), (Records{{"11", "5"}, {"23", "32"}}));
  EXPECT_TRUE(Live("B0|11|5|17|C0|").empty());  // wrong check
  // 0x28 + 0xF0 = 0x118: the check byte holds the sum modulo 256, so 18
  // matches; the plain sum is no byte at all and never matches.
  EXPECT_EQ(Live("B0|28|F0|18|C0|"), (Records{{"28", "F0"}}));
  EXPECT_TRUE(Live("B0|28|F0|118|C0|").empty());
  EXPECT_TRUE(Live("B0|28|F0|19|C0|").empty());
  EXPECT_EQ(Live("B0|FF|FF|FE|C0|"), (Records{{"FF", "FF"}}));
  EXPECT_EQ(Live("b0|28|d7|ff|c0|"), (Records{{"28", "d7"}}));
  // Engine speed 1000 rpm: low byte E8, 28 + E8 wraps to 10.
  EXPECT_EQ(Live("B0|28|E8|10|C0|B0|29|3|2C|C0|"), (Records{{"28", "E8"}, {"29", "3"}}));
}

TEST(LiveAnswer, FifthTokenEndsEveryRecordAndSplitsAreLost) {
  EXPECT_TRUE(Live("B0|11|5|16|B0|").empty());
  EXPECT_TRUE(Live("B0|11|5|").empty());
  EXPECT_TRUE(Live("16|C0|").empty());  // the tail of a record split between reads
  EXPECT_TRUE(Live("B0|1G|5|16|C0|").empty());  // not hexadecimal
}

TEST(LiveAnswer, SamplingWithoutCheckKeepsEveryWholeRecord) {
  EXPECT_EQ(Live("B0|28|F0|18|C0|", false), (Records{{"28", "F0"}}));
  EXPECT_TRUE(Live("B0|28|F0|18|C1|", false).empty());
}

TEST(LiveAnswer, GroupsReportEveryWholeRecordWithItsCheck) {
  std::vector<std::tuple<std::string, std::string, bool>> seen;
  int n = ParseLiveGroups("B0|72|1|0|C0|B0|72|2|74|C0|B0|11|5|16|B0|", [&](auto k, auto v, bool ok) {
    seen.emplace_back(std::string(k), std::string(v), ok);
  });
  EXPECT_EQ(n, 2);
  EXPECT_EQ(seen, (std::vector<std::tuple<std::string, std::string, bool>>{
                      {"72", "1", false}, {"72", "2", true}}));
}

TEST(ParseHex, AcceptsOnlyHexDigits) {
  EXPECT_EQ(ParseHex("1a"), 26u);
  EXPECT_EQ(ParseHex("FF"), 255u);
  EXPECT_FALSE(ParseHex(""));
  EXPECT_FALSE(ParseHex("1G"));
  EXPECT_FALSE(ParseHex("-1"));
  EXPECT_FALSE(ParseHex("1234567890ABCDEF"));  // 16 digits
}

}  // namespace
}  // namespace kova
