#include <gtest/gtest.h>

#include "uiengine/render/box_drawing.h"
#include "uiengine/render/button_tracker.h"
#include "uiengine/render/effect_frames.h"
#include "uiengine/render/engine_pictures.h"
#include "render_test_support.h"

namespace {

constexpr int kScales[] = {96, 120, 144, 192};

}  // namespace

// Every picture exists at 150% and 200%, its size the 100% one scaled and rounded.
TEST(BoxScale, ThePicturesAreEmbeddedAtEachArtworkScale) {
  const EnginePicture all[] = {EnginePicture::InnerFrame,       EnginePicture::OuterShadow,
                               EnginePicture::IconStrip,        EnginePicture::CloseButtonStrip,
                               EnginePicture::CaptionStrip,     EnginePicture::PushButtonStrip};
  for (EnginePicture picture : all) {
    gdip::Image base;
    ASSERT_TRUE(LoadEnginePicture(picture, base));
    for (int scale : {150, 200}) {
      gdip::Image image;
      ASSERT_TRUE(LoadEnginePicture(picture, image, scale)) << static_cast<int>(picture) << " at " << scale;
      EXPECT_EQ(static_cast<int>(image.Width()), ArtworkLength(static_cast<int>(base.Width()), scale));
      EXPECT_EQ(static_cast<int>(image.Height()), ArtworkLength(static_cast<int>(base.Height()), scale));
    }
  }
}

// At the artwork's own scale a push button's caps are the strip's pixels, unresampled.
TEST(BoxScale, ButtonCapsAreCopiedPixelForPixelAtTheArtworkScales) {
  TestTheme t(RGB(60, 120, 200));
  for (int dpi : {144, 192}) {
    const BoxScale s{dpi};
    const int width = s.Px(75), height = s.Px(28), cap = s.Art(5);
    gdip::Bitmap target;
    ASSERT_TRUE(target.CreateEmpty(width, height));
    {
      gdip::Graphics g;
      ASSERT_TRUE(g.CreateForImage(target));
      DrawPushButton(g, gdip::RectF(0, 0, static_cast<float>(width), static_cast<float>(height)), "", 1, 100, t.theme,
                     s);
    }
    gdip::Image stripImage;
    ASSERT_TRUE(LoadEnginePicture(EnginePicture::PushButtonStrip, stripImage, s.artwork()));
    gdip::Bitmap strip;
    ASSERT_TRUE(strip.CreateEmpty(static_cast<int>(stripImage.Width()), static_cast<int>(stripImage.Height())));
    {
      gdip::Graphics g;
      ASSERT_TRUE(g.CreateForImage(strip));
      g.DrawImage(stripImage, gdip::RectF(0, 0, static_cast<float>(stripImage.Width()),
                                          static_cast<float>(stripImage.Height())));
    }
    const auto drawn = PixelsOf(target), art = PixelsOf(strip);
    const int stripWidth = static_cast<int>(strip.Width());
    const int rightCap = s.Art(8);
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < cap; ++x) {
        ASSERT_EQ(drawn[y * width + x], art[y * stripWidth + x]) << dpi << ": left cap " << x << "," << y;
        ASSERT_EQ(drawn[y * width + width - cap + x], art[y * stripWidth + rightCap + x])
            << dpi << ": right cap " << x << "," << y;
      }
  }
}

// The composed box is the 96-DPI one grown: transparent outside its rounded body,
// opaque panel inside, the buttons where the hit rectangles say.
TEST(BoxScale, TheBoxIsComposedAtEachScale) {
  TestTheme t(RGB(200, 40, 40));
  for (int dpi : kScales) {
    BoxContent c;
    c.dpi = dpi;
    c.width = ScaleToDpi(405, dpi);
    c.height = ScaleToDpi(175, dpi);
    c.title = "恭喜";
    c.message = "当前已近是最新版本";
    c.iconKind = MB_ICONINFORMATION;
    gdip::Bitmap background;
    ComposeBoxBackground(background, c, t.theme);
    ASSERT_EQ(background.Width(), static_cast<UINT>(c.width)) << dpi;
    ASSERT_EQ(background.Height(), static_cast<UINT>(c.height)) << dpi;
    const auto p = PixelsOf(background);
    auto at = [&](int x, int y) { return p[static_cast<size_t>(y) * c.width + x]; };
    EXPECT_EQ(AlphaOf(at(0, 0)), 0) << dpi;
    EXPECT_EQ(AlphaOf(at(c.width - 1, c.height - 1)), 0) << dpi;
    EXPECT_GT(AlphaOf(at(ScaleToDpi(200, dpi), ScaleToDpi(110, dpi))), 200) << dpi;
    // The button bar's theme colour reaches the bottom edge just above the frame.
    const gdip::ARGB bar = at(c.width / 2, c.height - ScaleToDpi(20, dpi));
    EXPECT_GT(RedOf(bar), BlueOf(bar)) << dpi;
    // The OK button is painted inside its hit rectangle: opaque at its centre.
    const ButtonRect ok = OkButtonRect(c.width, c.height, dpi);
    EXPECT_GT(AlphaOf(at(ok.x + 2, ok.y + ok.height / 2)), 200) << dpi;
  }
}

TEST(BoxScale, ButtonsAreHitWhereTheyAreDrawnAtEachScale) {
  for (int dpi : kScales) {
    const int w = ScaleToDpi(405, dpi), h = ScaleToDpi(175, dpi);
    const ButtonRect close = CloseButtonRect(w, h, dpi), ok = OkButtonRect(w, h, dpi);
    EXPECT_EQ(close.width, ScaleToDpi(48, dpi));
    EXPECT_EQ(w - close.x, ScaleToDpi(55, dpi));
    EXPECT_EQ(ButtonAt(close.x + close.width / 2, close.y + close.height / 2, w, h, dpi), kCloseButton) << dpi;
    EXPECT_EQ(ButtonAt(ok.x + ok.width / 2, ok.y + ok.height / 2, w, h, dpi), kOkButton) << dpi;
    EXPECT_EQ(ButtonAt(w / 2, h / 2, w, h, dpi), kNoButton) << dpi;
    EXPECT_EQ(ButtonAt(ok.x + ok.width, ok.y + 1, w, h, dpi), kNoButton) << dpi;  // on the edge
  }
}

// The effects keep their frames, alphas and times; only sizes and steps grow.
TEST(BoxScale, EffectsKeepTheirFramesAndTimesAtEveryScale) {
  const auto z96 = ZoomInFrames(405, 175), o96 = ZoomOutFrames(405, 175), d96 = DropInFrames(405, 175);
  for (int dpi : kScales) {
    const int w = ScaleToDpi(405, dpi), h = ScaleToDpi(175, dpi), margin = ZoomMargin(dpi);
    EXPECT_EQ(margin, ScaleToDpi(20, dpi));
    struct Pair {
      std::vector<EffectFrame> base, scaled;
    } effects[] = {{z96, ZoomInFrames(w, h, dpi)}, {o96, ZoomOutFrames(w, h, dpi)}, {d96, DropInFrames(w, h, dpi)}};
    for (const Pair& e : effects) {
      ASSERT_EQ(e.scaled.size(), e.base.size()) << dpi;
      for (size_t i = 0; i < e.base.size(); ++i) {
        EXPECT_EQ(e.scaled[i].alpha, e.base[i].alpha) << dpi;
        EXPECT_EQ(e.scaled[i].budgetMs, e.base[i].budgetMs) << dpi;
        // Within the rounding of the scaled steps.
        EXPECT_NEAR(e.scaled[i].width, e.base[i].width * dpi / 96.0, 6) << dpi << " frame " << i;
        EXPECT_NEAR(e.scaled[i].top, e.base[i].top * dpi / 96.0, 6) << dpi << " frame " << i;
      }
    }
    // The zoom's last frame is just past the box, centred in the margin.
    const auto zoom = ZoomInFrames(w, h, dpi);
    const float last = static_cast<float>(w - ScaleToDpi(20, dpi) + 4 * ScaleToDpi(6, dpi));
    EXPECT_EQ(zoom.back().width, last) << dpi;
    EXPECT_EQ(zoom.back().left, (w + 2 * margin) * 0.5f - last * 0.5f) << dpi;
  }
}

// The face is whole from cap to cap: no column of the stretched middle is left out.
TEST(BoxScale, ButtonFacesHaveNoGapAtAnyScale) {
  TestTheme t(RGB(60, 120, 200));
  for (int dpi : kScales) {
    const BoxScale s{dpi};
    const int width = s.Px(75), height = s.Px(28);
    gdip::Bitmap target;
    ASSERT_TRUE(target.CreateEmpty(width, height));
    {
      gdip::Graphics g;
      ASSERT_TRUE(g.CreateForImage(target));
      DrawPushButton(g, gdip::RectF(0, 0, static_cast<float>(width), static_cast<float>(height)), "", 1, 100, t.theme,
                     s);
    }
    const auto drawn = PixelsOf(target);
    const int y = height / 2;
    for (int x = 0; x < width; ++x) EXPECT_EQ(AlphaOf(drawn[y * width + x]), 255) << dpi << ": column " << x;
  }
}

// At the artwork's own scales the inner frame's outer rim runs unbroken along all
// four sides, corners included. (96 DPI keeps its pixels as they always were: there
// Wine's GDI+ starts the top edge one column late, at x = 14.)
TEST(BoxScale, TheFramesRimIsUnbrokenAtTheArtworkScales) {
  TestTheme t(RGB(60, 120, 200));
  for (int dpi : {144, 192}) {
    BoxContent c;
    c.dpi = dpi;
    c.width = ScaleToDpi(405, dpi);
    c.height = ScaleToDpi(175, dpi);
    gdip::Bitmap background;
    ComposeBoxBackground(background, c, t.theme);
    const auto p = PixelsOf(background);
    auto alpha = [&](int x, int y) { return AlphaOf(p[static_cast<size_t>(y) * c.width + x]); };
    const int edge = ScaleToDpi(7, dpi), from = ScaleToDpi(12, dpi);
    // As strong everywhere as halfway along.
    const int top = alpha(c.width / 2, edge), bottom = alpha(c.width / 2, c.height - edge - 1);
    const int left = alpha(edge, c.height / 2), right = alpha(c.width - edge - 1, c.height / 2);
    for (int a : {top, bottom, left, right}) ASSERT_GT(a, 40) << dpi;
    for (int x = from; x < c.width - from; ++x) {
      ASSERT_GE(alpha(x, edge) * 4, top * 3) << dpi << ": top rim at " << x;
      ASSERT_GE(alpha(x, c.height - edge - 1) * 4, bottom * 3) << dpi << ": bottom rim at " << x;
    }
    for (int y = from; y < c.height - from; ++y) {
      ASSERT_GE(alpha(edge, y) * 4, left * 3) << dpi << ": left rim at " << y;
      ASSERT_GE(alpha(c.width - edge - 1, y) * 4, right * 3) << dpi << ": right rim at " << y;
    }
  }
}
