#include "uiengine/render/box_drawing.h"

#include "uiengine/core/theme_colours.h"

#include <cmath>

#include "base/codepage.h"
#include "base/unique_handle.h"
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

// A picture drawn only within a clip rectangle.
void DrawClipped(gdip::Graphics& g, const gdip::ImageBase& image, const RectF& clip, float x, float y) {
  g.SetClipRect(clip);
  g.DrawImage(image, x, y);
  g.ResetClip();
}

void DrawInnerFrame(gdip::Graphics& g, float w, float h) {
  gdip::Image pic;
  if (!LoadEnginePicture(EnginePicture::InnerFrame, pic)) return;
  const float I = static_cast<float>(pic.Width()), J = static_cast<float>(pic.Height());
  DrawClipped(g, pic, R(7, 7, 7, 6), 7, 7);
  g.DrawImage(pic, R(14, 7, w - 26, 6), R(8, 0, 0.01f, 6));
  DrawClipped(g, pic, R(w - 13, 7, 7, 6), w - I - 7, 7);
  g.DrawImage(pic, R(7, 13, 2, h - 26), R(0, 7, 2, 0.1f));
  DrawClipped(g, pic, R(7, h - 13, 7, 6), 7, h - J - 7);
  g.DrawImage(pic, R(w - 9, 13, 3, h - 26), R(15, 7, 3, 0.1f));
  g.DrawImage(pic, R(14, h - 13, w - 26, 6), R(8, J - 6, 0.01f, 6));
  DrawClipped(g, pic, R(w - 13, h - 13, 7, 6), w - I - 7, h - J - 7);
}

void DrawOuterShadow(gdip::Graphics& g, float w, float h) {
  gdip::Image pic;
  if (!LoadEnginePicture(EnginePicture::OuterShadow, pic)) return;
  const float I = static_cast<float>(pic.Width()), J = static_cast<float>(pic.Height());
  DrawClipped(g, pic, R(0, 0, 13, 15), 0, 0);
  DrawClipped(g, pic, R(w - 13, 0, 13, 15), w - I, 0);
  DrawClipped(g, pic, R(0, h - 14, 13, 14), 0, h - J);
  DrawClipped(g, pic, R(w - 13, h - 14, 13, 14), w - I, h - J);
  g.DrawImage(pic, R(13, 0, w - 26, 15), R(14, 0, 0.1f, 15));
  g.DrawImage(pic, R(13, h - 14, w - 26, 14), R(14, 18, 0.1f, 14));
  g.DrawImage(pic, R(0, 15, 13, h - 29), R(0, 14, 13, 0.1f));
  g.DrawImage(pic, R(w - 13, 15, 13, h - 29), R(16, 14, 13, 0.1f));
}

const Text kOkCaption = "确定";

RectF OkRect(const BoxContent& c) {
  ButtonRect r = OkButtonRect(c.width, c.height);
  return R(static_cast<float>(r.x), static_cast<float>(r.y), static_cast<float>(r.width),
           static_cast<float>(r.height));
}

}  // namespace

float EffectiveTextSize(const TextLayout& layout) {
  return layout.sizeGiven && layout.size > 9 ? layout.size : 12.0f;
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
    gdip::Pen pen(ToArgb(haloColour, 200), 1.0f);
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

int IconStripOffset(int iconKind) {
  switch (iconKind) {
    case MB_ICONQUESTION: return 0;
    case MB_ICONINFORMATION: return 48;
    case MB_ICONEXCLAMATION: return 96;
    case MB_ICONHAND: return 144;
    default: return -1;
  }
}

void DrawIcon(gdip::Graphics& graphics, int x, int y, int iconKind) {
  int offset = IconStripOffset(iconKind);
  if (offset < 0) return;
  gdip::Image strip;
  if (!LoadEnginePicture(EnginePicture::IconStrip, strip)) return;
  DrawClipped(graphics, strip, R(static_cast<float>(x), static_cast<float>(y), 47, static_cast<float>(strip.Height())),
              static_cast<float>(x - offset), static_cast<float>(y));
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
                    const BoxTheme& theme) {
  gdip::Bitmap work;
  if (work.CreateEmpty(static_cast<int>(rect.Width), 28)) {
    gdip::Graphics wg;
    gdip::Image strip;
    int s = PushButtonStripOffset(state);
    if (wg.CreateForImage(work) && s >= 0 && LoadEnginePicture(EnginePicture::PushButtonStrip, strip)) {
      const float fs = static_cast<float>(s);
      wg.SetInterpolationMode(Gdiplus::InterpolationModeNearestNeighbor);
      // The cap's clip takes one column of the face too: some GDI+ builds (Wine's)
      // start the stretched middle a column late, which would leave a seam.
      DrawClipped(wg, strip, R(0, 0, 6, 28), -fs, 0);
      wg.DrawImage(strip, R(5, 0, rect.Width - 10, 28), R(6 + fs, 0, 0.001f, 28));
      wg.DrawImage(strip, R(rect.Width - 5, 0, 5, 28), R(8 + fs, 0, 5, 28));
    }
    gdip::ImageAttributes fade = AlphaAttributes(highlight * 0.01f);
    graphics.DrawImage(work, R(rect.X, rect.Y, static_cast<float>(work.Width()), 28),
                       R(0, 0, static_cast<float>(work.Width()), 28), Gdiplus::UnitPixel, &fade);
  }
  TextLayout layout;
  layout.align = Gdiplus::StringAlignmentCenter;
  layout.lineAlign = Gdiplus::StringAlignmentCenter;
  DrawGlowText(graphics, R(rect.X, rect.Y, rect.Width - 4, 25), caption, theme.textRgb1, theme.textRgb2, layout,
               theme);
}

void DrawCaptionButton(HWND hwnd, gdip::Graphics& graphics, float x, float y, int glyph, int state, int highlight,
                       bool useHighlight) {
  if (hwnd && ::IsZoomed(hwnd)) {
    x -= 5;
    y += 5;
  }
  const bool close = glyph == kCloseGlyph;
  gdip::Image strip;
  if (!LoadEnginePicture(close ? EnginePicture::CloseButtonStrip : EnginePicture::CaptionStrip, strip)) return;
  gdip::ImageAttributes fade = AlphaAttributes(useHighlight ? highlight * 0.01f : 1.0f);
  const float sw = static_cast<float>(strip.Width()), sh = static_cast<float>(strip.Height());
  auto drawAt = [&](float left) {
    graphics.DrawImage(strip, R(left, y, sw, sh), R(0, 0, sw, sh), Gdiplus::UnitPixel, &fade);
  };
  // The other glyphs (minimise 29, maximise 30, restore 31, help 48) sit in cells of 51
  // pixels, three states each; the message box only ever asks for the close glyph.
  float cell = 0;
  if (!close) {
    int index = glyph == 29 ? 0 : glyph == 30 ? 1 : glyph == 31 ? 2 : glyph == 48 ? 3 : -1;
    if (index < 0) return;
    cell = static_cast<float>(index * 3 * 51);
  }
  graphics.SetClipRect(R(x - 1, y, 48, 22));
  switch (state) {
    case 1:
      graphics.SetClipRect(R(x - 2, y, 48, 22));
      graphics.DrawImage(strip, x - 2 - cell, y);
      break;
    case 2: drawAt(x - (close ? 50 : 51) - cell); break;
    case 3: drawAt(x - (close ? 99 : 102) - cell); break;
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
  wchar_t buffer[255] = {};
  ::GetWindowTextW(hwnd, buffer, 255);
  Text title = Narrow(buffer);
  // At most 254 bytes, cut at a character boundary.
  if (title.size() > 254) {
    size_t cut = 0;
    for (size_t i = 0; i < title.size();) {
      size_t len = IsGbkLeadByte(static_cast<unsigned char>(title[i])) ? 2 : 1;
      if (i + len > 254) break;
      i += len;
      cut = i;
    }
    title.resize(cut);
  }
  return title;
}

void ComposeBoxBackground(gdip::Bitmap& background, const BoxContent& c, const BoxTheme& theme) {
  const float w = static_cast<float>(c.width), h = static_cast<float>(c.height);
  if (!background.CreateEmpty(c.width, c.height)) return;
  gdip::Graphics g;
  if (!g.CreateForImage(background)) return;

  {
    UniqueRegion body(::CreateRoundRectRgn(8, 8, c.width - 7, c.height - 7, 8, 8));
    g.SetClipHrgn(body.get());
  }
  if (theme.picture) {
    gdip::ImageAttributes translucent = AlphaAttributes(c.blurCapable ? 0.2f : 0.6f);
    // The destination is square on purpose: the picture is stretched over the width.
    g.DrawImage(*theme.picture, R(6, 6, w, w), R(0, 0, w, h), Gdiplus::UnitPixel, &translucent);
  }
  const float glassBottom = h * 0.5f + 10;
  {
    gdip::LinearGradientBrush glass;
    glass.CreateFromPoints(gdip::PointF(0, 0), gdip::PointF(0, glassBottom), ToArgb(0xFFFFFF, 0),
                           ToArgb(0xFFFFFF, 220));
    g.FillRectangle(glass, 0, 0, w, glassBottom);
  }
  {
    gdip::SolidBrush middle(ToArgb(0xFFFFFF, 220));
    g.FillRectangle(middle, 0, glassBottom, w, std::fabs(glassBottom - (h - 45)));
  }
  {
    gdip::LinearGradientBrush bar;
    bar.CreateFromPoints(gdip::PointF(0, h - 45), gdip::PointF(0, 40), ToArgb(theme.imgRgb),
                         ToArgb(Lighten(theme.imgRgb, 3)));
    g.FillRectangle(bar, 0, h - 45, w, 45);
  }
  {
    gdip::Pen dark(ToArgb(Lighten(theme.imgRgb, 2)), 1.0f);
    g.DrawLine(dark, 0, h - 45, w, h - 45);
    gdip::Pen light(ToArgb(0xFFFFFF), 1.0f);
    g.DrawLine(light, 0, h - 44, w, h - 44);
  }
  DrawIcon(g, 30, 40, c.iconKind);

  TextLayout titleLayout;  // one line, near, vertically centred
  titleLayout.lineAlign = Gdiplus::StringAlignmentCenter;
  IntRect m = MeasureText(c.title, TextLayout(), theme);
  DrawGlowText(g, R(13, static_cast<float>(static_cast<int>(15 - m.height / 2.0 + 5)), static_cast<float>(m.width),
                    static_cast<float>(m.height)),
               c.title, theme.textRgb1, theme.textRgb2, titleLayout, theme);
  TextLayout messageLayout = titleLayout;
  messageLayout.lineLimit = true;
  DrawGlowText(g, R(90, 50, 280, 50), c.message, theme.textRgb1, theme.textRgb2, messageLayout, theme);

  g.ResetClip();
  DrawInnerFrame(g, w, h);
  g.SetInterpolationMode(Gdiplus::InterpolationModeNearestNeighbor);
  DrawOuterShadow(g, w, h);
  DrawCaptionButton(c.hwnd, g, w - 54, 7, kCloseGlyph, 1, 100, true);
  DrawPushButton(g, OkRect(c), kOkCaption, 1, 100, theme);
}

void DrawBoxFrame(gdip::Graphics& target, const gdip::Bitmap& background, const BoxContent& c, int buttonState,
                  int hotButton, int highlight, const BoxTheme& theme) {
  target.DrawImage(background, 0, 0);
  if (buttonState == kButtonIdle) return;
  if (hotButton == kCloseButton)
    DrawCaptionButton(c.hwnd, target, static_cast<float>(c.width - 55), 7, kCloseGlyph, buttonState, highlight, true);
  else if (hotButton == kOkButton)
    DrawPushButton(target, OkRect(c), kOkCaption, buttonState, highlight, theme);
}
