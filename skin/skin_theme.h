// The attached skin as the painting code uses it: the palette and the GDI
// objects made from it. A theme is shared (windows of several threads paint
// with it) and immutable; attaching another skin swaps in a new one.
#pragma once

#include <memory>

#include "base/unique_handle.h"
#include "skin/skin_format.h"

namespace skin {

struct Theme {
  explicit Theme(const Palette& p);

  Palette palette;
  UniqueBrush editBrush;
  UniqueBrush editDisabledBrush;
};

using ThemePtr = std::shared_ptr<const Theme>;

// The current theme; null while no skin is attached (the default look).
ThemePtr CurrentTheme();
void SetCurrentTheme(ThemePtr theme);

}  // namespace skin
