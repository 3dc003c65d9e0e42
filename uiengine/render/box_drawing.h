// The drawing routines of the skinned message box: glowing text, the icon strip,
// push and caption buttons, and the composed box itself.
#pragma once

#include <windows.h>

#include "gdiplus/gdip_graphics.h"
#include "gdiplus/gdip_image.h"
#include "uiengine/render/box_theme.h"

struct TextLayout {
  float size = 12;
  bool sizeGiven = false;
  bool bold = false;
  bool lineLimit = false;  // whole lines only (wrapping); otherwise one unwrapped line
  bool vertical = false;
  bool rightToLeft = false;
  Gdiplus::StringAlignment align = Gdiplus::StringAlignmentNear;
  Gdiplus::StringAlignment lineAlign = Gdiplus::StringAlignmentNear;
};

// Sizes of 9 and below, or no size at all, draw at 12.
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

// Offset of an MB_ICON* kind in the icon strip; -1 for any other kind.
int IconStripOffset(int iconKind);
void DrawIcon(gdip::Graphics& graphics, int x, int y, int iconKind);

// Offset of a button state in the push-button strip (1 normal, 2 hover, 3 pressed); -1 otherwise.
int PushButtonStripOffset(int state);
void DrawPushButton(gdip::Graphics& graphics, const gdip::RectF& rect, const Text& caption, int state, int highlight,
                    const BoxTheme& theme);

constexpr int kCloseGlyph = 32;
void DrawCaptionButton(HWND hwnd, gdip::Graphics& graphics, float x, float y, int glyph, int state, int highlight,
                       bool useHighlight);

// n times each channel becomes the integer part of (channel + 255) / 2.
COLORREF Lighten(COLORREF colour, int n);
// The window's text, at most 254 bytes.
Text WindowTitle(HWND hwnd);

// Everything the box shows except the button highlight.
struct BoxContent {
  int width = 405, height = 175;
  Text title;
  Text message;
  int iconKind = 0;
  bool blurCapable = false;
  HWND hwnd = nullptr;  // for the caption button (zoomed windows draw it shifted)
};

// Builds the cached box image into `background` (a new width x height ARGB bitmap).
void ComposeBoxBackground(gdip::Bitmap& background, const BoxContent& content, const BoxTheme& theme);

// Copies the cache to `target` and overlays the hot button at its highlight.
void DrawBoxFrame(gdip::Graphics& target, const gdip::Bitmap& background, const BoxContent& content, int buttonState,
                  int hotButton, int highlight, const BoxTheme& theme);
