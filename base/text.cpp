#include "base/text.h"

#include <cstdlib>

Text TextOf(const char* s) { return s ? Text(s) : Text(); }

Text JoinTexts(std::initializer_list<std::string_view> parts) {
  size_t total = 0;
  for (auto p : parts) total += p.size();
  Text out;
  out.reserve(total);
  for (auto p : parts) out.append(p.data(), p.size());
  return out;
}

Text NarrowFullWidth(std::string_view text) {
  Text out;
  out.reserve(text.size());
  ForEachGbkChar(text, [&](size_t i, size_t length) {
    const auto b = static_cast<unsigned char>(text[i]);
    const auto t = length == 2 ? static_cast<unsigned char>(text[i + 1]) : 0;
    if (b == 0xA3 && t >= 0xA1 && t <= 0xFE)
      out.push_back(static_cast<char>(t - 0x80));  // A3A1..A3FE are '!'..'~'
    else if (b == 0xA1 && t == 0xA1)
      out.push_back(' ');  // ideographic space
    else
      out.append(text.substr(i, length));
  });
  return out;
}

double TextToDouble(std::string_view text) {
  Text narrow = NarrowFullWidth(text);
  return std::atof(narrow.c_str());
}

int TextToInt(std::string_view text) {
  Text narrow = NarrowFullWidth(text);
  return std::atoi(narrow.c_str());
}

size_t FindLastCharGbk(std::string_view text, char ch) {
  size_t found = std::string_view::npos;
  ForEachGbkChar(text, [&](size_t i, size_t length) {
    if (length == 1 && text[i] == ch) found = i;
  });
  return found;
}

namespace {
Text MapAsciiLetters(std::string_view text, char from, char to) {
  Text out(text);
  ForEachGbkChar(text, [&](size_t i, size_t length) {
    if (length == 1 && out[i] >= from && out[i] <= static_cast<char>(from + 25)) out[i] = static_cast<char>(out[i] - from + to);
  });
  return out;
}
}  // namespace

Text LowerAsciiLetters(std::string_view text) { return MapAsciiLetters(text, 'A', 'a'); }
Text UpperAsciiLetters(std::string_view text) { return MapAsciiLetters(text, 'a', 'A'); }

Text CutAtCharBoundary(std::string_view text, size_t maxBytes) {
  size_t cut = 0;
  ForEachGbkChar(text, [&](size_t i, size_t length) {
    if (i + length <= maxBytes) cut = i + length;
  });
  return Text(text.substr(0, cut));
}
