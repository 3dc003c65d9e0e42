// Small helpers for tests that look at pixels.
#pragma once

#include <cstdlib>

#include "gdiplus/gdip_objects.h"

namespace testpix {

inline int Channel(gdip::ARGB c, int shift) { return static_cast<int>((c >> shift) & 0xFF); }

// True when every channel of a and b differs by at most `tolerance`.
inline bool Near(gdip::ARGB a, gdip::ARGB b, int tolerance) {
  for (int shift = 0; shift < 32; shift += 8)
    if (std::abs(Channel(a, shift) - Channel(b, shift)) > tolerance) return false;
  return true;
}

// A width x height ARGB bitmap cleared to `colour`.
inline gdip::Bitmap SolidBitmap(int width, int height, gdip::ARGB colour) {
  gdip::Bitmap bitmap;
  bitmap.CreateEmpty(width, height);
  gdip::Graphics g;
  g.CreateForImage(bitmap);
  g.Clear(colour);
  return bitmap;
}

}  // namespace testpix

#define EXPECT_ARGB_NEAR(expected, actual, tolerance)                                         \
  EXPECT_PRED3(testpix::Near, expected, actual, tolerance)                                    \
      << std::hex << "expected 0x" << (expected) << " got 0x" << (actual) << std::dec
