// Shared by the drawing and message box tests: GDI+ running for the whole test
// program, a known theme, and pixel access.
#pragma once

#include <windows.h>

#include <vector>

#include "gdiplus/gdip_objects.h"
#include "uiengine/render/box_theme.h"

// A theme whose picture is one plain colour, so every sampled pixel is predictable.
struct TestTheme {
  gdip::Bitmap picture;
  BoxTheme theme;
  explicit TestTheme(COLORREF tint, COLORREF pictureColour = RGB(40, 90, 160));
};

// The bitmap's pixels as straight (not premultiplied) ARGB, row by row.
std::vector<gdip::ARGB> PixelsOf(const gdip::Bitmap& bitmap);
inline int AlphaOf(gdip::ARGB c) { return static_cast<int>(c >> 24); }
inline int RedOf(gdip::ARGB c) { return static_cast<int>((c >> 16) & 0xFF); }
inline int GreenOf(gdip::ARGB c) { return static_cast<int>((c >> 8) & 0xFF); }
inline int BlueOf(gdip::ARGB c) { return static_cast<int>(c & 0xFF); }
