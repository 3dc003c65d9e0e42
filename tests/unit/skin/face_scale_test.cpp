#include <gtest/gtest.h>

#include "skin/face_scale.h"
#include "skin/skin_format.h"
#include "skin_test_data.h"

using skin::FaceMetrics;

namespace {

std::vector<int> Values(const FaceMetrics& f) {
  return {f.buttonRadius, f.progressRadius, f.editBorderWidth, f.lineWidth, f.focusInset, f.progressInset};
}

skin::Palette PaletteOf(const Bytes& data) {
  const skin::ParseResult result = skin::ParseSkin(data.data(), data.size());
  EXPECT_EQ(result.error, skin::ParseError::kOk);
  return result.palette.value_or(skin::Palette{});
}

// The skin without its face records: the library grows the 100% faces itself.
Bytes WithoutFaces(const Bytes& b) {
  Bytes out(b.begin(), b.begin() + skin::kHeaderSize);
  size_t pos = skin::kHeaderSize;
  while (pos + 4 <= b.size()) {
    const uint16_t tag = static_cast<uint16_t>(b[pos] | (b[pos + 1] << 8));
    const size_t size = static_cast<size_t>(b[pos + 2] | (b[pos + 3] << 8));
    if (tag != skin::kTagFaces150 && tag != skin::kTagFaces200)
      out.insert(out.end(), b.begin() + pos, b.begin() + pos + 4 + size);
    pos += 4 + size;
  }
  SealSkin(out);
  return out;
}

}  // namespace

// Skin 10 has corners of 4: its faces as drawn for 150% and 200% by the generator.
TEST(FaceScale, GeneratedSkinsCarryFacesForEachScale) {
  const Bytes ten = GeneratedSkin(10);
  ASSERT_NE(FindRecord(ten, skin::kTagFaces150), 0u);
  ASSERT_NE(FindRecord(ten, skin::kTagFaces200), 0u);
  const skin::Palette p = PaletteOf(ten);
  EXPECT_EQ(Values(skin::BaseFaces(p)), (std::vector<int>{4, 3, 1, 1, 4, 2}));
  EXPECT_EQ(Values(p.faces150), (std::vector<int>{6, 5, 1, 1, 6, 3}));
  EXPECT_EQ(Values(p.faces200), (std::vector<int>{8, 6, 2, 2, 8, 4}));
  // A skin of an older generator, without face records, is drawn the same way.
  for (int n = 1; n <= 33; ++n) {
    const skin::Palette full = PaletteOf(GeneratedSkin(n));
    const skin::Palette bare = PaletteOf(WithoutFaces(GeneratedSkin(n)));
    EXPECT_EQ(Values(bare.faces150), Values(full.faces150)) << "skin " << n;
    EXPECT_EQ(Values(bare.faces200), Values(full.faces200)) << "skin " << n;
  }
}

TEST(FaceScale, NearestSetIsUsedAndOnlyTheRestScaled) {
  const skin::Palette p = PaletteOf(GeneratedSkin(10));
  struct Case {
    int dpi;
    std::vector<int> expected;
  } cases[] = {
      {96, {4, 3, 1, 1, 4, 2}},
      {72, {4, 3, 1, 1, 4, 2}},    // below 100%: drawn as at 100%
      {144, {6, 5, 1, 1, 6, 3}},   // exactly the 150% set
      {192, {8, 6, 2, 2, 8, 4}},   // exactly the 200% set
      {120, {5, 4, 1, 1, 5, 3}},   // 125%: halfway, from the 150% set shrunk by 5/6
      {168, {7, 5, 2, 2, 7, 4}},   // 175%: from the 200% set shrunk by 7/8
      {240, {10, 8, 3, 3, 10, 5}}, // 250%: from the 200% set grown by 5/4
      {110, {5, 3, 1, 1, 5, 2}},   // nearer 100%: grown from it
  };
  for (const Case& c : cases) EXPECT_EQ(Values(skin::FacesForDpi(p, c.dpi)), c.expected) << c.dpi;
}

TEST(FaceScale, DamagedFaceRecordsRefuseTheSkin) {
  const Bytes good = GeneratedSkin(10);
  const size_t faces = FindRecord(good, skin::kTagFaces200);
  ASSERT_NE(faces, 0u);
  auto edited = [&](auto edit) {
    Bytes b = good;
    edit(b);
    SealSkin(b);
    return skin::ParseSkin(b.data(), b.size()).error;
  };
  EXPECT_EQ(edited([&](Bytes& b) { b[faces] = 33; }), skin::ParseError::kBadValue);          // radius 33
  EXPECT_EQ(edited([&](Bytes& b) { b[faces + 12] = 0; }), skin::ParseError::kBadValue);      // line of 0
  EXPECT_EQ(edited([&](Bytes& b) { b[faces + 23] = 0x80; }), skin::ParseError::kBadValue);   // negative inset
  EXPECT_EQ(edited([&](Bytes& b) { b[faces - 2] = 20; }), skin::ParseError::kBadRecord);     // short record
  EXPECT_EQ(edited([](Bytes& b) { AppendRecord(b, skin::kTagFaces150, Bytes(24, 1)); }),
            skin::ParseError::kDuplicateRecord);
}
