// shortcut_reader <link file>: prints the link's fields as one line of JSON
// (UTF-8), for the UI tests. Exit code 1 when the link cannot be loaded.
#include <windows.h>
#include <objbase.h>

#include <cstdio>
#include <string>

#include "shortcut_reader.h"

namespace {
std::string Utf8FromAnsi(const std::string& ansi) {
  const int wide = ::MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), nullptr, 0);
  std::wstring w(static_cast<size_t>(wide), L'\0');
  ::MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), w.data(), wide);
  const int bytes = ::WideCharToMultiByte(CP_UTF8, 0, w.data(), wide, nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<size_t>(bytes), '\0');
  ::WideCharToMultiByte(CP_UTF8, 0, w.data(), wide, out.data(), bytes, nullptr, nullptr);
  return out;
}

std::string Json(const std::string& ansi) {
  std::string out = "\"";
  for (char c : Utf8FromAnsi(ansi)) {
    if (c == '"' || c == '\\') out += '\\';
    if (static_cast<unsigned char>(c) < 0x20) {
      char esc[8];
      std::snprintf(esc, sizeof(esc), "\\u%04x", c);
      out += esc;
      continue;
    }
    out += c;
  }
  return out + "\"";
}
}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 2) return 2;
  ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  const ShortcutFields f = ReadShortcut(argv[1]);
  if (f.loaded)
    std::printf("{\"target\":%s,\"arguments\":%s,\"description\":%s,\"working_directory\":%s,\"icon_path\":%s,"
                "\"icon_index\":%d,\"show_command\":%d,\"hotkey\":%u}\n",
                Json(f.target).c_str(), Json(f.arguments).c_str(), Json(f.description).c_str(),
                Json(f.workingDirectory).c_str(), Json(f.iconPath).c_str(), f.iconIndex, f.showCommand, f.hotkey);
  ::CoUninitialize();
  return f.loaded ? 0 : 1;
}
