#include <gtest/gtest.h>

#include <algorithm>

#include "render_test_support.h"
#include "uiengine/render/box_drawing.h"
#include "uiengine/render/button_tracker.h"
#include "uiengine/render/engine_pictures.h"

namespace {

constexpr int W = 405, H = 175;

TEST(BoxDrawing, LightenHalvesTheDistanceToWhiteNTimes) {
  EXPECT_EQ(Lighten(RGB(10, 20, 30), 0), RGB(10, 20, 30));
  EXPECT_EQ(Lighten(RGB(0, 0, 0), 1), RGB(127, 127, 127));
  EXPECT_EQ(Lighten(RGB(10, 20, 30), 3), RGB(224, 225, 226));
  EXPECT_EQ(Lighten(RGB(255, 255, 255), 2), RGB(255, 255, 255));
}

TEST(BoxDrawing, StripOffsetsAndTextRules) {
  EXPECT_EQ(IconStripOffset(MB_ICONQUESTION), 0);
  EXPECT_EQ(IconStripOffset(MB_ICONINFORMATION), 48);
  EXPECT_EQ(IconStripOffset(MB_ICONEXCLAMATION), 96);
  EXPECT_EQ(IconStripOffset(MB_ICONHAND), 144);
  for (int other : {0, 1, 0x50, 999}) EXPECT_EQ(IconStripOffset(other), -1) << other;
  EXPECT_EQ(PushButtonStripOffset(1), 0);
  EXPECT_EQ(PushButtonStripOffset(2), 14);
  EXPECT_EQ(PushButtonStripOffset(3), 28);
  EXPECT_EQ(PushButtonStripOffset(0), -1);

  TextLayout layout;
  EXPECT_EQ(EffectiveTextSize(layout), 12.0f);
  layout.size = 9;
  layout.sizeGiven = true;
  EXPECT_EQ(EffectiveTextSize(layout), 12.0f);
  layout.size = 14;
  EXPECT_EQ(EffectiveTextSize(layout), 14.0f);
  EXPECT_EQ(StringFormatFlagsOf(layout), 0x1000);  // one line, no wrapping
  layout.lineLimit = true;
  layout.vertical = true;
  layout.rightToLeft = true;
  EXPECT_EQ(StringFormatFlagsOf(layout), 0x2000 + 2 + 1);  // whole lines only
}

TEST(BoxDrawing, TheSixPicturesAreEmbeddedAtTheirSizes) {
  struct Case {
    EnginePicture picture;
    UINT width, height;
  };
  const Case cases[] = {{EnginePicture::InnerFrame, 17, 16},        {EnginePicture::OuterShadow, 29, 32},
                        {EnginePicture::IconStrip, 191, 57},        {EnginePicture::CloseButtonStrip, 146, 22},
                        {EnginePicture::CaptionStrip, 561, 22},     {EnginePicture::PushButtonStrip, 138, 28}};
  for (const Case& c : cases) {
    gdip::Image image;
    ASSERT_TRUE(LoadEnginePicture(c.picture, image)) << static_cast<int>(c.picture);
    EXPECT_EQ(image.Width(), c.width);
    EXPECT_EQ(image.Height(), c.height);
  }
}

TEST(BoxDrawing, ALongTitleMeasuresAsOneLine) {
  TestTheme t(RGB(200, 40, 40));
  IntRect shortTitle = MeasureText("恭喜", TextLayout(), t.theme);
  IntRect longTitle = MeasureText(Text(80, 'W') + "恭喜恭喜恭喜恭喜", TextLayout(), t.theme);
  EXPECT_GT(shortTitle.height, 0);
  EXPECT_EQ(longTitle.height, shortTitle.height);
  EXPECT_GT(longTitle.width, W);  // it runs on, under the close button
  EXPECT_EQ(MeasureText("", TextLayout(), t.theme).width, 0);
}

struct ComposedBox : ::testing::Test {
  BoxContent content;
  void SetUp() override {
    content.title = "恭喜";
    content.message = "当前已近是最新版本";
    content.iconKind = MB_ICONINFORMATION;
  }
  std::vector<gdip::ARGB> Compose(const BoxTheme& theme) {
    gdip::Bitmap background;
    ComposeBoxBackground(background, content, theme);
    EXPECT_EQ(background.Width(), static_cast<UINT>(W));
    EXPECT_EQ(background.Height(), static_cast<UINT>(H));
    return PixelsOf(background);
  }
  static gdip::ARGB At(const std::vector<gdip::ARGB>& p, int x, int y) { return p[static_cast<size_t>(y) * W + x]; }
};

TEST_F(ComposedBox, OutsideTheRoundedBodyIsTransparent) {
  TestTheme t(RGB(200, 40, 40));
  auto p = Compose(t.theme);
  for (POINT corner : {POINT{0, 0}, POINT{W - 1, 0}, POINT{0, H - 1}, POINT{W - 1, H - 1}})
    EXPECT_EQ(AlphaOf(At(p, corner.x, corner.y)), 0) << corner.x << "," << corner.y;
  EXPECT_GT(AlphaOf(At(p, 200, 110)), 200);  // the white middle of the panel
}

TEST_F(ComposedBox, TheButtonBarTakesItsColoursFromTheTheme) {
  for (COLORREF tint : {RGB(200, 40, 40), RGB(20, 120, 60)}) {
    TestTheme t(tint);
    auto p = Compose(t.theme);
    gdip::ARGB bar = At(p, 100, H - 25);
    COLORREF light = Lighten(tint, 3);
    EXPECT_EQ(AlphaOf(bar), 255);
    auto between = [](int v, int a, int b) { return v >= std::min(a, b) - 2 && v <= std::max(a, b) + 2; };
    EXPECT_TRUE(between(RedOf(bar), GetRValue(tint), GetRValue(light))) << std::hex << bar;
    EXPECT_TRUE(between(GreenOf(bar), GetGValue(tint), GetGValue(light))) << std::hex << bar;
    EXPECT_TRUE(between(BlueOf(bar), GetBValue(tint), GetBValue(light))) << std::hex << bar;
    // The separator's white line under the darker one.
    gdip::ARGB separator = At(p, 100, H - 44);
    EXPECT_EQ(separator & 0xFFFFFF, 0xFFFFFFu) << std::hex << separator;
  }
}

TEST_F(ComposedBox, TheThemePictureShowsLessWhereTheSystemBlursBehind) {
  TestTheme t(RGB(200, 40, 40));
  content.blurCapable = false;
  int opaqueVariant = AlphaOf(At(Compose(t.theme), 200, 30));
  content.blurCapable = true;
  int blurVariant = AlphaOf(At(Compose(t.theme), 200, 30));
  EXPECT_GT(opaqueVariant, blurVariant + 40);
}

TEST_F(ComposedBox, OnlyTheFourMessageIconsAreDrawn) {
  TestTheme t(RGB(200, 40, 40));
  auto iconArea = [&](int kind) {
    content.iconKind = kind;
    auto p = Compose(t.theme);
    std::vector<gdip::ARGB> area;
    for (int y = 40; y < 97; ++y)
      for (int x = 30; x < 77; ++x) area.push_back(At(p, x, y));
    return area;
  };
  auto none = iconArea(0);
  EXPECT_EQ(iconArea(0x50), none);
  EXPECT_EQ(iconArea(999), none);
  for (int kind : {MB_ICONHAND, MB_ICONQUESTION, MB_ICONEXCLAMATION, MB_ICONINFORMATION})
    EXPECT_NE(iconArea(kind), none) << kind;
  EXPECT_NE(iconArea(MB_ICONHAND), iconArea(MB_ICONINFORMATION));
}

// Which pixels of a frame differ from the cache alone.
struct Difference {
  int inClose = 0, inOk = 0, elsewhere = 0;
};

TEST_F(ComposedBox, HighlightsAreDrawnOverTheirButtonsOnly) {
  TestTheme t(RGB(200, 40, 40));
  gdip::Bitmap background;
  ComposeBoxBackground(background, content, t.theme);
  auto frame = [&](ButtonState state, HotButton hot, int highlight) {
    gdip::Bitmap target;
    target.CreateEmpty(W, H);
    gdip::Graphics g;
    g.CreateForImage(target);
    DrawBoxFrame(g, background, content, state, hot, highlight, t.theme);
    return PixelsOf(target);
  };
  const auto plain = PixelsOf(background);
  auto diff = [&](const std::vector<gdip::ARGB>& p) {
    Difference d;
    ButtonRect close = CloseButtonRect(W, H), ok = OkButtonRect(W, H);
    auto inside = [](const ButtonRect& r, int x, int y) {
      return x >= r.x - 2 && x < r.x + r.width + 2 && y >= r.y - 1 && y < r.y + r.height + 1;
    };
    for (int y = 0; y < H; ++y)
      for (int x = 0; x < W; ++x) {
        if (At(p, x, y) == At(plain, x, y)) continue;
        if (inside(close, x, y)) ++d.inClose;
        else if (inside(ok, x, y)) ++d.inOk;
        else ++d.elsewhere;
      }
    return d;
  };

  Difference idle = diff(frame(kButtonIdle, kOkButton, 100));  // state 0: the cache alone
  EXPECT_EQ(idle.inClose + idle.inOk + idle.elsewhere, 0);

  Difference okHover = diff(frame(kButtonHover, kOkButton, 100));
  EXPECT_GT(okHover.inOk, 200);
  EXPECT_EQ(okHover.inClose, 0);
  EXPECT_EQ(okHover.elsewhere, 0);

  Difference closePressed = diff(frame(kButtonPressed, kCloseButton, 100));
  EXPECT_GT(closePressed.inClose, 200);
  EXPECT_EQ(closePressed.inOk, 0);
  EXPECT_EQ(closePressed.elsewhere, 0);

  // The highlight's strength shows.
  EXPECT_NE(frame(kButtonHover, kOkButton, 20), frame(kButtonHover, kOkButton, 100));
}

}  // namespace
