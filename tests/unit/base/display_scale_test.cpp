#include <gtest/gtest.h>

#include <windows.h>

#include "base/display_scale.h"

// The scaled value is what MulDiv gives (halves away from zero), at every scale a
// display is commonly set to, for the program's own layout values and their negatives.
TEST(DisplayScale, ScalingRoundsAsMulDivDoes) {
  for (int dpi : {96, 108, 120, 144, 168, 192, 240, 288})
    for (int v = -700; v <= 700; ++v) ASSERT_EQ(ScaleToDpi(v, dpi), ::MulDiv(v, dpi, 96)) << v << " at " << dpi;
  struct Case {
    int value, dpi, expected;
  } cases[] = {
      {469, 96, 469}, {469, 120, 586}, {469, 144, 704}, {469, 192, 938},
      {5, 144, 8},     // 7.5 rounds up
      {-5, 144, -8},   // and -7.5 down
      {1, 120, 1},     {2, 120, 3},    // 2.5
      {0, 192, 0},
  };
  for (const Case& c : cases) EXPECT_EQ(ScaleToDpi(c.value, c.dpi), c.expected) << c.value << " at " << c.dpi;
  EXPECT_EQ(ScaleBetweenDpis(-11, 96, 144), -17);
  EXPECT_EQ(ScaleBetweenDpis(-17, 144, 192), -23);
  EXPECT_EQ(ScaleBetweenDpis(-16, 120, 120), -16);
  EXPECT_EQ(ScaleBetweenDpis(7, 0, 144), 7);  // no DPI known: left alone
  // Font heights drop the fraction: -11 is -13 at 125%, -16 at 150%, -22 at 200%.
  EXPECT_EQ(ScaleToDpiTowardZero(-11, 120), -13);
  EXPECT_EQ(ScaleToDpiTowardZero(-11, 144), -16);
  EXPECT_EQ(ScaleToDpiTowardZero(-11, 192), -22);
  EXPECT_EQ(ScaleToDpiTowardZero(-11, 96), -11);
}

TEST(DisplayScale, RectanglesScalePlaceAndSizeEachOnTheirOwn) {
  const LayoutRect status{8, 120, 384, 80};
  EXPECT_EQ(ScaleRect(status, 96), status);
  EXPECT_EQ(ScaleRect(status, 144), (LayoutRect{12, 180, 576, 120}));
  const LayoutRect stop{91, 202, 80, 40};
  EXPECT_EQ(ScaleRect(stop, 120), (LayoutRect{114, 253, 100, 50}));  // 113.75, 252.5
  EXPECT_EQ(ScaleRect(stop, 192), (LayoutRect{182, 404, 160, 80}));
}

TEST(DisplayScale, NearestArtworkScaleTakesTheLargerWhenHalfway) {
  struct Case {
    int dpi, scale;
  } cases[] = {{72, 100}, {96, 100}, {110, 100}, {119, 100}, {120, 150}, {144, 150},
               {167, 150}, {168, 200}, {192, 200}, {288, 200}};
  for (const Case& c : cases) EXPECT_EQ(NearestArtworkScale(c.dpi), c.scale) << c.dpi;
  EXPECT_EQ(ClampDpi(72), 96);
  EXPECT_EQ(ClampDpi(144), 144);
}

// The artwork generator rounds the same way: a 17-pixel piece is 26 at 150%.
TEST(DisplayScale, ArtworkLengthsMatchTheGenerators) {
  EXPECT_EQ(ArtworkLength(17, 100), 17);
  EXPECT_EQ(ArtworkLength(17, 150), 26);
  EXPECT_EQ(ArtworkLength(47, 150), 71);
  EXPECT_EQ(ArtworkLength(14, 150), 21);
  EXPECT_EQ(ArtworkLength(191, 200), 382);
}
