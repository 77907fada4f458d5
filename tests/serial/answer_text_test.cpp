// The answer text of a read, on its own: every limit of the text.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "serial/answer_text.h"

namespace kova {
namespace {

std::string Render(std::vector<unsigned char> bytes, unsigned long requested, int* result,
                   unsigned long* length) {
  std::vector<unsigned char> buf(std::max<size_t>(requested, bytes.size()) + 1, 'x');
  buf.back() = 0;  // so an untouched buffer still reads as a string
  std::copy(bytes.begin(), bytes.end(), buf.begin());
  *result = RenderReadAnswer(buf.data(), requested, bytes.size(), length);
  return reinterpret_cast<char*>(buf.data());
}

TEST(AnswerText, BytesAsHexWithoutLeadingZeros) {
  int r = -1;
  unsigned long n = 0;
  EXPECT_EQ(Render({0xB0, 0x15, 0x0A, 0xC0}, 100, &r, &n), "B0|15|A|C0|");
  EXPECT_EQ(r, 0);
  EXPECT_EQ(n, 11u);
  EXPECT_EQ(Render({0x07, 0x00, 0xFF}, 100, &r, &n), "7|0|FF|");
  EXPECT_EQ(n, 7u);
}

TEST(AnswerText, EmptyFullAndZeroLed) {
  int r = -1;
  unsigned long n = 42;
  Render({}, 100, &r, &n);
  EXPECT_EQ(r, 6);
  EXPECT_EQ(n, 42u);
  Render({1, 2, 3}, 3, &r, &n);
  EXPECT_EQ(r, 6);
  EXPECT_EQ(n, 42u);
  EXPECT_EQ(Render({0x00, 0xB0, 0x20}, 100, &r, &n), "");
  EXPECT_EQ(r, 0);
  EXPECT_EQ(n, 0u);
}

TEST(AnswerText, CutAtTheLastWholeByte) {
  int r = -1;
  unsigned long n = 0;
  // 3333 bytes of three characters fill 9999 characters plus terminator.
  std::vector<unsigned char> many(4000, 0xAB);
  std::string text = Render(many, 10000, &r, &n);
  EXPECT_EQ(r, 0);
  EXPECT_EQ(n, 9999u);
  EXPECT_EQ(text.size(), 9999u);
  // Mixed widths: the cut never leaves half a byte.
  std::vector<unsigned char> mixed;
  for (int i = 0; i < 5000; ++i) mixed.push_back(i % 2 ? 0x05 : 0x50);
  text = Render(mixed, 10000, &r, &n);
  EXPECT_EQ(text.back(), '|');
  EXPECT_LE(n, 9999u);
  EXPECT_GT(n, 9995u);
  // The caller's buffer bounds the text too, terminator included.
  text = Render({0xB0, 0x20, 0x01, 0xC0}, 7, &r, &n);
  EXPECT_EQ(text, "B0|20|");
  EXPECT_EQ(n, 6u);
  text = Render({0xB0, 0x20, 0x01, 0xC0}, 6, &r, &n);
  EXPECT_EQ(text, "B0|");
}

}  // namespace
}  // namespace kova
