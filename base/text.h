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

// Replaces full-width (double-byte) forms of ASCII characters by their single-byte forms.
Text NarrowFullWidth(std::string_view text);

// Text to number as the program reads user input: full-width forms first, then
// the leading numeric part as atof/atoi read it; empty text gives 0.
double TextToDouble(std::string_view text);
int TextToInt(std::string_view text);

// Byte position (0-based) of the last occurrence of `ch` that is a whole character,
// not the trail byte of a double-byte character; npos when there is none.
size_t FindLastCharGbk(std::string_view text, char ch);
