#include <gtest/gtest.h>

#include "shell/control_layout.h"
#include "shell/float_spin.h"

namespace kova {
namespace {

TEST(FloatSpin, PositionsFromRangeAndStep) {
  FloatSpinModel spin;
  EXPECT_EQ(spin.positions(), 100);
  spin.SetRangeAndStep(0.0, 5.0, 0.02);
  EXPECT_EQ(spin.positions(), 250);
  spin.SetRangeAndStep(5.0, 0.0, 0.5);  // reversed range: the absolute quotient
  EXPECT_EQ(spin.positions(), 10);
  // Step 0 keeps the previous integer range.
  spin.SetRangeAndStep(0.0, 1000.0, 0.0);
  EXPECT_EQ(spin.positions(), 10);
  // 32767 or more positions are capped.
  spin.SetRangeAndStep(0.0, 32767.0, 1.0);
  EXPECT_EQ(spin.positions(), 32767);
  spin.SetRangeAndStep(0.0, 1e9, 0.001);
  EXPECT_EQ(spin.positions(), 32767);
  spin.SetRangeAndStep(0.0, 32766.0, 1.0);
  EXPECT_EQ(spin.positions(), 32766);
}

TEST(FloatSpin, IntegerPositionOfAValue) {
  FloatSpinModel spin;
  spin.SetRangeAndStep(0.0, 5.0, 0.02);
  EXPECT_EQ(spin.IntegerPosition(-1.0), 0);
  EXPECT_EQ(spin.IntegerPosition(5.0), 250);
  EXPECT_EQ(spin.IntegerPosition(7.0), 250);
  EXPECT_EQ(spin.IntegerPosition(2.5), 125);
  EXPECT_EQ(spin.IntegerPosition(0.03), 2);  // 1.5 rounds to the nearest
  spin.SetRangeAndStep(3.0, 3.0, 1.0);
  EXPECT_EQ(spin.IntegerPosition(3.0), 0);
}

TEST(FloatSpin, AutomaticAndFixedFormatting) {
  FloatSpinModel spin;
  EXPECT_EQ(spin.Format(2.5), "2.5");
  EXPECT_EQ(spin.Format(100000000.0), "1e+08");
  spin.SetDecimals(2);
  EXPECT_EQ(spin.Format(2.5), "2.5");
  EXPECT_EQ(spin.Format(3.0), "3");
  EXPECT_EQ(spin.Format(0.126), "0.13");
  EXPECT_EQ(spin.Format(100.0), "100");  // zeros before the point stay
  // Exponent form: the mantissa alone is trimmed.
  EXPECT_EQ(spin.Format(1.5e20), "1.5e+20");
  EXPECT_EQ(spin.Format(2e-7), "2e-07");
  spin.SetTrim(false);
  EXPECT_EQ(spin.Format(3.0), "3.00");
  EXPECT_EQ(spin.Format(1.5e20), "1.50e+20");
  spin.SetFormat("%1.1f s");
  EXPECT_EQ(spin.Format(2.26), "2.3 s");
}

TEST(FloatSpin, UnsafeFormatTextIsShownLiterally) {
  FloatSpinModel spin;
  spin.SetFormat("%s%n");
  EXPECT_EQ(spin.Format(1.0), "%s%n");
  spin.SetFormat("%f %f");
  EXPECT_EQ(spin.Format(1.0), "%f %f");
  spin.SetFormat("100%% %0.0f");
  EXPECT_EQ(spin.Format(7.0), "100% 7");
}

TEST(FloatSpin, LocaleDecimalPointTrimsAndReads) {
  FloatSpinModel spin(',');
  spin.SetDecimals(2);
  // printf in the C locale uses '.', which is not this point: no trimming.
  EXPECT_EQ(spin.Format(3.0), "3.00");
  EXPECT_DOUBLE_EQ(spin.Parse("2,5"), 2.5);
  EXPECT_DOUBLE_EQ(spin.Parse("abc"), 0.0);
  FloatSpinModel dot;
  EXPECT_DOUBLE_EQ(dot.Parse("1.25"), 1.25);
  EXPECT_DOUBLE_EQ(dot.Parse(""), 0.0);
}

TEST(FloatSpin, ArrowsWrapOrClamp) {
  FloatSpinModel spin;
  spin.SetRangeAndStep(0.0, 2.55, 0.01);
  EXPECT_NEAR(spin.Step(1.0, 1, false), 1.01, 1e-12);
  EXPECT_DOUBLE_EQ(spin.Step(2.55, 1, false), 2.55);
  EXPECT_DOUBLE_EQ(spin.Step(0.0, -1, false), 0.0);
  EXPECT_DOUBLE_EQ(spin.Step(2.55, 1, true), 0.0);
  EXPECT_DOUBLE_EQ(spin.Step(0.0, -1, true), 2.55);
  // Rounding noise at the bound is not a wrap.
  EXPECT_NEAR(spin.Step(2.54, 1, true), 2.55, 1e-9);
  spin.SetRangeAndStep(1.0, 240.0, 1.0);
  EXPECT_DOUBLE_EQ(spin.Step(240.0, 5, false), 240.0);
  EXPECT_DOUBLE_EQ(spin.Step(1.0, -5, true), 240.0);
}

TEST(ButtonLayout, ScreenStyleCentresTheImage) {
  ButtonLayout l = ComputeButtonLayout(40, 40, 32, 32, kButtonScreenStyle);
  EXPECT_EQ(l.image, (Rect{4, 4, 36, 36}));
  l = ComputeButtonLayout(120, 50, 32, 32, kButtonScreenStyle);
  EXPECT_EQ(l.image, (Rect{44, 9, 76, 41}));
  // Too small a button: the image stays at the 6-pixel corner.
  l = ComputeButtonLayout(30, 30, 32, 32, kButtonScreenStyle);
  EXPECT_EQ(l.image, (Rect{6, 6, 38, 38}));
  // Centring never goes nearer than 4 pixels to the edge.
  l = ComputeButtonLayout(38, 37, 32, 32, kButtonScreenStyle);
  EXPECT_EQ(l.image.left, 4);
  EXPECT_EQ(l.image.top, 4);
}

TEST(ButtonLayout, EdgesAndBottom) {
  ButtonLayout l = ComputeButtonLayout(100, 60, 32, 32, kButtonImageRight);
  EXPECT_EQ(l.image.left, 100 - 32 - 6);
  EXPECT_EQ(l.image.top, 6);
  l = ComputeButtonLayout(100, 60, 32, 32, kButtonImageBottom);
  EXPECT_EQ(l.image.top, 60 - 32 - 6);
  // Vertical centring wins over the bottom edge when there is room.
  l = ComputeButtonLayout(100, 60, 32, 32, kButtonImageBottom | kButtonCentreV);
  EXPECT_EQ(l.image.top, 14);
  l = ComputeButtonLayout(100, 32, 32, 32, kButtonImageBottom | kButtonCentreV);
  EXPECT_EQ(l.image.top, 6);
  EXPECT_TRUE(l.text.width() == 0 && l.focus.width() == 0);
}

TEST(ButtonLayout, CaptionAndFocusFrames) {
  ButtonLayout l = ComputeButtonLayout(100, 40, 32, 32, kButtonDefaultStyle);
  EXPECT_GT(l.text.width(), 0);
  EXPECT_GE(l.text.left, l.image.right);  // beside the image, not over it
  EXPECT_EQ(l.focus, (Rect{l.text.left - 2, l.text.top - 2, l.text.right + 2, l.text.bottom + 2}));
  Rect item{0, 0, 100, 40};
  EXPECT_EQ(FocusFrame(item, l, kButtonDefaultStyle), l.focus);
  EXPECT_EQ(FocusFrame(item, l, kButtonScreenStyle), (Rect{3, 3, 97, 37}));
}

TEST(LabelStyle, FlagsSwitchBytesOnAndResetAlignment) {
  LabelStyle s;
  s.Apply(1 | 32);
  EXPECT_TRUE(s.bold);
  EXPECT_EQ(s.align, Align::Centre);
  EXPECT_EQ(s.Weight(), 900);
  s.Apply(2 | 128);
  EXPECT_TRUE(s.bold);  // never switched off
  EXPECT_TRUE(s.italic);
  EXPECT_EQ(s.align, Align::Right);
  s.Apply(160);  // bit 5 wins over 128
  EXPECT_EQ(s.align, Align::Centre);
  s.Apply(4 | 8 | 16);
  EXPECT_TRUE(s.underline && s.strike && s.antialias);
  EXPECT_EQ(s.align, Align::Left);
  LabelStyle plain;
  EXPECT_EQ(plain.Weight(), 400);
}

}  // namespace
}  // namespace kova
