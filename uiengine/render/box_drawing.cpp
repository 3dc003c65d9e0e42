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

// A frame picture laid around the box: four corners copied as they are (through a
// clip rectangle), four edges stretched along the box from a strip of the picture.
struct FrameCorner {
  RectF clip;          // on the box
  float pictureX, pictureY;  // where the whole picture's top-left corner goes
};
struct FrameEdge {
  RectF onBox;
  RectF fromPicture;
};
struct FramePieces {
  FrameCorner topLeft, topRight, bottomLeft, bottomRight;
  FrameEdge top, bottom, left, right;
};

// The edges go first: scaled, they run under the corners, which are then drawn over
// them. Where they do not meet (at 96 DPI) the order changes no pixel.
void DrawFramePieces(gdip::Graphics& g, const gdip::Image& picture, const FramePieces& f, const BoxScale& s) {
  for (const FrameEdge* e : {&f.top, &f.left, &f.right, &f.bottom}) g.DrawImage(picture, e->onBox, e->fromPicture);
  for (const FrameCorner* c : {&f.topLeft, &f.topRight, &f.bottomLeft, &f.bottomRight})
    DrawClipped(g, picture, c->clip, c->pictureX, c->pictureY, s);
}

// How an edge stretches its strip. At 96 DPI from a sliver of the picture (thinner
// than a pixel, so one column's colour fills the edge), meeting the corners exactly.
// Scaled, from one whole row or column, reaching a few pixels under the corners:
// Wine's GDI+ starts a scaled draw a column late and stretches a sliver-wide source
// a few pixels short, which would break the rim.
struct EdgeStretch {
  float sliverAlong;   // source thickness along a horizontal edge
  float sliverAcross;  // source thickness along a vertical edge
  float underCorners;  // pixels an edge reaches under each corner
};
EdgeStretch InnerFrameStretch(const BoxScale& s) {
  if (s.dpi == kBaseDpi) return {0.01f, 0.1f, 0};
  return {1, 1, 3};
}
// The shadow is translucent: its edges never run under its corners.
EdgeStretch OuterShadowStretch(const BoxScale& s) {
  if (s.dpi == kBaseDpi) return {0.1f, 0.1f, 0};
  return {1, 1, 0};
}

// Screen places (onScreen) and lengths inside a picture (inPicture) at a scale; a
// strip stretched one way keeps its artwork thickness, drawn scaled, the other way.
struct ScaleUnits {
  const BoxScale& scale;
  float onScreen(int length) const { return F(scale.Px(length)); }
  float inPicture(int length) const { return F(scale.Art(length)); }
  float drawn(int artLength) const { return inPicture(artLength) * scale.ratio(); }
};

// The inner rim (96-DPI lengths): 7 pixels inside the box, corners 7 x 6, the
// top and bottom edges 6 thick, the left 2 and the right 3, each edge stretched
// from the picture's row or column that runs between its corners.
FramePieces InnerFramePieces(float w, float h, float pictureWidth, float pictureHeight, const BoxScale& s) {
  const ScaleUnits u{s};
  const EdgeStretch e = InnerFrameStretch(s);
  const float inset = u.onScreen(7), cornerWidth = u.onScreen(7), cornerHeight = u.onScreen(6);
  const float drawnWidth = pictureWidth * s.ratio(), drawnHeight = pictureHeight * s.ratio();
  const float edgeStart = u.onScreen(14) - e.underCorners;
  const float edgeLength = w - u.onScreen(12) - u.onScreen(14) + 2 * e.underCorners;
  const float sideStart = u.onScreen(13) - e.underCorners;
  const float sideLength = h - 2 * u.onScreen(13) + 2 * e.underCorners;
  const float middleColumn = u.inPicture(8), middleRow = u.inPicture(7);
  FramePieces f;
  f.topLeft = {R(inset, inset, cornerWidth, cornerHeight), inset, inset};
  f.topRight = {R(w - u.onScreen(13), inset, cornerWidth, cornerHeight), w - drawnWidth - inset, inset};
  f.bottomLeft = {R(inset, h - u.onScreen(13), cornerWidth, cornerHeight), inset, h - drawnHeight - inset};
  f.bottomRight = {R(w - u.onScreen(13), h - u.onScreen(13), cornerWidth, cornerHeight), w - drawnWidth - inset,
                   h - drawnHeight - inset};
  f.top = {R(edgeStart, inset, edgeLength, u.drawn(6)), R(middleColumn, 0, e.sliverAlong, u.inPicture(6))};
  f.bottom = {R(edgeStart, h - u.onScreen(13), edgeLength, u.drawn(6)),
              R(middleColumn, pictureHeight - u.inPicture(6), e.sliverAlong, u.inPicture(6))};
  f.left = {R(inset, sideStart, u.drawn(2), sideLength), R(0, middleRow, u.inPicture(2), e.sliverAcross)};
  f.right = {R(w - u.onScreen(9), sideStart, u.drawn(3), sideLength),
             R(u.inPicture(15), middleRow, u.inPicture(3), e.sliverAcross)};
  return f;
}

// The soft outer shadow (96-DPI lengths): corners 13 wide, 15 high at the top and
// 14 at the bottom, flush with the box's edges; the edges stretched from the
// picture's column 14 and row 14.
FramePieces OuterShadowPieces(float w, float h, float pictureWidth, float pictureHeight, const BoxScale& s) {
  const ScaleUnits u{s};
  const EdgeStretch e = OuterShadowStretch(s);
  const float side = u.onScreen(13), topHeight = u.onScreen(15), bottomHeight = u.onScreen(14);
  const float drawnWidth = pictureWidth * s.ratio(), drawnHeight = pictureHeight * s.ratio();
  const float middle = u.inPicture(14);
  FramePieces f;
  f.topLeft = {R(0, 0, side, topHeight), 0, 0};
  f.topRight = {R(w - side, 0, side, topHeight), w - drawnWidth, 0};
  f.bottomLeft = {R(0, h - bottomHeight, side, bottomHeight), 0, h - drawnHeight};
  f.bottomRight = {R(w - side, h - bottomHeight, side, bottomHeight), w - drawnWidth, h - drawnHeight};
  f.top = {R(side, 0, w - 2 * side, u.drawn(15)), R(middle, 0, e.sliverAlong, u.inPicture(15))};
  f.bottom = {R(side, h - bottomHeight, w - 2 * side, u.drawn(14)),
              R(middle, pictureHeight - u.inPicture(14), e.sliverAlong, u.inPicture(14))};
  f.left = {R(0, topHeight, u.drawn(13), h - topHeight - bottomHeight), R(0, middle, u.inPicture(13), e.sliverAcross)};
  f.right = {R(w - side, topHeight, u.drawn(13), h - topHeight - bottomHeight),
             R(pictureWidth - u.inPicture(13), middle, u.inPicture(13), e.sliverAcross)};
  return f;
}

void DrawFramePicture(gdip::Graphics& g, EnginePicture which, float w, float h, const BoxScale& s,
                      FramePieces (*layout)(float, float, float, float, const BoxScale&)) {
  gdip::Image picture;
  if (!LoadEnginePicture(which, picture, s.artwork())) return;
  const float width = static_cast<float>(picture.Width()), height = static_cast<float>(picture.Height());
  DrawFramePieces(g, picture, layout(w, h, width, height, s), s);
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
                    const BoxTheme& theme, const BoxScale& scale) {
  const ScaleUnits u{scale};
  const int height = scale.Px(28);
  gdip::Bitmap work;
  if (work.CreateEmpty(static_cast<int>(rect.Width), height)) {
    gdip::Graphics wg;
    gdip::Image strip;
    const int stateOffset = PushButtonStripOffset(state);
    if (wg.CreateForImage(work) && stateOffset >= 0 &&
        LoadEnginePicture(EnginePicture::PushButtonStrip, strip, scale.artwork())) {
      const float cellX = u.inPicture(stateOffset);  // the state's cell in the strip
      wg.SetInterpolationMode(Gdiplus::InterpolationModeNearestNeighbor);
      const RectF face(u.onScreen(5), 0, rect.Width - 2 * u.onScreen(5), F(height));
      if (scale.dpi == kBaseDpi) {
        // The cap's clip takes one column of the face too: some GDI+ builds (Wine's)
        // start the stretched face a column late, which would leave a seam.
        DrawClipped(wg, strip, R(0, 0, 6, 28), -cellX, 0);
        wg.DrawImage(strip, face, R(u.inPicture(6) + cellX, 0, 0.001f, u.inPicture(28)));
      } else {
        // Stretched into other widths, Wine's GDI+ ends a sliver-wide source a few
        // columns short (and starts a scaled cap a column late): here the face is one
        // whole column (nearest neighbour, so nothing blends) and runs under both caps.
        wg.DrawImage(strip, R(face.X - 2, 0, face.Width + 4, F(height)),
                     R(u.inPicture(6) + cellX, 0, 1, u.inPicture(28)));
        DrawClipped(wg, strip, R(0, 0, u.onScreen(6), F(height)), -cellX * scale.ratio(), 0, scale);
      }
      wg.DrawImage(strip, R(rect.Width - u.onScreen(5), 0, u.drawn(5), F(height)),
                   R(u.inPicture(8) + cellX, 0, u.inPicture(5), u.inPicture(28)));
    }
    gdip::ImageAttributes fade = AlphaAttributes(highlight * 0.01f);
    graphics.DrawImage(work, R(rect.X, rect.Y, static_cast<float>(work.Width()), F(height)),
                       R(0, 0, static_cast<float>(work.Width()), F(height)), Gdiplus::UnitPixel, &fade);
  }
  TextLayout layout;
  layout.align = Gdiplus::StringAlignmentCenter;
  layout.lineAlign = Gdiplus::StringAlignmentCenter;
  layout.dpi = scale.dpi;
  DrawGlowText(graphics, R(rect.X, rect.Y, rect.Width - scale.Pf(4), scale.Pf(25)), caption, theme.textRgb1,
               theme.textRgb2, layout, theme);
}

void DrawCaptionButton(HWND hwnd, gdip::Graphics& graphics, float x, float y, int glyph, int state, int highlight,
                       bool useHighlight, const BoxScale& s) {
  const ScaleUnits u{s};
  const float k = s.ratio();
  if (hwnd && ::IsZoomed(hwnd)) {
    x -= u.onScreen(5);
    y += u.onScreen(5);
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
  graphics.SetClipRect(R(x - u.onScreen(1), y, u.onScreen(48), u.onScreen(22)));
  switch (state) {
    case 1:
      graphics.SetClipRect(R(x - u.onScreen(2), y, u.onScreen(48), u.onScreen(22)));
      DrawPicture(graphics, strip, x - u.onScreen(2) - cellAt(cell), y, s);
      break;
    case 2: drawAt(close ? x - u.onScreen(1) - cellAt(49) : x - cellAt(51 + cell)); break;
    case 3: drawAt(close ? x - u.onScreen(1) - cellAt(98) : x - cellAt(102 + cell)); break;
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
  DrawFramePicture(g, EnginePicture::InnerFrame, w, h, s, InnerFramePieces);
  g.SetInterpolationMode(Gdiplus::InterpolationModeNearestNeighbor);
  DrawFramePicture(g, EnginePicture::OuterShadow, w, h, s, OuterShadowPieces);
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
