// Text helpers shared by the whole program. A Text is a GBK byte string; an absent
// text (a null pointer from a platform call) counts as the empty text.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

using Text = std::string;
using ByteBuffer = std::vector<unsigned char>;

// A possibly-null C string as a Text (null gives the empty text).
Text TextOf(const char* s);

// Concatenation of any number of texts.
Text JoinTexts(std::initializer_list<std::string_view> parts);

// True when byte b starts a GBK double-byte character.
inline bool IsGbkLeadByte(unsigned char b) { return b >= 0x81 && b <= 0xFE; }

// Walks a GBK text character by character: calls visit(position, length) with length
// 2 for a double-byte character and 1 for a single byte (a lead byte with nothing
// after it counts as one byte). A trail byte is never visited on its own, so it is
// never mistaken for the ASCII character of the same value.
template <typename Visit>
void ForEachGbkChar(std::string_view text, Visit visit) {
  for (size_t i = 0; i < text.size();) {
    const size_t length = IsGbkLeadByte(static_cast<unsigned char>(text[i])) && i + 1 < text.size() ? 2 : 1;
    visit(i, length);
    i += length;
  }
}

// A..Z to a..z or a..z to A..Z; both bytes of every double-byte character stay as they are.
Text LowerAsciiLetters(std::string_view text);
Text UpperAsciiLetters(std::string_view text);

// The longest start of the text of at most maxBytes that ends at a character boundary.
Text CutAtCharBoundary(std::string_view text, size_t maxBytes);

// Replaces full-width (double-byte) forms of ASCII characters by their single-byte forms.
Text NarrowFullWidth(std::string_view text);

// Text to number as the program reads user input: full-width forms first, then
// the leading numeric part as atof/atoi read it; empty text gives 0.
double TextToDouble(std::string_view text);
int TextToInt(std::string_view text);

// Byte position (0-based) of the last occurrence of `ch` that is a whole character,
// not the trail byte of a double-byte character; npos when there is none.
size_t FindLastCharGbk(std::string_view text, char ch);
