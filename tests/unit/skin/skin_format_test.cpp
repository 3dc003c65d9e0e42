#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "skin/skin_format.h"
#include "skin_test_data.h"

using skin::ParseError;
using skin::ParseSkin;

namespace {

// WCAG relative luminance and contrast of two COLORREFs.
double Luminance(skin::ColourRef c) {
  auto channel = [](unsigned v) {
    const double s = v / 255.0;
    return s <= 0.03928 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4);
  };
  return 0.2126 * channel(c & 0xFF) + 0.7152 * channel((c >> 8) & 0xFF) + 0.0722 * channel((c >> 16) & 0xFF);
}
double Contrast(skin::ColourRef a, skin::ColourRef b) {
  const double la = Luminance(a), lb = Luminance(b);
  return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

}  // namespace

TEST(SkinFormat, Crc32MatchesTheStandardCheckValue) {
  const char* check = "123456789";
  EXPECT_EQ(skin::Crc32(reinterpret_cast<const unsigned char*>(check), 9), 0xCBF43926u);
}

TEST(SkinFormat, EveryGeneratedSkinReads) {
  for (int n = 1; n <= 33; ++n) {
    const Bytes data = GeneratedSkin(n);
    ASSERT_GE(data.size(), 4u) << "skin " << n;
    EXPECT_EQ(std::string(data.begin(), data.begin() + 4), ".SHE") << "skin " << n;
    const skin::ParseResult result = ParseSkin(data.data(), data.size());
    ASSERT_EQ(result.error, ParseError::kOk) << "skin " << n;
    EXPECT_STRNE(result.palette->name, "") << "skin " << n;
  }
}

// The program's own labels are black and its status text red, its input boxes
// white: every skin must keep them readable, skin 10 above all.
TEST(SkinFormat, SkinsKeepTheProgramsTextsReadable) {
  for (int n = 1; n <= 33; ++n) {
    const Bytes data = GeneratedSkin(n);
    const auto palette = ParseSkin(data.data(), data.size()).palette;
    ASSERT_TRUE(palette) << "skin " << n;
    for (skin::ColourRef background : {palette->windowTop, palette->windowBottom}) {
      EXPECT_GE(Contrast(0x000000, background), 10.0) << "black labels, skin " << n;
      EXPECT_GE(Contrast(0x0000FF, background), 3.0) << "red status text, skin " << n;
    }
    EXPECT_EQ(palette->editBack, 0xFFFFFFu) << "skin " << n;
    EXPECT_GE(Contrast(palette->editText, palette->editBack), 7.0) << "skin " << n;
    for (int s = 0; s < skin::kButtonDisabled; ++s)
      EXPECT_GE(Contrast(palette->button[s].text, palette->button[s].faceBottom), 3.0) << "skin " << n << " state " << s;
  }
  const Bytes ten = GeneratedSkin(10);
  EXPECT_STREQ(ParseSkin(ten.data(), ten.size()).palette->name, "Sky");
}

TEST(SkinFormat, RefusesDamagedOrHostileSkins) {
  const Bytes good = GeneratedSkin(10);
  ASSERT_FALSE(good.empty());
  auto edited = [&](auto edit, bool seal) {
    Bytes b = good;
    edit(b);
    if (seal) SealSkin(b);
    return b;
  };
  const size_t windowTop = FindRecord(good, skin::kTagWindowTop);
  const size_t radius = FindRecord(good, skin::kTagButtonRadius);
  ASSERT_NE(windowTop, 0u);
  ASSERT_NE(radius, 0u);

  struct Case {
    const char* what;
    Bytes data;
    ParseError expected;
  };
  const Case cases[] = {
      {"header only", Bytes(good.begin(), good.begin() + 16), ParseError::kBadLength},
      {"too short", Bytes(good.begin(), good.begin() + 15), ParseError::kTooShort},
      {"wrong magic", edited([](Bytes& b) { b[1] = 'X'; }, false), ParseError::kBadMagic},
      {"later version", edited([](Bytes& b) { b[4] = 2; }, false), ParseError::kBadVersion},
      {"header size", edited([](Bytes& b) { b[6] = 20; }, false), ParseError::kBadHeaderSize},
      {"cut off", Bytes(good.begin(), good.end() - 1), ParseError::kBadLength},
      {"padded", edited([](Bytes& b) { b.push_back(0); }, false), ParseError::kBadLength},
      {"absurd body size", edited([](Bytes& b) { b[8] = b[9] = b[10] = b[11] = 0xFF; }, false),
       ParseError::kBadLength},
      {"flipped body byte", edited([&](Bytes& b) { b[windowTop] ^= 1; }, false), ParseError::kBadChecksum},
      {"colour with top byte", edited([&](Bytes& b) { b[windowTop + 3] = 0x01; }, true), ParseError::kBadValue},
      {"radius out of range", edited([&](Bytes& b) { b[radius] = 200; }, true), ParseError::kBadValue},
      {"negative radius", edited([&](Bytes& b) { b[radius + 3] = 0xFF; }, true), ParseError::kBadValue},
      {"duplicate colour", edited([](Bytes& b) { AppendRecord(b, skin::kTagWindowText, U32(0)); }, true),
       ParseError::kDuplicateRecord},
      {"colour of wrong size", edited([&](Bytes& b) { b[windowTop - 2] = 3; }, true), ParseError::kBadRecord},
      {"record past the end", edited([](Bytes& b) { AppendRecord(b, 0x7777, Bytes(8)); b.resize(b.size() - 4); }, true),
       ParseError::kBadRecord},
      {"dangling tag", edited([](Bytes& b) { b.push_back(1); b.push_back(1); }, true), ParseError::kBadRecord},
      {"missing colour", edited([&](Bytes& b) { b[windowTop - 4] = 0x99; b[windowTop - 3] = 0x09; }, true),
       ParseError::kMissingRecord},
      {"name with control bytes", edited([](Bytes& b) { b[20] = 0x07; }, true), ParseError::kBadValue},
  };
  for (const Case& c : cases) {
    const skin::ParseResult result = ParseSkin(c.data.data(), c.data.size());
    EXPECT_EQ(result.error, c.expected) << c.what;
    EXPECT_FALSE(result.palette) << c.what;
  }
  EXPECT_EQ(ParseSkin(nullptr, 100).error, ParseError::kNoData);
  EXPECT_EQ(ParseSkin(good.data(), 0).error, ParseError::kNoData);
}

TEST(SkinFormat, SkipsRecordsOfLaterVersionsAndKeepsMetricDefaults) {
  Bytes b = GeneratedSkin(10);
  AppendRecord(b, 0x7F01, Bytes{1, 2, 3});
  SealSkin(b);
  auto result = ParseSkin(b.data(), b.size());
  ASSERT_EQ(result.error, ParseError::kOk);

  // A skin without metric records takes the defaults.
  Bytes bare(b.begin(), b.begin() + skin::kHeaderSize);
  for (uint16_t tag : {skin::kTagButtonRadius, skin::kTagProgressRadius, skin::kTagEditBorderWidth}) {
    const size_t at = FindRecord(b, tag);
    ASSERT_NE(at, 0u);
  }
  size_t pos = skin::kHeaderSize;
  while (pos + 4 <= b.size()) {
    const uint16_t tag = static_cast<uint16_t>(b[pos] | (b[pos + 1] << 8));
    const size_t size = static_cast<size_t>(b[pos + 2] | (b[pos + 3] << 8));
    if (tag < 0x0200 || tag > 0x02FF) bare.insert(bare.end(), b.begin() + pos, b.begin() + pos + 4 + size);
    pos += 4 + size;
  }
  SealSkin(bare);
  result = ParseSkin(bare.data(), bare.size());
  ASSERT_EQ(result.error, ParseError::kOk);
  EXPECT_EQ(result.palette->buttonRadius, 4);
  EXPECT_EQ(result.palette->progressRadius, 3);
  EXPECT_EQ(result.palette->editBorderWidth, 1);
}

// Every cut-off length and random damage, with and without a valid checksum:
// the reader answers without reading outside the data (checked by running it
// on exactly-sized heap copies) and never half-accepts.
TEST(SkinFormat, SurvivesTruncationAndRandomDamage) {
  const Bytes good = GeneratedSkin(10);
  for (size_t length = 0; length < good.size(); ++length) {
    Bytes cut(good.begin(), good.begin() + length);
    EXPECT_FALSE(ParseSkin(cut.empty() ? nullptr : cut.data(), cut.size()).palette) << length;
  }
  std::mt19937 random(20261210);
  int accepted = 0;
  for (int round = 0; round < 20000; ++round) {
    Bytes b = good;
    const int edits = 1 + static_cast<int>(random() % 8);
    for (int e = 0; e < edits; ++e) b[skin::kHeaderSize + random() % (b.size() - skin::kHeaderSize)] =
        static_cast<unsigned char>(random());
    SealSkin(b);
    const skin::ParseResult result = ParseSkin(b.data(), b.size());
    EXPECT_EQ(result.palette.has_value(), result.error == ParseError::kOk);
    if (result.palette) {
      ++accepted;
      EXPECT_LE(result.palette->windowTop, 0xFFFFFFu);
      EXPECT_LE(result.palette->buttonRadius, 16);
      EXPECT_GE(result.palette->editBorderWidth, 1);
    }
  }
  EXPECT_LT(accepted, 20000);
}
