#include "uiengine/core/colour_file.h"

#include <string>

namespace {

constexpr Colour kLargestColour = 0x00FFFFFF;

std::optional<Colour> PlainColour(std::string_view text) {
  if (text.empty() || text.size() > 8) return std::nullopt;
  Colour value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
  }
  if (value > kLargestColour) return std::nullopt;
  return value;
}

}  // namespace

std::optional<ThemeSettings> ColoursFromFileValues(std::string_view imgRgb, std::string_view textRgb1,
                                                    std::string_view textRgb2) {
  const std::optional<Colour> img = PlainColour(imgRgb), text1 = PlainColour(textRgb1),
                              text2 = PlainColour(textRgb2);
  // Text drawn in the colour of its own halo cannot be read.
  if (!img || !text1 || !text2 || *text1 == *text2) return std::nullopt;
  return ThemeSettings{*img, *text1, *text2};
}

Text ColourFileText(const ThemeSettings& colours) {
  return "[rgb]\r\nimg_rgb=" + std::to_string(colours.img_rgb) + "\r\ntext_rgb1=" + std::to_string(colours.text_rgb1) +
         "\r\ntext_rgb2=" + std::to_string(colours.text_rgb2) + "\r\n";
}
