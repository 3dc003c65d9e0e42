// What the message box's drawing takes from the engine's theme.
#pragma once

#include <windows.h>

#include "base/text.h"

namespace gdip {
class ImageBase;
}

struct BoxTheme {
  const gdip::ImageBase* picture = nullptr;  // the composed theme background
  COLORREF imgRgb = 0;                       // tint of the picture
  COLORREF textRgb1 = 0;                     // text colour
  COLORREF textRgb2 = 0xFFFFFF;              // halo colour
  Text fontFamily = "宋体";
  bool textHalo = true;
};

// The theme as it stands now.
BoxTheme CurrentBoxTheme();
