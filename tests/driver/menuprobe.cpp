// Placed into the driven program by the UI driver: reads the menu of a window and
// writes it as JSON into a shared memory block the driver named; and sends a window
// the one message no input through the display can bring (see ProbeDpiChanged).
#include <windows.h>

#include <cstdio>
#include <string>

#include "base/unique_handle.h"
#include "json_out.h"

namespace {

constexpr size_t kBlockSize = 64 * 1024;

std::string RectJson(const RECT& r) {
  return "[" + std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right - r.left) + "," +
         std::to_string(r.bottom - r.top) + "]";
}

// owner: the window whose menu bar this is, or null for a drop-down. An item's rect
// (screen coordinates) is known for the bar, and for a drop-down while it is open.
std::string DescribeMenu(HMENU menu, HWND owner) {
  std::string out = "[";
  int count = ::GetMenuItemCount(menu);
  for (int i = 0; i < count; ++i) {
    wchar_t text[512] = {};
    MENUITEMINFOW info = {};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_ID | MIIM_STATE | MIIM_SUBMENU | MIIM_STRING | MIIM_FTYPE;
    info.dwTypeData = text;
    info.cch = 511;
    ::GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &info);
    if (i) out += ",";
    out += "{\"id\":" + std::to_string(static_cast<unsigned long>(info.wID)) +
           ",\"text\":" + JsonString(text) + ",\"state\":" + std::to_string(info.fState) +
           ",\"type\":" + std::to_string(info.fType);
    RECT rect = {};
    if (::GetMenuItemRect(owner, menu, static_cast<UINT>(i), &rect)) out += ",\"rect\":" + RectJson(rect);
    if (info.hSubMenu) out += ",\"items\":" + DescribeMenu(info.hSubMenu, nullptr);
    out += "}";
  }
  return out + "]";
}

// The font height (LOGFONT lfHeight) of each child window, by identifier (null:
// the system font, none set).
std::string DescribeFonts(HWND parent) {
  std::string out = "[";
  for (HWND h = ::GetWindow(parent, GW_CHILD); h; h = ::GetWindow(h, GW_HWNDNEXT)) {
    auto font = reinterpret_cast<HFONT>(::SendMessageW(h, WM_GETFONT, 0, 0));
    LOGFONTW lf = {};
    if (out.size() > 1) out += ",";
    out += "{\"id\":" + std::to_string(static_cast<unsigned long>(::GetWindowLongPtrW(h, GWLP_ID))) +
           ",\"height\":" + (font && ::GetObjectW(font, sizeof(lf), &lf) ? std::to_string(lf.lfHeight) : "null") + "}";
  }
  return out + "]";
}

// The block the driver shares: the window at its start, then the driver's text in
// and the probe's JSON out.
template <typename F>
DWORD WithBlock(F work) {
  UniqueKernelHandle mapping(::OpenFileMappingW(FILE_MAP_ALL_ACCESS, FALSE, L"LanshiUiDriverMenuProbe"));
  if (!mapping) return 1;
  char* block = static_cast<char*>(::MapViewOfFile(mapping.get(), FILE_MAP_ALL_ACCESS, 0, 0, kBlockSize));
  if (!block) return 2;
  ScopeExit unmap([block] { ::UnmapViewOfFile(block); });
  std::string json = work(*reinterpret_cast<HWND*>(block), std::string(block + 8));
  if (json.size() + 1 > kBlockSize - 8) json = "\"too long\"";
  memcpy(block + 8, json.c_str(), json.size() + 1);
  return 0;
}

}  // namespace

// Thread entry: the parameter is ignored; the window comes from the block.
extern "C" __declspec(dllexport) DWORD WINAPI ProbeMenu(void*) {
  return WithBlock([](HWND hwnd, const std::string&) {
    HMENU menu = ::GetMenu(hwnd);
    return menu ? DescribeMenu(menu, hwnd) : std::string("null");
  });
}

// Thread entry: the fonts of the window's children.
extern "C" __declspec(dllexport) DWORD WINAPI ProbeFonts(void*) {
  return WithBlock([](HWND hwnd, const std::string&) { return "{\"fonts\":" + DescribeFonts(hwnd) + "}"; });
}

// Thread entry: sends the window WM_DPICHANGED for "<dpi> <left> <top> <right> <bottom>"
// (the new DPI and the suggested window rectangle) and answers the fonts of its
// children before and after. Wine has one DPI for every monitor and never sends the
// message, so no input through the display brings it; the rectangle must lie in the
// window's own process.
extern "C" __declspec(dllexport) DWORD WINAPI ProbeDpiChanged(void*) {
  return WithBlock([](HWND hwnd, const std::string& input) {
    int dpi = 0;
    RECT suggested = {};
    if (std::sscanf(input.c_str(), "%d %ld %ld %ld %ld", &dpi, &suggested.left, &suggested.top, &suggested.right,
                    &suggested.bottom) != 5)
      return std::string("\"bad input\"");
    std::string before = DescribeFonts(hwnd);
    DWORD_PTR result = 0;
    if (!::SendMessageTimeoutW(hwnd, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested),
                               SMTO_NORMAL, 5000, &result))
      return std::string("\"timeout\"");
    return "{\"before\":" + before + ",\"after\":" + DescribeFonts(hwnd) + "}";
  });
}

BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) { return TRUE; }
