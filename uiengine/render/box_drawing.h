// The drawing routines of the skinned message box: glowing text, the icon strip,
// push and caption buttons, and the composed box itself.
#pragma once

#include <windows.h>

#include "base/display_scale.h"
#include "gdiplus/gdip_graphics.h"
#include "gdiplus/gdip_image.h"
#include "uiengine/render/box_theme.h"
#include "uiengine/render/button_tracker.h"

// The box's layout is written for 96 DPI; this turns its lengths into pixels of
// a display's DPI and says which artwork (100%, 150%, 200%) is drawn there.
struct BoxScale {
  int dpi = kBaseDpi;

  // A place or length in whole pixels (clips, regions, button rectangles).
  int Px(int length) const { return ScaleToDpi(length, dpi); }
  // Exactly scaled, for what GDI+ draws in floats (text, gradients).
  float Pf(float length) const { return dpi == kBaseDpi ? length : length * dpi / kBaseDpi; }
  int artwork() const { return NearestArtworkScale(ClampDpi(dpi)); }
  // A length inside a picture of the chosen artwork.
  int Art(int length) const { return ArtworkLength(length, artwork()); }
  // Screen pixels per artwork pixel: 1 at 100%, 150% and 200%.
  float ratio() const { return static_cast<float>(ClampDpi(dpi)) / DpiOfScale(artwork()); }
  bool exact() const { return ClampDpi(dpi) == DpiOfScale(artwork()); }
};

struct TextLayout {
  float size = 12;
  bool sizeGiven = false;
  bool bold = false;
  bool lineLimit = false;  // whole lines only (wrapping); otherwise one unwrapped line
  bool vertical = false;
  bool rightToLeft = false;
  Gdiplus::StringAlignment align = Gdiplus::StringAlignmentNear;
  Gdiplus::StringAlignment lineAlign = Gdiplus::StringAlignmentNear;
  int dpi = kBaseDpi;  // the size is for 96 DPI and grows with the display's
};

// Sizes of 9 and below, or no size at all, draw at 12; scaled to the layout's DPI.
float EffectiveTextSize(const TextLayout& layout);
// The GDI+ string format flags for a layout: line limit or no-wrap, vertical, right-to-left.
int StringFormatFlagsOf(const TextLayout& layout);

struct IntRect {
  int x = 0, y = 0, width = 0, height = 0;
};

// Text with a softened halo behind it; nothing for an empty text.
void DrawGlowText(gdip::Graphics& graphics, const gdip::RectF& rect, const Text& text, COLORREF textColour,
                  COLORREF haloColour, const TextLayout& layout, const BoxTheme& theme);
// The text's extent on the screen, each value rounded to the nearest integer.
IntRect MeasureText(const Text& text, const TextLayout& layout, const BoxTheme& theme);

// The rounded body the box clips its glass to and blurs behind (a new region).
HRGN BoxBodyRegion(int width, int height, int dpi = kBaseDpi);

// Offset of an MB_ICON* kind in the icon strip; -1 for any other kind.
int IconStripOffset(int iconKind);
void DrawIcon(gdip::Graphics& graphics, int x, int y, int iconKind, const BoxScale& scale = BoxScale());

// Offset of a button state in the push-button strip (1 normal, 2 hover, 3 pressed); -1 otherwise.
int PushButtonStripOffset(int state);
void DrawPushButton(gdip::Graphics& graphics, const gdip::RectF& rect, const Text& caption, int state, int highlight,
                    const BoxTheme& theme, const BoxScale& scale = BoxScale());

constexpr int kCloseGlyph = 32;
void DrawCaptionButton(HWND hwnd, gdip::Graphics& graphics, float x, float y, int glyph, int state, int highlight,
                       bool useHighlight, const BoxScale& scale = BoxScale());

// n times each channel becomes the integer part of (channel + 255) / 2.
COLORREF Lighten(COLORREF colour, int n);
// The window's text, at most 254 bytes.
Text WindowTitle(HWND hwnd);

// Everything the box shows except the button highlight.
struct BoxContent {
  int width = 405, height = 175;  // in pixels of `dpi`
  int dpi = kBaseDpi;             // the DPI the box is composed for
  Text title;
  Text message;
  int iconKind = 0;
  bool blurCapable = false;
  HWND hwnd = nullptr;  // for the caption button (zoomed windows draw it shifted)
};

// Builds the cached box image into `background` (a new width x height ARGB bitmap).
void ComposeBoxBackground(gdip::Bitmap& background, const BoxContent& content, const BoxTheme& theme);

// Copies the cache to `target` and overlays the hot button at its highlight.
void DrawBoxFrame(gdip::Graphics& target, const gdip::Bitmap& background, const BoxContent& content,
                  ButtonState buttonState, HotButton hotButton, int highlight, const BoxTheme& theme);
