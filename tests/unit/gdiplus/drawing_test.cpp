// Drawing operations the UI engine relies on, checked by their pixels.
#include <gtest/gtest.h>

#include "gdiplus/gdip_objects.h"
#include "pixel_helpers.h"
#include <vector>

#include "base/unique_handle.h"

namespace {

struct Canvas {
  gdip::Bitmap bitmap;
  gdip::Graphics g;
  Canvas(int w, int h, gdip::ARGB colour = 0) : bitmap(testpix::SolidBitmap(w, h, colour)) {
    g.CreateForImage(bitmap);
  }
  gdip::ARGB At(int x, int y) {
    g.Flush(Gdiplus::FlushIntentionSync);
    return bitmap.GetPixel(x, y);
  }
};

TEST(Drawing, ColourMatrixScalesAlpha) {
  gdip::Bitmap red = testpix::SolidBitmap(4, 4, 0xFFFF0000);
  gdip::ImageAttributes attributes;
  ASSERT_TRUE(attributes.Create());
  ASSERT_TRUE(attributes.SetColorMatrix(gdip::AlphaScaleMatrix(0.5f)));
  Canvas c(4, 4, 0);
  ASSERT_TRUE(c.g.DrawImage(red, gdip::RectF(0, 0, 4, 4), gdip::RectF(0, 0, 4, 4), Gdiplus::UnitPixel, &attributes));
  EXPECT_ARGB_NEAR(0x80FF0000u, c.At(1, 1), 3);

  ASSERT_TRUE(attributes.ClearColorMatrix());
  Canvas plain(4, 4, 0);
  plain.g.DrawImage(red, gdip::RectF(0, 0, 4, 4), gdip::RectF(0, 0, 4, 4), Gdiplus::UnitPixel, &attributes);
  EXPECT_ARGB_NEAR(0xFFFF0000u, plain.At(1, 1), 1);
}

TEST(Drawing, HorizontalGradientRunsFromStartToEnd) {
  Canvas c(100, 10);
  gdip::LinearGradientBrush brush;
  ASSERT_TRUE(brush.CreateFromRect(gdip::RectF(0, 0, 100, 10), 0xFF000000, 0xFFFFFFFF,
                                   Gdiplus::LinearGradientModeHorizontal));
  ASSERT_TRUE(c.g.FillRectangle(brush, gdip::RectF(0, 0, 100, 10)));
  int left = testpix::Channel(c.At(2, 5), 0);
  int middle = testpix::Channel(c.At(50, 5), 0);
  int right = testpix::Channel(c.At(97, 5), 0);
  EXPECT_LT(left, 20);
  EXPECT_NEAR(128, middle, 20);
  EXPECT_GT(right, 235);

  gdip::LinearGradientBrush byPoints;
  ASSERT_TRUE(byPoints.CreateFromPoints(gdip::PointF(0, 0), gdip::PointF(0, 10), 0xFF000000, 0xFF0000FF));
  gdip::ARGB start = 0, end = 0;
  ASSERT_TRUE(byPoints.Colours(start, end));
  EXPECT_EQ(0xFF000000u, start);
  EXPECT_EQ(0xFF0000FFu, end);
}

TEST(Drawing, ClipToAGdiRegion) {
  Canvas c(20, 20, 0xFF000000);
  UniqueRegion rgn(::CreateRectRgn(5, 5, 10, 10));
  ASSERT_TRUE(c.g.SetClipHrgn(rgn.get()));
  gdip::SolidBrush white(0xFFFFFFFF);
  c.g.FillRectangle(white, 0, 0, 20, 20);
  EXPECT_EQ(0xFFFFFFFFu, c.At(7, 7));
  EXPECT_EQ(0xFF000000u, c.At(2, 2));
  EXPECT_EQ(0xFF000000u, c.At(12, 12));
  ASSERT_TRUE(c.g.ResetClip());
  c.g.FillRectangle(white, 0, 0, 20, 20);
  EXPECT_EQ(0xFFFFFFFFu, c.At(2, 2));
}

TEST(Drawing, CachedBitmapDrawsUnscaled) {
  gdip::Bitmap green = testpix::SolidBitmap(3, 3, 0xFF00FF00);
  Canvas c(10, 10, 0xFF000000);
  gdip::CachedBitmap cached;
  ASSERT_TRUE(cached.Create(green, c.g));
  ASSERT_TRUE(c.g.DrawCachedBitmap(cached, 4, 4));
  EXPECT_EQ(0xFF00FF00u, c.At(5, 5));
  EXPECT_EQ(0xFF000000u, c.At(8, 8));
}

TEST(Drawing, TextPathWidensAndFills) {
  gdip::FontFamily family;
  ASSERT_TRUE(family.CreateFromName("宋体"));
  gdip::StringFormat format;
  ASSERT_TRUE(format.Create(0x1000, 0));
  gdip::GraphicsPath path;
  ASSERT_TRUE(path.Create());
  ASSERT_TRUE(path.AddString("确定 OK", family, 0, 20.0f, gdip::RectF(0, 0, 200, 40), &format));
  int points = path.PointCount();
  EXPECT_GT(points, 20);
  gdip::RectF before = path.Bounds();

  gdip::Pen pen(0xC8FFFFFF, 4.0f);
  gdip::Matrix identity;
  identity.CreateIdentity();
  ASSERT_TRUE(path.Widen(pen, &identity, 1.0f));
  gdip::RectF after = path.Bounds();
  EXPECT_GT(after.Width, before.Width);

  Canvas c(200, 40, 0);
  ASSERT_TRUE(c.g.FillPath(gdip::SolidBrush(0xFFFFFFFF), path));
  // Somewhere along the text's outline there is paint.
  bool painted = false;
  for (int x = 0; x < 200 && !painted; ++x)
    for (int y = 0; y < 40 && !painted; ++y) painted = c.At(x, y) != 0;
  EXPECT_TRUE(painted);
}

TEST(Drawing, DrawAndMeasureStrings) {
  Canvas c(200, 40, 0xFFFFFFFF);
  gdip::Font font;
  ASSERT_TRUE(font.CreateFromName("宋体", 14.0f));
  gdip::StringFormat format;
  format.Create();
  gdip::RectF bounds;
  ASSERT_TRUE(c.g.MeasureString("当前已是最新版本", font, gdip::RectF(0, 0, 200, 40), &format, bounds));
  EXPECT_GT(bounds.Width, 50.0f);
  gdip::RectF empty;
  ASSERT_TRUE(c.g.MeasureString("", font, gdip::RectF(0, 0, 200, 40), &format, empty));
  EXPECT_LT(empty.Width, bounds.Width);
  ASSERT_TRUE(c.g.DrawString("确定", font, gdip::RectF(0, 0, 200, 40), &format, gdip::SolidBrush(0xFF000000)));
  EXPECT_TRUE(c.g.DrawString("", font, gdip::RectF(0, 0, 200, 40), &format, gdip::SolidBrush(0xFF000000)));
}

TEST(Drawing, RegionFromPathToGdiRegion) {
  gdip::GraphicsPath path;
  path.Create();
  path.AddEllipse(gdip::RectF(0, 0, 20, 20));
  gdip::Region region;
  ASSERT_TRUE(region.CreateFromPath(path));
  EXPECT_TRUE(region.IsVisible(10, 10));
  EXPECT_FALSE(region.IsVisible(1, 1));
  Canvas c(1, 1);
  UniqueRegion rgn = region.GetHrgn(c.g);
  ASSERT_TRUE(rgn.valid());
  EXPECT_TRUE(::PtInRegion(rgn.get(), 10, 10));
  EXPECT_FALSE(::PtInRegion(rgn.get(), 1, 1));
}

}  // namespace

namespace {

TEST(Drawing, IntoADeviceContextAndCallerOwnedPixels) {
  // A 32-bit DIB selected into a memory DC: GDI+ draws through the DC.
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof bi.bmiHeader;
  bi.bmiHeader.biWidth = 8;
  bi.bmiHeader.biHeight = -8;
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  UniqueBitmap dib(::CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
  ASSERT_TRUE(dib.valid());
  UniqueMemoryDc dc(::CreateCompatibleDC(nullptr));
  {
    SelectedObject selected(dc.get(), dib.get());
    gdip::Graphics g;
    ASSERT_TRUE(g.CreateForHdc(dc.get()));
    ASSERT_TRUE(g.FillRectangle(gdip::SolidBrush(0xFF0000FF), 0, 0, 8, 8));
    g.Flush(Gdiplus::FlushIntentionSync);
  }
  EXPECT_EQ(0xFFu, static_cast<const unsigned char*>(bits)[0]) << "blue byte of the first pixel";

  // A bitmap over our own memory writes into it.
  std::vector<gdip::ARGB> pixels(4 * 4, 0);
  gdip::Bitmap over;
  ASSERT_TRUE(over.CreateFromScan0(4, 4, 16, gdip::kPixelFormat32bppARGB, reinterpret_cast<BYTE*>(pixels.data())));
  {
    gdip::Graphics g;
    g.CreateForImage(over);
    g.Clear(0xFF123456);
  }
  EXPECT_EQ(0xFF123456u, pixels[5]);
}

TEST(Drawing, LockedBitsSeeWhatWasDrawn) {
  gdip::Bitmap b = testpix::SolidBitmap(3, 2, 0xFF0000FF);
  b.SetPixel(2, 1, 0xFFFF0000);
  gdip::BitmapLock lock(b, gdip::Rect(0, 0, 3, 2), Gdiplus::ImageLockModeRead, gdip::kPixelFormat32bppARGB);
  ASSERT_TRUE(lock.locked());
  const auto* row1 = reinterpret_cast<const gdip::ARGB*>(lock.Row(1));
  EXPECT_EQ(0xFF0000FFu, row1[0]);
  EXPECT_EQ(0xFFFF0000u, row1[2]);
}

}  // namespace
