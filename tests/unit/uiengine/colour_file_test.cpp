#include <gtest/gtest.h>

#include <optional>

#include "uiengine/core/colour_file.h"

namespace {

TEST(ColourFile, OnlyThreePlainColoursWithReadableTextAreTaken) {
  struct Case {
    const char* img;
    const char* text1;
    const char* text2;
    bool holds;
  } cases[] = {
      {"14532708", "0", "16777215", true},
      {"0", "16777215", "0", true},
      {"255", "32768", "65280", true},  // edited by hand: kept
      {"16777216", "0", "16777215", false},
      {"14532708", "0", "", false},
      {"", "", "", false},
      {"255.6", "0", "16777215", false},
      {"12abc", "0", "16777215", false},
      {"-1", "0", "16777215", false},
      {"1e30", "0", "16777215", false},
      {"14532708", "0", "0", false},  // black text on a black halo
      {"4294967295", "0", "16777215", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.img) + " " + c.text1 + " " + c.text2);
    const std::optional<ThemeSettings> got = ColoursFromFileValues(c.img, c.text1, c.text2);
    ASSERT_EQ(c.holds, got.has_value());
    if (got) {
      EXPECT_EQ(std::to_string(got->img_rgb), c.img);
      EXPECT_EQ(std::to_string(got->text_rgb1), c.text1);
      EXPECT_EQ(std::to_string(got->text_rgb2), c.text2);
    }
  }
}

TEST(ColourFile, IsWrittenAsTheIniFunctionsWouldWriteIt) {
  EXPECT_EQ("[rgb]\r\nimg_rgb=14532708\r\ntext_rgb1=0\r\ntext_rgb2=16777215\r\n",
            ColourFileText(ThemeSettings{14532708, 0, 16777215}));
}

}  // namespace
