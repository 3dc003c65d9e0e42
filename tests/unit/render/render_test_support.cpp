#include "render_test_support.h"

#include <gtest/gtest.h>

namespace {

class GdiplusEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    Gdiplus::GdiplusStartupInput input;
    Gdiplus::GdiplusStartup(&token_, &input, nullptr);
  }
  // GDI+ stays up: objects in static storage may still be released at exit.
 private:
  ULONG_PTR token_ = 0;
};

const auto* const g_environment = ::testing::AddGlobalTestEnvironment(new GdiplusEnvironment);

}  // namespace

TestTheme::TestTheme(COLORREF tint, COLORREF pictureColour) {
  picture.CreateEmpty(1100, 800);
  {
    gdip::Graphics g;
    g.CreateForImage(picture);
    g.Clear(0xFF000000u | (GetRValue(pictureColour) << 16) | (GetGValue(pictureColour) << 8) |
            GetBValue(pictureColour));
  }
  theme.picture = &picture;
  theme.imgRgb = tint;
  theme.textRgb1 = 0;
  theme.textRgb2 = 0xFFFFFF;
  theme.fontFamily = "宋体";
  theme.textHalo = true;
}

std::vector<gdip::ARGB> PixelsOf(const gdip::Bitmap& bitmap) {
  const int w = static_cast<int>(bitmap.Width()), h = static_cast<int>(bitmap.Height());
  std::vector<gdip::ARGB> out;
  gdip::BitmapLock lock(bitmap, gdip::Rect(0, 0, w, h), Gdiplus::ImageLockModeRead, gdip::kPixelFormat32bppARGB);
  if (!lock.locked()) return out;
  out.reserve(static_cast<size_t>(w) * h);
  for (int y = 0; y < h; ++y) {
    const auto* row = reinterpret_cast<const gdip::ARGB*>(lock.Row(static_cast<UINT>(y)));
    out.insert(out.end(), row, row + w);
  }
  return out;
}
