#include "uiengine/render/box_theme.h"

#include "uiengine/core/theme_state.h"

BoxTheme CurrentBoxTheme() {
  const ThemeState& theme = Theme();
  BoxTheme box;
  box.picture = theme.background.valid() ? &theme.background : nullptr;
  box.imgRgb = static_cast<COLORREF>(theme.colours.img_rgb);
  box.textRgb1 = static_cast<COLORREF>(theme.colours.text_rgb1);
  box.textRgb2 = static_cast<COLORREF>(theme.colours.text_rgb2);
  box.fontFamily = theme.fontFamily;
  box.textHalo = theme.textHaloEnabled;
  return box;
}
