#include "base/codepage.h"

#include <windows.h>

std::wstring Widen(std::string_view gbk) {
  if (gbk.empty()) return {};
  int n = ::MultiByteToWideChar(kProgramCodePage, 0, gbk.data(), static_cast<int>(gbk.size()), nullptr, 0);
  std::wstring out(static_cast<size_t>(n), L'\0');
  ::MultiByteToWideChar(kProgramCodePage, 0, gbk.data(), static_cast<int>(gbk.size()), out.data(), n);
  return out;
}

std::string Narrow(std::wstring_view wide) {
  if (wide.empty()) return {};
  int n = ::WideCharToMultiByte(kProgramCodePage, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0,
                                nullptr, nullptr);
  std::string out(static_cast<size_t>(n), '\0');
  ::WideCharToMultiByte(kProgramCodePage, 0, wide.data(), static_cast<int>(wide.size()), out.data(), n, nullptr,
                        nullptr);
  return out;
}
