// Loading and saving images through memory and files, and the encoder lookup.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "base/codepage.h"

#include "gdiplus/gdip_objects.h"
#include "pixel_helpers.h"

namespace {

// A 4 x 4 PNG: left half red, right half blue.
ByteBuffer TwoColourPng() {
  gdip::Bitmap b = testpix::SolidBitmap(4, 4, 0xFFFF0000);
  gdip::Graphics g;
  g.CreateForImage(b);
  gdip::SolidBrush blue(0xFF0000FF);
  g.FillRectangle(blue, 2, 0, 2, 4);
  g.Release();
  return b.SaveToBytes(gdip::kFormatPng);
}

Text TempPath(const char* name) {
  char dir[MAX_PATH];
  ::GetTempPathA(MAX_PATH, dir);
  return Text(dir) + name;
}

TEST(Encoders, ListsJpegAndPngAndLooksThemUpByFormat) {
  auto encoders = gdip::ImageEncoders();
  ASSERT_FALSE(encoders.empty());
  bool sawJpeg = false;
  for (const auto& e : encoders) {
    EXPECT_EQ(38u, e.clsid.size());
    EXPECT_EQ(e.signatureCount * e.signatureSize, e.signaturePattern.size());
    if (e.format == gdip::kFormatJpeg) {
      sawJpeg = true;
      EXPECT_EQ("image/jpeg", e.mimeType);
      EXPECT_EQ(e.clsid, gdip::EncoderClsidForFormat(gdip::kFormatJpeg));
    }
  }
  EXPECT_TRUE(sawJpeg);
  EXPECT_FALSE(gdip::EncoderClsidForFormat(gdip::kFormatPng).empty());
  // Matching is byte for byte: the lower-case spelling is another text.
  EXPECT_EQ("", gdip::EncoderClsidForFormat("{b96b3cae-0728-11d3-9d7b-0000f81ef32e}"));
  EXPECT_EQ("", gdip::EncoderClsidForFormat("{00000000-1111-2222-3333-444444444444}"));
}

TEST(ImageBytes, StaysDrawableAfterTheSourceBufferIsFreed) {
  auto png = std::make_unique<ByteBuffer>(TwoColourPng());
  ASSERT_GT(png->size(), 8u);
  gdip::Bitmap loaded;
  ASSERT_TRUE(loaded.LoadFromBytes(*png));
  std::fill(png->begin(), png->end(), 0);
  png.reset();

  gdip::Bitmap target = testpix::SolidBitmap(4, 4, 0);
  gdip::Graphics g;
  ASSERT_TRUE(g.CreateForImage(target));
  ASSERT_TRUE(g.DrawImage(loaded, gdip::RectF(0, 0, 4, 4), gdip::RectF(0, 0, 4, 4)));
  g.Release();
  EXPECT_ARGB_NEAR(0xFFFF0000u, target.GetPixel(0, 1), 2);
  EXPECT_ARGB_NEAR(0xFF0000FFu, target.GetPixel(3, 1), 2);
}

TEST(ImageBytes, CloneOutlivesTheOriginalAndItsStream) {
  gdip::Bitmap clone;
  {
    gdip::Bitmap original;
    ASSERT_TRUE(original.LoadFromBytes(TwoColourPng()));
    clone = original.Clone();
    ASSERT_TRUE(clone.valid());
    EXPECT_NE(original.handle(), clone.handle());
  }
  // Whatever the clone still reads from, it is alive.
  EXPECT_ARGB_NEAR(0xFFFF0000u, clone.GetPixel(0, 0), 2);
  EXPECT_ARGB_NEAR(0xFF0000FFu, clone.GetPixel(3, 3), 2);
  EXPECT_FALSE(clone.SaveToBytes(gdip::kFormatBmp).empty());
}

TEST(ImageBytes, SavingWithoutAFormatKeepsTheImagesOwnFormat) {
  gdip::Image image;
  ASSERT_TRUE(image.LoadFromBytes(TwoColourPng()));
  EXPECT_EQ(gdip::kFormatPng, image.RawFormat());
  ByteBuffer again = image.SaveToBytes();
  ASSERT_GT(again.size(), 8u);
  EXPECT_EQ(0x89, again[0]);
  EXPECT_EQ('P', again[1]);
  EXPECT_EQ('N', again[2]);
  EXPECT_EQ('G', again[3]);

  Text path = TempPath("gdip_keep_format.img");
  ASSERT_TRUE(image.SaveToFile(path));
  gdip::Image reread;
  ASSERT_TRUE(reread.LoadFromFile(path));
  EXPECT_EQ(gdip::kFormatPng, reread.RawFormat());
  EXPECT_EQ(4u, reread.Width());
  reread.Release();
  ::DeleteFileA(path.c_str());
}

TEST(ImageBytes, AFormatWithoutEncoderFails) {
  gdip::Bitmap b = testpix::SolidBitmap(3, 3, 0xFF808080);
  const char* unknown = "{12345678-0728-11D3-9D7B-0000F81EF32E}";
  EXPECT_TRUE(b.SaveToBytes(unknown).empty());
  EXPECT_NE(Gdiplus::Ok, gdip::LastStatus());
  Text path = TempPath("gdip_unknown_format.img");
  EXPECT_FALSE(b.SaveToFile(path, unknown));
  EXPECT_TRUE(b.SaveToBytes("not a guid").empty());
  ::DeleteFileA(path.c_str());
}

TEST(ImageBytes, JpegWithQualityParameterDecodesBack) {
  gdip::Bitmap b = testpix::SolidBitmap(16, 16, 0xFF3366CC);
  auto quality = gdip::JpegQuality(90);
  ByteBuffer jpeg = b.SaveToBytes(gdip::kFormatJpeg, &quality);
  ASSERT_GT(jpeg.size(), 4u);
  EXPECT_EQ(0xFF, jpeg[0]);
  EXPECT_EQ(0xD8, jpeg[1]);
  gdip::Bitmap back;
  ASSERT_TRUE(back.LoadFromBytes(jpeg));
  EXPECT_EQ(gdip::kFormatJpeg, back.RawFormat());
  EXPECT_ARGB_NEAR(0xFF3366CCu, back.GetPixel(8, 8), 6);
}

TEST(ImageBytes, GarbageDoesNotDecode) {
  gdip::Bitmap b;
  EXPECT_FALSE(b.LoadFromBytes(ByteBuffer{1, 2, 3, 4, 5, 6, 7, 8}));
  EXPECT_FALSE(b.valid());
  EXPECT_FALSE(b.LoadFromBytes(ByteBuffer{}));
  EXPECT_FALSE(b.valid());
}

TEST(ImageFiles, ChinesePathsAreConvertedWithCodePage936) {
  gdip::Bitmap b = testpix::SolidBitmap(5, 7, 0xFF00FF00);
  Text path = TempPath("背景图片.png");
  ASSERT_TRUE(b.SaveToFile(path, gdip::kFormatPng));
  // The GBK name reaches the file system as the same characters.
  EXPECT_NE(INVALID_FILE_ATTRIBUTES, ::GetFileAttributesW((Widen(path)).c_str()));
  gdip::Bitmap back;
  ASSERT_TRUE(back.LoadFromFile(path));
  EXPECT_EQ(7u, back.Height());
  back.Release();
  ::DeleteFileW(Widen(path).c_str());
}

}  // namespace
