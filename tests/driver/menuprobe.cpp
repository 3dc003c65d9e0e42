// Placed into the driven program by the UI driver: reads the menu of a window and
// writes it as JSON into a shared memory block the driver named.
#include <windows.h>

#include <string>

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

}  // namespace

// Thread entry: the parameter is ignored; the window comes from the block.
extern "C" __declspec(dllexport) DWORD WINAPI ProbeMenu(void*) {
  HANDLE mapping = ::OpenFileMappingW(FILE_MAP_ALL_ACCESS, FALSE, L"LanshiUiDriverMenuProbe");
  if (!mapping) return 1;
  char* block = static_cast<char*>(::MapViewOfFile(mapping, FILE_MAP_ALL_ACCESS, 0, 0, kBlockSize));
  if (!block) {
    ::CloseHandle(mapping);
    return 2;
  }
  HWND hwnd = *reinterpret_cast<HWND*>(block);
  HMENU menu = ::GetMenu(hwnd);
  std::string json = menu ? DescribeMenu(menu, hwnd) : "null";
  if (json.size() + 1 > kBlockSize - 8) json = "\"too long\"";
  memcpy(block + 8, json.c_str(), json.size() + 1);
  ::UnmapViewOfFile(block);
  ::CloseHandle(mapping);
  return 0;
}

BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) { return TRUE; }
