// Just enough JSON writing for the driver's answers.
#pragma once

#include <string>
#include <string_view>

std::string JsonString(std::wstring_view text);  // quoted, escaped, UTF-8
std::string Utf8(std::wstring_view text);
std::wstring FromUtf8(std::string_view text);
