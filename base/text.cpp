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
  for (size_t i = 0; i < text.size(); ++i) {
    unsigned char b = static_cast<unsigned char>(text[i]);
    if (IsGbkLeadByte(b) && i + 1 < text.size()) {
      unsigned char t = static_cast<unsigned char>(text[i + 1]);
      if (b == 0xA3 && t >= 0xA1 && t <= 0xFE) {
        out.push_back(static_cast<char>(t - 0x80));  // A3A1..A3FE are '!'..'~'
      } else if (b == 0xA1 && t == 0xA1) {
        out.push_back(' ');  // ideographic space
      } else {
        out.push_back(static_cast<char>(b));
        out.push_back(static_cast<char>(t));
      }
      ++i;
    } else {
      out.push_back(static_cast<char>(b));
    }
  }
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
  for (size_t i = 0; i < text.size(); ++i) {
    unsigned char b = static_cast<unsigned char>(text[i]);
    if (IsGbkLeadByte(b) && i + 1 < text.size()) {
      ++i;
      continue;
    }
    if (text[i] == ch) found = i;
  }
  return found;
}
