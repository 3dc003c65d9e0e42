// Layout values are written for 96 DPI (100%); these scale them to a display's
// DPI. Pure arithmetic, no windows: used by the main window, the message box and
// the skin library alike.
#pragma once

#include <cstdint>

constexpr int kBaseDpi = 96;

// value x dpi / 96, rounded to nearest with halves away from zero: what MulDiv
// gives, and so what Windows' own dialog scaling gives.
constexpr int ScaleToDpi(int value, int dpi) {
  const int64_t product = static_cast<int64_t>(value) * dpi;
  const int64_t half = kBaseDpi / 2;
  return static_cast<int>(product >= 0 ? (product + half) / kBaseDpi : -((-product + half) / kBaseDpi));
}

// The same for a value measured at one DPI and wanted at another (a font made for
// the system's DPI shown on a monitor of another).
constexpr int ScaleBetweenDpis(int value, int fromDpi, int toDpi) {
  if (fromDpi <= 0) return value;
  const int64_t product = static_cast<int64_t>(value) * toDpi;
  const int64_t half = fromDpi / 2;
  return static_cast<int>(product >= 0 ? (product + half) / fromDpi : -((-product + half) / fromDpi));
}

// value x dpi / 96 with the fraction dropped (toward zero). Font heights scale so:
// a text never grows more than the layout around it, so what fits at 96 DPI fits.
constexpr int ScaleToDpiTowardZero(int value, int dpi) {
  return static_cast<int>(static_cast<int64_t>(value) * dpi / kBaseDpi);
}

// Anything below 96 is a display we do not shrink for; nothing sane lies above 960.
constexpr int ClampDpi(int dpi) { return dpi < kBaseDpi ? kBaseDpi : dpi > 960 ? 960 : dpi; }

struct LayoutRect {
  int x = 0, y = 0, width = 0, height = 0;
  friend constexpr bool operator==(const LayoutRect& a, const LayoutRect& b) {
    return a.x == b.x && a.y == b.y && a.width == b.width && a.height == b.height;
  }
};

// Place and size are scaled each on its own, as a dialog's are.
constexpr LayoutRect ScaleRect(const LayoutRect& r, int dpi) {
  return {ScaleToDpi(r.x, dpi), ScaleToDpi(r.y, dpi), ScaleToDpi(r.width, dpi), ScaleToDpi(r.height, dpi)};
}

// Our artwork is drawn at these scales (percent); any other display uses the
// nearest one and scales only what is left.
constexpr int kArtworkScales[] = {100, 150, 200};

// The artwork scale for a DPI: the nearest; halfway (125%, 175%) takes the larger,
// since shrinking a picture loses less than growing one.
constexpr int NearestArtworkScale(int dpi) {
  int best = kArtworkScales[0];
  for (int scale : kArtworkScales) {
    const int distance = dpi * 100 - scale * kBaseDpi;
    const int bestDistance = dpi * 100 - best * kBaseDpi;
    if ((distance < 0 ? -distance : distance) <= (bestDistance < 0 ? -bestDistance : bestDistance)) best = scale;
  }
  return best;
}

constexpr int DpiOfScale(int percent) { return percent * kBaseDpi / 100; }

// A length of artwork drawn at `percent`: the length at 100% scaled and rounded as
// above. The artwork generators round the same way, so slices line up.
constexpr int ArtworkLength(int length, int percent) { return ScaleToDpi(length, DpiOfScale(percent)); }
