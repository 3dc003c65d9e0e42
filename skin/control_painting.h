// Drawing of the skinned parts: window backgrounds, push buttons, progress bars
// and edit box borders, all in the attached skin's colours.
#pragma once

#include <windows.h>

#include "base/unique_handle.h"
#include "skin/skin_format.h"

namespace skin {

void FillVerticalGradient(HDC dc, const RECT& rect, ColourRef top, ColourRef bottom);

// A client-sized bitmap of the window background (for a pattern brush).
UniqueBitmap MakeBackgroundBitmap(int width, int height, const Palette& palette);

struct ButtonPaint {
  FaceMetrics faces;                  // for the button's DPI
  bool hot = false;
  bool isDefault = false;
  HBRUSH parentBackground = nullptr;  // pattern brush of the parent's background, or null
  POINT originInParent = {0, 0};      // the button's client origin in its parent's client area
};

// Draws an owner-drawn push button entirely (face, border, text, focus).
void DrawPushButton(const DRAWITEMSTRUCT& item, const Palette& palette, const ButtonPaint& how);

// Paints a progress bar's whole client area from its range and position.
void PaintProgressBar(HWND bar, HDC dc, const Palette& palette, const FaceMetrics& faces, HBRUSH parentBackground,
                      POINT originInParent);

// Paints an edit box's border (its non-client edge) in the skin's colours.
void PaintEditBorder(HWND edit, const Palette& palette, const FaceMetrics& faces);

}  // namespace skin
