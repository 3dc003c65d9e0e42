// A stand-in SkinH_EL.dll for the UI tests: it skins nothing and writes each
// call it receives, with its arguments, to skin_calls.txt in the current
// directory (the program folder), so the tests can check what the program passes.
#include <windows.h>

#include <cstdio>
#include <cstring>

#include "skin/skin_format.h"

namespace {
void Record(const char* line) {
  HANDLE file = ::CreateFileW(L"skin_calls.txt", FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  DWORD written = 0;
  ::WriteFile(file, line, static_cast<DWORD>(std::strlen(line)), &written, nullptr);
  ::CloseHandle(file);
}
}  // namespace

extern "C" int __stdcall SkinH_AttachRes(const unsigned char* data, int length, const char* text, int a, int b,
                                         int c) {
  char line[512];
  const unsigned crc = data && length > 0 ? skin::Crc32(data, static_cast<size_t>(length)) : 0;
  std::snprintf(line, sizeof(line), "SkinH_AttachRes data=%s length=%d crc=%08x text=%s%s%s ints=%d,%d,%d\n",
                data ? "set" : "null", length, crc, text ? "\"" : "", text ? (std::strlen(text) < 100 ? text : "long") : "null",
                text ? "\"" : "", a, b, c);
  Record(line);
  return 1;
}

extern "C" int __stdcall SkinH_SetAero(int on) {
  char line[64];
  std::snprintf(line, sizeof(line), "SkinH_SetAero %d\n", on);
  Record(line);
  return 0;
}
