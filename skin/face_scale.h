// Which face metrics a window of a given DPI is drawn with. Pure code.
#pragma once

#include "skin/skin_format.h"

namespace skin {

// The skin's faces for the nearest of 100%, 150% and 200% (halfway takes the
// larger); any other DPI scales that set by what is left, lines at least one pixel.
FaceMetrics FacesForDpi(const Palette& palette, int dpi);

}  // namespace skin
