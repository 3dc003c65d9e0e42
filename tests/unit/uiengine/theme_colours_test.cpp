#include <gtest/gtest.h>

#include "uiengine/core/theme_colours.h"

namespace {

TEST(TextColourFor, BlackFrom383WhiteUpTo382) {
  struct Case {
    Colour tint;
    Colour text1;
  } cases[] = {
      {MakeColour(128, 128, 127), kBlack},  // 383
      {MakeColour(128, 127, 127), kWhite},  // 382
      {MakeColour(255, 128, 0), kBlack},    // 383, red-heavy
      {MakeColour(0, 127, 255), kWhite},    // 382, blue-heavy
      {kBlack, kWhite},
      {kWhite, kBlack},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.tint);
    EXPECT_EQ(c.text1, TextColourFor(c.tint));
    EXPECT_EQ(c.text1 == kBlack ? 16777215 : 0, InverseColour(TextColourFor(c.tint)));
  }
  // Bits above the low 24 are not part of the colour.
  EXPECT_EQ(kBlack, TextColourFor(static_cast<Colour>(0xFF000000u | static_cast<unsigned>(MakeColour(200, 200, 0)))));
}

TEST(InverseColour, InvertsEachChannel) {
  EXPECT_EQ(MakeColour(255 - 0x12, 255 - 0x34, 255 - 0x56), InverseColour(MakeColour(0x12, 0x34, 0x56)));
  EXPECT_EQ(kWhite, InverseColour(kBlack));
}

TEST(ToArgb, SwapsRedAndBlueAndAddsAlpha) {
  Colour c = MakeColour(0x11, 0x22, 0x33);  // 0x00332211
  EXPECT_EQ(0xFF112233u, ToArgb(c));
  EXPECT_EQ(0x00112233u, ToArgb(c, 0));
  EXPECT_EQ(0xC8FFFFFFu, ToArgb(kWhite, 200));
  EXPECT_EQ(0xFF000000u, ToArgb(kBlack));
}

TEST(MakeRectF, KeepsTheOrder) {
  gdip::RectF r = MakeRectF(1.5f, -2.0f, 30.0f, 40.25f);
  EXPECT_FLOAT_EQ(1.5f, r.X);
  EXPECT_FLOAT_EQ(-2.0f, r.Y);
  EXPECT_FLOAT_EQ(30.0f, r.Width);
  EXPECT_FLOAT_EQ(40.25f, r.Height);
}

}  // namespace
