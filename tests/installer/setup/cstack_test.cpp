// CStack: slots from 1, Top the next free slot, "Empty" for an empty pop
// and for a read outside the filled slots.
#include <gtest/gtest.h>

#include "Instalador/setup/cstack.h"

namespace kova {
namespace {

TEST(CStack, PushPopAndRead) {
  CStack s;
  EXPECT_EQ(s.Top(), 1);
  EXPECT_EQ(s.Length(), 0);
  EXPECT_EQ(s.Pop(), "Empty");
  EXPECT_EQ(s.Top(), 1);
  EXPECT_EQ(s.Length(), 0);
  ASSERT_TRUE(s.Push("C:\\A\\"));
  ASSERT_TRUE(s.Push("C:\\A\\B\\"));
  EXPECT_EQ(s.Top(), 3);
  EXPECT_EQ(s.Length(), 2);
  EXPECT_EQ(s.Read(1), "C:\\A\\");
  EXPECT_EQ(s.Read(2), "C:\\A\\B\\");
  EXPECT_EQ(s.Read(0), "Empty");
  EXPECT_EQ(s.Read(3), "Empty");
  EXPECT_EQ(s.Read(-1), "Empty");
  EXPECT_EQ(s.Pop(), "C:\\A\\B\\");
  EXPECT_EQ(s.Read(2), "Empty");  // above Top now
  EXPECT_EQ(s.Top(), 2);
  // The storage keeps growing and keeps its contents.
  for (int i = 0; i < 1000; ++i) ASSERT_TRUE(s.Push(std::to_string(i)));
  EXPECT_EQ(s.Length(), 1001);
  EXPECT_EQ(s.Read(1), "C:\\A\\");
  EXPECT_EQ(s.Read(1001), "999");
  for (int i = 999; i >= 0; --i) ASSERT_EQ(s.Pop(), std::to_string(i));
  EXPECT_EQ(s.Pop(), "C:\\A\\");
  EXPECT_EQ(s.Pop(), "Empty");
  EXPECT_EQ(s.Top(), 1);
  EXPECT_EQ(s.Length(), 0);
}

TEST(CStack, FullStackRefusesInsteadOfOverflowing) {
  CStack s;
  for (int i = 1; i < 32767; ++i) ASSERT_TRUE(s.Push("x")) << i;
  EXPECT_EQ(s.Top(), 32767);
  EXPECT_FALSE(s.Push("y"));
  EXPECT_EQ(s.Length(), 32766);
  EXPECT_EQ(s.Read(32766), "x");
  EXPECT_EQ(s.Pop(), "x");
  EXPECT_TRUE(s.Push("z"));
}

}  // namespace
}  // namespace kova
