#include "uiengine/render/box_drawing.h"

#include "uiengine/core/theme_colours.h"

#include <cmath>

#include "base/codepage.h"
#include "base/unique_handle.h"
#include "base/window_text.h"
#include "gdiplus/gdip_objects.h"
#include "uiengine/render/button_tracker.h"
#include "uiengine/render/engine_pictures.h"

using gdip::RectF;

namespace {

RectF R(float x, float y, float w, float h) { return RectF(x, y, w, h); }

gdip::ImageAttributes AlphaAttributes(float alpha) {
  gdip::ImageAttributes attributes;
  attributes.Create();
  attributes.SetColorMatrix(gdip::AlphaScaleMatrix(alpha));
  return attributes;
}

bool MakeFormat(gdip::StringFormat& format, const TextLayout& layout) {
  if (!format.Create(0, 0)) return false;
  format.SetFlags(StringFormatFlagsOf(layout));
  format.SetAlign(layout.align);
  format.SetLineAlign(layout.lineAlign);
  return true;
}

int FontStyleOf(const TextLayout& layout) { return layout.bold ? Gdiplus::FontStyleBold : Gdiplus::FontStyleRegular; }

// Blurs by shrinking to a third and growing back: a cheap soft halo.
void Soften(gdip::Bitmap& halo) {
  const float a = 2.0f;
  int w = static_cast<int>(halo.Width()), h = static_cast<int>(halo.Height());
  gdip::Graphics g;
  if (!g.CreateForImage(halo)) return;
  g.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
  g.SetCompositingQuality(Gdiplus::CompositingQualityHighQuality);
  g.SetInterpolationMode(Gdiplus::InterpolationModeHighQuality);
  gdip::Bitmap small;
  int sw = static_cast<int>(w / a / 1.5f), sh = static_cast<int>(h / a / 1.5f);
  if (!small.CreateEmpty(sw, sh, halo.PixelFormatOf())) return;
  {
    gdip::Graphics sg;
    if (!sg.CreateForImage(small)) return;
    sg.SetInterpolationMode(Gdiplus::InterpolationModeHighQualityBicubic);
    sg.SetPixelOffsetMode(Gdiplus::PixelOffsetModeHighQuality);
    sg.DrawImage(halo, R(0, 0, static_cast<float>(sw), static_cast<float>(sh)));
  }
  g.Clear(0);
  g.DrawImage(small, R(0, 0, static_cast<float>(w), static_cast<float>(h)));
}

// A picture of the chosen artwork with its top-left corner at (x, y). At the
// artwork's own scale it is copied pixel for pixel (nearest neighbour, so nothing
// is resampled whatever the picture's stored resolution); at any other scale it
// is scaled by what is left.
void DrawPicture(gdip::Graphics& g, const gdip::ImageBase& image, float x, float y, const BoxScale& s) {
  if (s.dpi == kBaseDpi) {
    g.DrawImage(image, x, y);
    return;
  }
  const float w = static_cast<float>(image.Width()), h = static_cast<float>(image.Height());
  const Gdiplus::InterpolationMode was = g.InterpolationMode();
  if (s.exact()) g.SetInterpolationMode(Gdiplus::InterpolationModeNearestNeighbor);
  g.DrawImage(image, R(x, y, w * s.ratio(), h * s.ratio()), R(0, 0, w, h), Gdiplus::UnitPixel);
  g.SetInterpolationMode(was);
}

// A picture drawn only within a clip rectangle.
void DrawClipped(gdip::Graphics& g, const gdip::ImageBase& image, const RectF& clip, float x, float y,
                 const BoxScale& s = BoxScale()) {
  g.SetClipRect(clip);
  DrawPicture(g, image, x, y, s);
  g.ResetClip();
}

float F(int v) { return static_cast<float>(v); }

// Places are in screen pixels (P), lengths inside the picture in its own pixels
// (A); a strip stretched one way keeps its artwork thickness the other way.
void DrawInnerFrame(gdip::Graphics& g, float w, float h, const BoxScale& s) {
  gdip::Image pic;
  if (!LoadEnginePicture(EnginePicture::InnerFrame, pic, s.artwork())) return;
  auto P = [&s](int v) { return F(s.Px(v)); };
  auto A = [&s](int v) { return F(s.Art(v)); };
  const float k = s.ratio();
  const float Ia = static_cast<float>(pic.Width()), Ja = static_cast<float>(pic.Height());
  const float I = Ia * k, J = Ja * k;
  if (s.dpi != kBaseDpi) {
    // Scaled, the edges go first, each stretched from one whole row or column of the
    // picture and reaching three pixels under the corners (where the rim is straight
    // already): Wine's GDI+ starts a scaled draw a column late and stretches a
    // sliver-wide source a few pixels short, which would break the rim.
    const float under = 3;
    g.DrawImage(pic, R(P(14) - under, P(7), w - P(12) - P(14) + 2 * under, A(6) * k), R(A(8), 0, 1, A(6)));
    g.DrawImage(pic, R(P(7), P(13) - under, A(2) * k, h - 2 * P(13) + 2 * under), R(0, A(7), A(2), 1));
    g.DrawImage(pic, R(w - P(9), P(13) - under, A(3) * k, h - 2 * P(13) + 2 * under), R(A(15), A(7), A(3), 1));
    g.DrawImage(pic, R(P(14) - under, h - P(13), w - P(12) - P(14) + 2 * under, A(6) * k),
                R(A(8), Ja - A(6), 1, A(6)));
    DrawClipped(g, pic, R(P(7), P(7), P(7), P(6)), P(7), P(7), s);
    DrawClipped(g, pic, R(w - P(13), P(7), P(7), P(6)), w - I - P(7), P(7), s);
    DrawClipped(g, pic, R(P(7), h - P(13), P(7), P(6)), P(7), h - J - P(7), s);
    DrawClipped(g, pic, R(w - P(13), h - P(13), P(7), P(6)), w - I - P(7), h - J - P(7), s);
    return;
  }
  DrawClipped(g, pic, R(7, 7, 7, 6), 7, 7);
  g.DrawImage(pic, R(14, 7, w - 26, 6), R(8, 0, 0.01f, 6));
  DrawClipped(g, pic, R(w - 13, 7, 7, 6), w - I - 7, 7);
  g.DrawImage(pic, R(7, 13, 2, h - 26), R(0, 7, 2, 0.1f));
  DrawClipped(g, pic, R(7, h - 13, 7, 6), 7, h - J - 7);
  g.DrawImage(pic, R(w - 9, 13, 3, h - 26), R(15, 7, 3, 0.1f));
  g.DrawImage(pic, R(14, h - 13, w - 26, 6), R(8, J - 6, 0.01f, 6));
  DrawClipped(g, pic, R(w - 13, h - 13, 7, 6), w - I - 7, h - J - 7);
}

void DrawOuterShadow(gdip::Graphics& g, float w, float h, const BoxScale& s) {
  gdip::Image pic;
  if (!LoadEnginePicture(EnginePicture::OuterShadow, pic, s.artwork())) return;
  auto P = [&s](int v) { return F(s.Px(v)); };
  auto A = [&s](int v) { return F(s.Art(v)); };
  const float k = s.ratio();
  const float Ia = static_cast<float>(pic.Width()), Ja = static_cast<float>(pic.Height());
  const float I = Ia * k, J = Ja * k;
  DrawClipped(g, pic, R(0, 0, P(13), P(15)), 0, 0, s);
  DrawClipped(g, pic, R(w - P(13), 0, P(13), P(15)), w - I, 0, s);
  DrawClipped(g, pic, R(0, h - P(14), P(13), P(14)), 0, h - J, s);
  DrawClipped(g, pic, R(w - P(13), h - P(14), P(13), P(14)), w - I, h - J, s);
  // Scaled, each edge stretches one whole row or column (see DrawInnerFrame); the
  // shadow is translucent, so it may not run under its corners.
  const float sliver = s.dpi == kBaseDpi ? 0.1f : 1.0f;
  g.DrawImage(pic, R(P(13), 0, w - 2 * P(13), A(15) * k), R(A(14), 0, sliver, A(15)));
  g.DrawImage(pic, R(P(13), h - P(14), w - 2 * P(13), A(14) * k), R(A(14), Ja - A(14), sliver, A(14)));
  g.DrawImage(pic, R(0, P(15), A(13) * k, h - P(15) - P(14)), R(0, A(14), A(13), sliver));
  g.DrawImage(pic, R(w - P(13), P(15), A(13) * k, h - P(15) - P(14)), R(Ia - A(13), A(14), A(13), sliver));
}

const Text kOkCaption = "确定";

RectF OkRect(const BoxContent& c) {
  ButtonRect r = OkButtonRect(c.width, c.height, c.dpi);
  return R(static_cast<float>(r.x), static_cast<float>(r.y), static_cast<float>(r.width),
           static_cast<float>(r.height));
}

}  // namespace

float EffectiveTextSize(const TextLayout& layout) {
  const float size = layout.sizeGiven && layout.size > 9 ? layout.size : 12.0f;
  return layout.dpi == kBaseDpi ? size : size * layout.dpi / kBaseDpi;
}

int StringFormatFlagsOf(const TextLayout& layout) {
  int flags = layout.lineLimit ? Gdiplus::StringFormatFlagsLineLimit : Gdiplus::StringFormatFlagsNoWrap;
  if (layout.vertical) flags += Gdiplus::StringFormatFlagsDirectionVertical;
  if (layout.rightToLeft) flags += Gdiplus::StringFormatFlagsDirectionRightToLeft;
  return flags;
}

void DrawGlowText(gdip::Graphics& graphics, const RectF& rect, const Text& text, COLORREF textColour,
                  COLORREF haloColour, const TextLayout& layout, const BoxTheme& theme) {
  if (text.empty()) return;
  const float size = EffectiveTextSize(layout);
  gdip::FontFamily family;
  family.CreateFromName(theme.fontFamily);
  gdip::Font font;
  font.Create(family, size, FontStyleOf(layout), Gdiplus::UnitWorld);
  gdip::StringFormat format;
  MakeFormat(format, layout);

  const float haloWidth = static_cast<float>(static_cast<int>(rect.Width * 1.05f));
  gdip::Bitmap halo;
  halo.CreateEmpty(static_cast<int>(haloWidth), static_cast<int>(rect.Height));
  graphics.TranslateTransform(rect.X, rect.Y);
  if (theme.textHalo && halo.valid()) {
    gdip::GraphicsPath path;
    path.Create();
    path.AddString(text, family, FontStyleOf(layout), size, R(0, 0, haloWidth, rect.Height), &format);
    gdip::Pen pen(ToArgb(haloColour, 200), BoxScale{layout.dpi}.Pf(1.0f));
    gdip::Matrix identity;
    identity.CreateIdentity();
    path.Widen(pen, &identity, 1.0f);
    {
      gdip::Graphics hg;
      if (hg.CreateForImage(halo)) hg.DrawPath(pen, path);
    }
    Soften(halo);
  }
  if (halo.valid()) graphics.DrawImage(halo, 0, 0);
  graphics.SetTextRenderingHint(Gdiplus::TextRenderingHintAntiAliasGridFit);
  gdip::SolidBrush brush(ToArgb(textColour, 230));
  graphics.DrawString(text, font, R(1, 0, haloWidth, rect.Height), &format, brush);
  graphics.ResetTransform();
}

IntRect MeasureText(const Text& text, const TextLayout& layout, const BoxTheme& theme) {
  IntRect out;
  gdip::Font font;
  if (!font.CreateFromName(theme.fontFamily, EffectiveTextSize(layout), FontStyleOf(layout), Gdiplus::UnitWorld))
    return out;
  gdip::StringFormat format;
  MakeFormat(format, layout);
  WindowDc screen(nullptr);
  gdip::Graphics g;
  if (!g.CreateForHdc(screen.get())) return out;
  g.SetTextRenderingHint(theme.fontFamily == "宋体" ? Gdiplus::TextRenderingHintSingleBitPerPixelGridFit
                                                      : Gdiplus::TextRenderingHintClearTypeGridFit);
  RectF bounds;
  if (!g.MeasureString(text, font, R(0, 0, 0, 0), &format, bounds)) return out;
  out.x = static_cast<int>(std::lround(bounds.X));
  out.y = static_cast<int>(std::lround(bounds.Y));
  out.width = static_cast<int>(std::lround(bounds.Width));
  out.height = static_cast<int>(std::lround(bounds.Height));
  return out;
}

HRGN BoxBodyRegion(int width, int height, int dpi) {
  const int corner = ScaleToDpi(8, dpi);
  return ::CreateRoundRectRgn(ScaleToDpi(8, dpi), ScaleToDpi(8, dpi), width - ScaleToDpi(7, dpi),
                              height - ScaleToDpi(7, dpi), corner, corner);
}

int IconStripOffset(int iconKind) {
  switch (iconKind) {
    case MB_ICONQUESTION: return 0;
    case MB_ICONINFORMATION: return 48;
    case MB_ICONEXCLAMATION: return 96;
    case MB_ICONHAND: return 144;
    default: return -1;
  }
}

void DrawIcon(gdip::Graphics& graphics, int x, int y, int iconKind, const BoxScale& s) {
  int offset = IconStripOffset(iconKind);
  if (offset < 0) return;
  gdip::Image strip;
  if (!LoadEnginePicture(EnginePicture::IconStrip, strip, s.artwork())) return;
  const float k = s.ratio();
  DrawClipped(graphics, strip, R(F(x), F(y), F(s.Px(47)), strip.Height() * (s.dpi == kBaseDpi ? 1.0f : k)),
              F(x) - (s.dpi == kBaseDpi ? F(offset) : s.Art(offset) * k), F(y), s);
}

int PushButtonStripOffset(int state) {
  switch (state) {
    case 1: return 0;
    case 2: return 14;
    case 3: return 28;
    default: return -1;
  }
}

void DrawPushButton(gdip::Graphics& graphics, const RectF& rect, const Text& caption, int state, int highlight,
                    const BoxTheme& theme, const BoxScale& sc) {
  auto P = [&sc](int v) { return F(sc.Px(v)); };
  auto A = [&sc](int v) { return F(sc.Art(v)); };
  const float k = sc.ratio();
  const int height = sc.Px(28);
  gdip::Bitmap work;
  if (work.CreateEmpty(static_cast<int>(rect.Width), height)) {
    gdip::Graphics wg;
    gdip::Image strip;
    int s = PushButtonStripOffset(state);
    if (wg.CreateForImage(work) && s >= 0 && LoadEnginePicture(EnginePicture::PushButtonStrip, strip, sc.artwork())) {
      const float fs = A(s);
      wg.SetInterpolationMode(Gdiplus::InterpolationModeNearestNeighbor);
      const RectF middle(P(5), 0, rect.Width - 2 * P(5), F(height)), middleSource(A(6) + fs, 0, 0.001f, A(28));
      if (sc.dpi == kBaseDpi) {
        // The cap's clip takes one column of the face too: some GDI+ builds (Wine's)
        // start the stretched middle a column late, which would leave a seam.
        DrawClipped(wg, strip, R(0, 0, 6, 28), -fs, 0);
        wg.DrawImage(strip, middle, middleSource);
      } else {
        // Stretched into other widths, Wine's GDI+ ends a sliver-wide source a few
        // columns short (and starts a scaled cap a column late): here the middle is one
        // whole column (nearest neighbour, so nothing blends) and runs under both caps.
        wg.DrawImage(strip, R(middle.X - 2, 0, middle.Width + 4, F(height)), R(A(6) + fs, 0, 1, A(28)));
        DrawClipped(wg, strip, R(0, 0, P(6), F(height)), -fs * k, 0, sc);
      }
      wg.DrawImage(strip, R(rect.Width - P(5), 0, A(5) * k, F(height)), R(A(8) + fs, 0, A(5), A(28)));
    }
    gdip::ImageAttributes fade = AlphaAttributes(highlight * 0.01f);
    graphics.DrawImage(work, R(rect.X, rect.Y, static_cast<float>(work.Width()), F(height)),
                       R(0, 0, static_cast<float>(work.Width()), F(height)), Gdiplus::UnitPixel, &fade);
  }
  TextLayout layout;
  layout.align = Gdiplus::StringAlignmentCenter;
  layout.lineAlign = Gdiplus::StringAlignmentCenter;
  layout.dpi = sc.dpi;
  DrawGlowText(graphics, R(rect.X, rect.Y, rect.Width - sc.Pf(4), sc.Pf(25)), caption, theme.textRgb1,
               theme.textRgb2, layout, theme);
}

void DrawCaptionButton(HWND hwnd, gdip::Graphics& graphics, float x, float y, int glyph, int state, int highlight,
                       bool useHighlight, const BoxScale& s) {
  auto P = [&s](int v) { return F(s.Px(v)); };
  const float k = s.ratio();
  if (hwnd && ::IsZoomed(hwnd)) {
    x -= P(5);
    y += P(5);
  }
  const bool close = glyph == kCloseGlyph;
  gdip::Image strip;
  if (!LoadEnginePicture(close ? EnginePicture::CloseButtonStrip : EnginePicture::CaptionStrip, strip, s.artwork()))
    return;
  gdip::ImageAttributes fade = AlphaAttributes(useHighlight ? highlight * 0.01f : 1.0f);
  const float sw = static_cast<float>(strip.Width()), sh = static_cast<float>(strip.Height());
  auto drawAt = [&](float left) {
    graphics.DrawImage(strip, R(left, y, sw * k, sh * k), R(0, 0, sw, sh), Gdiplus::UnitPixel, &fade);
  };
  // Where a cell of the strip starts, in screen pixels (cells start on whole artwork pixels).
  auto cellAt = [&s, k](int offset) { return s.dpi == kBaseDpi ? F(offset) : s.Art(offset) * k; };
  // The other glyphs (minimise 29, maximise 30, restore 31, help 48) sit in cells of 51
  // pixels, three states each; the message box only ever asks for the close glyph.
  int cell = 0;
  if (!close) {
    int index = glyph == 29 ? 0 : glyph == 30 ? 1 : glyph == 31 ? 2 : glyph == 48 ? 3 : -1;
    if (index < 0) return;
    cell = index * 3 * 51;
  }
  graphics.SetClipRect(R(x - P(1), y, P(48), P(22)));
  switch (state) {
    case 1:
      graphics.SetClipRect(R(x - P(2), y, P(48), P(22)));
      DrawPicture(graphics, strip, x - P(2) - cellAt(cell), y, s);
      break;
    case 2: drawAt(close ? x - P(1) - cellAt(49) : x - cellAt(51 + cell)); break;
    case 3: drawAt(close ? x - P(1) - cellAt(98) : x - cellAt(102 + cell)); break;
    default: break;
  }
  graphics.ResetClip();
}

COLORREF Lighten(COLORREF colour, int n) {
  int r = GetRValue(colour), g = GetGValue(colour), b = GetBValue(colour);
  for (int i = 0; i < n; ++i) {
    r = (r + 255) / 2;
    g = (g + 255) / 2;
    b = (b + 255) / 2;
  }
  return RGB(r, g, b);
}

Text WindowTitle(HWND hwnd) {
  // At most 254 bytes, cut at a character boundary.
  return CutAtCharBoundary(WindowText(hwnd), 254);
}

void ComposeBoxBackground(gdip::Bitmap& background, const BoxContent& c, const BoxTheme& theme) {
  const BoxScale s{c.dpi};
  const float w = static_cast<float>(c.width), h = static_cast<float>(c.height);
  if (!background.CreateEmpty(c.width, c.height)) return;
  gdip::Graphics g;
  if (!g.CreateForImage(background)) return;

  {
    UniqueRegion body(BoxBodyRegion(c.width, c.height, c.dpi));
    g.SetClipHrgn(body.get());
  }
  if (theme.picture) {
    gdip::ImageAttributes translucent = AlphaAttributes(c.blurCapable ? 0.2f : 0.6f);
    // The destination is square on purpose: the picture is stretched over the width.
    // The same part of the picture shows at every scale.
    const float unscale = c.dpi == kBaseDpi ? 1.0f : static_cast<float>(kBaseDpi) / c.dpi;
    g.DrawImage(*theme.picture, R(s.Pf(6), s.Pf(6), w, w), R(0, 0, w * unscale, h * unscale), Gdiplus::UnitPixel,
                &translucent);
  }
  const float glassBottom = h * 0.5f + s.Pf(10);
  {
    gdip::LinearGradientBrush glass;
    glass.CreateFromPoints(gdip::PointF(0, 0), gdip::PointF(0, glassBottom), ToArgb(0xFFFFFF, 0),
                           ToArgb(0xFFFFFF, 220));
    g.FillRectangle(glass, 0, 0, w, glassBottom);
  }
  {
    gdip::SolidBrush middle(ToArgb(0xFFFFFF, 220));
    g.FillRectangle(middle, 0, glassBottom, w, std::fabs(glassBottom - (h - s.Pf(45))));
  }
  {
    gdip::LinearGradientBrush bar;
    bar.CreateFromPoints(gdip::PointF(0, h - s.Pf(45)), gdip::PointF(0, s.Pf(40)), ToArgb(theme.imgRgb),
                         ToArgb(Lighten(theme.imgRgb, 3)));
    g.FillRectangle(bar, 0, h - s.Pf(45), w, s.Pf(45));
  }
  {
    // Two lines of whole pixels: one each up to 150%, two each at 200%.
    const float line = static_cast<float>(s.dpi < 2 * kBaseDpi ? 1 : s.dpi / kBaseDpi);
    const float top = h - F(s.Px(45)) + (line - 1) / 2;
    gdip::Pen dark(ToArgb(Lighten(theme.imgRgb, 2)), line);
    g.DrawLine(dark, 0, top, w, top);
    gdip::Pen light(ToArgb(0xFFFFFF), line);
    g.DrawLine(light, 0, top + line, w, top + line);
  }
  DrawIcon(g, s.Px(30), s.Px(40), c.iconKind, s);

  TextLayout titleLayout;  // one line, near, vertically centred
  titleLayout.lineAlign = Gdiplus::StringAlignmentCenter;
  titleLayout.dpi = c.dpi;
  TextLayout measureLayout;
  measureLayout.dpi = c.dpi;
  IntRect m = MeasureText(c.title, measureLayout, theme);
  DrawGlowText(g, R(s.Pf(13), static_cast<float>(static_cast<int>(s.Pf(15) - m.height / 2.0 + s.Pf(5))),
                    static_cast<float>(m.width), static_cast<float>(m.height)),
               c.title, theme.textRgb1, theme.textRgb2, titleLayout, theme);
  TextLayout messageLayout = titleLayout;
  messageLayout.lineLimit = true;
  DrawGlowText(g, R(s.Pf(90), s.Pf(50), s.Pf(280), s.Pf(50)), c.message, theme.textRgb1, theme.textRgb2,
               messageLayout, theme);

  g.ResetClip();
  DrawInnerFrame(g, w, h, s);
  g.SetInterpolationMode(Gdiplus::InterpolationModeNearestNeighbor);
  DrawOuterShadow(g, w, h, s);
  DrawCaptionButton(c.hwnd, g, w - F(s.Px(54)), F(s.Px(7)), kCloseGlyph, 1, 100, true, s);
  DrawPushButton(g, OkRect(c), kOkCaption, 1, 100, theme, s);
}

void DrawBoxFrame(gdip::Graphics& target, const gdip::Bitmap& background, const BoxContent& c,
                  ButtonState buttonState, HotButton hotButton, int highlight, const BoxTheme& theme) {
  target.DrawImage(background, 0, 0);
  if (buttonState == kButtonIdle) return;
  const BoxScale s{c.dpi};
  if (hotButton == kCloseButton)
    DrawCaptionButton(c.hwnd, target, F(c.width - s.Px(55)), F(s.Px(7)), kCloseGlyph, buttonState, highlight, true,
                      s);
  else if (hotButton == kOkButton)
    DrawPushButton(target, OkRect(c), kOkCaption, buttonState, highlight, theme, s);
}
