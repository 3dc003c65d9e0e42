// The program keeps its texts in GBK whatever the system's ANSI code page is;
// these convert at the edge to the platform's wide-character calls.
#pragma once

#include <string>
#include <string_view>

constexpr unsigned kProgramCodePage = 936;

std::wstring Widen(std::string_view gbk);
std::string Narrow(std::wstring_view wide);
