#include "uiengine/core/theme_colours.h"

gdip::ARGB ToArgb(Colour colour, std::uint8_t alpha) {
  return static_cast<gdip::ARGB>(alpha) << 24 | static_cast<gdip::ARGB>(RedOf(colour)) << 16 |
         static_cast<gdip::ARGB>(GreenOf(colour)) << 8 | static_cast<gdip::ARGB>(BlueOf(colour));
}

Colour TextColourFor(Colour tint) {
  double sum = RedOf(tint) + GreenOf(tint) + BlueOf(tint);
  return sum - 382.5 > 0.0000001 ? kBlack : kWhite;
}

Colour InverseColour(Colour colour) {
  return MakeColour(255 - RedOf(colour), 255 - GreenOf(colour), 255 - BlueOf(colour));
}

gdip::RectF MakeRectF(float x, float y, float width, float height) { return gdip::RectF(x, y, width, height); }
