#include <gtest/gtest.h>

#include "common/clock.h"
#include "common/cp1252.h"

namespace kova {

TEST(VirtualClock, RecordsWaitsAndAdvancesTime) {
  VirtualClock c;
  c.Sleep(400);
  c.Advance(5);
  c.Sleep(100);
  EXPECT_EQ(c.Now(), 505u);
  EXPECT_EQ(c.Waits(), (std::vector<uint32_t>{400, 100}));
  EXPECT_EQ(c.TotalWaited(), 500u);
}

TEST(Cp1252, RoundTripsEveryByteThroughUtf8AndWide) {
  std::string all;
  for (int b = 1; b < 256; ++b) all += static_cast<char>(b);
  EXPECT_EQ(Utf8ToCp1252(Cp1252ToUtf8(all)), all);
  EXPECT_EQ(WideToCp1252(Cp1252ToWide(all)), all);
}

TEST(Cp1252, PortugueseTextAndSpecials) {
  EXPECT_EQ(Utf8ToCp1252("Padrão"), "Padr\xE3o");
  EXPECT_EQ(Utf8ToCp1252("€"), "\x80");
  EXPECT_EQ(Cp1252ToWide("\x80"), L"\u20AC");
  EXPECT_EQ(Utf8ToCp1252("\xE6\x97\xA5"), "?");  // not in 1252
  // A truncated sequence at the end is taken byte for byte, never read past.
  EXPECT_EQ(Utf8ToCp1252("a\xC3"), "a\xC3");
  EXPECT_EQ(WideToUtf8(Utf8ToWide("Já existe")), "Já existe");
}

}  // namespace kova
