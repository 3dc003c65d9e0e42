// Colour helpers of the theme. Colours are Win32 COLORREF values (0x00BBGGRR, red
// in the low byte) kept in signed 32-bit integers; GDI+ wants ARGB (0xAARRGGBB).
#pragma once

#include <cstdint>

#include "gdiplus/gdip_api.h"

using Colour = std::int32_t;

constexpr Colour kBlack = 0;
constexpr Colour kWhite = 0x00FFFFFF;  // 16777215

constexpr int RedOf(Colour c) { return c & 0xFF; }
constexpr int GreenOf(Colour c) { return (c >> 8) & 0xFF; }
constexpr int BlueOf(Colour c) { return (c >> 16) & 0xFF; }
constexpr Colour MakeColour(int r, int g, int b) { return (r & 0xFF) | (g & 0xFF) << 8 | (b & 0xFF) << 16; }

// The GDI+ colour of `colour` with alpha `alpha` (opaque unless given):
// A << 24 | R << 16 | G << 8 | B.
gdip::ARGB ToArgb(Colour colour, std::uint8_t alpha = 255);

// The text colour that reads on `tint`: black when R + G + B is 383 or more
// (above 382.5), otherwise white.
Colour TextColourFor(Colour tint);

// RGB(255 - R, 255 - G, 255 - B).
Colour InverseColour(Colour colour);

// A GDI+ RectF of the four values in this order.
gdip::RectF MakeRectF(float x, float y, float width, float height);
