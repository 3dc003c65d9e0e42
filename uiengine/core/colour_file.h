// The theme's three colours and the colour file that caches them: INI text,
// section [rgb], keys img_rgb, text_rgb1, text_rgb2, each a decimal COLORREF.
#pragma once

#include <optional>
#include <string_view>

#include "base/text.h"
#include "uiengine/core/theme_colours.h"

// The colours derived from the background picture.
struct ThemeSettings {
  Colour img_rgb = 0;    // the picture's tint (its average colour)
  Colour text_rgb1 = 0;  // primary text colour: black or white, contrasting with the tint
  Colour text_rgb2 = 0;  // secondary text colour (the text's halo): the inverse of text_rgb1
};

// The colours a colour file's three values give, when they hold: each a plain
// decimal from 0 to 16777215 (0x00FFFFFF), and text distinguishable from its halo.
// Nothing for a damaged file (missing, empty, not numbers, out of range).
std::optional<ThemeSettings> ColoursFromFileValues(std::string_view imgRgb, std::string_view textRgb1,
                                                    std::string_view textRgb2);

// The whole colour file for `colours`, as the INI functions would write it.
Text ColourFileText(const ThemeSettings& colours);
