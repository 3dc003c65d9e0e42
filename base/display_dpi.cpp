#include "base/display_dpi.h"

#include "base/display_scale.h"
#include "base/unique_handle.h"

namespace {

template <typename Pointer>
Pointer SystemFunction(const wchar_t* library, const char* name) {
  HMODULE module = ::GetModuleHandleW(library);
  if (!module) {
    // Loaded from the system folder only, and kept for the process's life.
    wchar_t path[MAX_PATH] = {};
    const UINT length = ::GetSystemDirectoryW(path, MAX_PATH);
    if (length == 0 || length + 1 + wcslen(library) >= MAX_PATH) return nullptr;
    wcscat(path, L"\\");
    wcscat(path, library);
    module = ::LoadLibraryW(path);
  }
  return module ? reinterpret_cast<Pointer>(reinterpret_cast<void*>(::GetProcAddress(module, name))) : nullptr;
}

using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
using GetDpiForMonitorFn = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);
using AdjustForDpiFn = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);

GetDpiForWindowFn DpiForWindow() {
  static const auto fn = SystemFunction<GetDpiForWindowFn>(L"user32.dll", "GetDpiForWindow");
  return fn;
}
GetDpiForMonitorFn DpiForMonitor() {
  static const auto fn = SystemFunction<GetDpiForMonitorFn>(L"shcore.dll", "GetDpiForMonitor");
  return fn;
}
AdjustForDpiFn AdjustForDpi() {
  static const auto fn = SystemFunction<AdjustForDpiFn>(L"user32.dll", "AdjustWindowRectExForDpi");
  return fn;
}

}  // namespace

int SystemDpi() {
  WindowDc screen(nullptr);
  const int dpi = screen.get() ? ::GetDeviceCaps(screen.get(), LOGPIXELSY) : kBaseDpi;
  return dpi > 0 ? dpi : kBaseDpi;
}

int WindowDpi(HWND hwnd) {
  if (GetDpiForWindowFn fn = DpiForWindow()) {
    const UINT dpi = fn(hwnd);
    if (dpi > 0) return static_cast<int>(dpi);
  }
  return SystemDpi();
}

int MonitorDpi(HMONITOR monitor) {
  if (GetDpiForMonitorFn fn = DpiForMonitor(); fn && monitor) {
    UINT x = 0, y = 0;
    // MDT_EFFECTIVE_DPI (0). A process that is not per-monitor aware is told the
    // system's DPI here, which is also what it is laid out for.
    if (SUCCEEDED(fn(monitor, 0, &x, &y)) && y > 0) return static_cast<int>(y);
  }
  return SystemDpi();
}

int DpiAtRect(const RECT& screenRect) { return MonitorDpi(::MonitorFromRect(&screenRect, MONITOR_DEFAULTTONEAREST)); }

RECT WindowRectForClient(const RECT& client, DWORD style, bool hasMenu, DWORD exStyle, int dpi) {
  RECT r = client;
  if (AdjustForDpiFn fn = AdjustForDpi(); fn && fn(&r, style, hasMenu, exStyle, static_cast<UINT>(dpi))) return r;
  r = client;
  ::AdjustWindowRectEx(&r, style, hasMenu, exStyle);
  const int system = SystemDpi();
  if (dpi == system) return r;
  // The frame at the system's DPI, scaled to the one wanted.
  r.left = client.left - ScaleBetweenDpis(client.left - r.left, system, dpi);
  r.top = client.top - ScaleBetweenDpis(client.top - r.top, system, dpi);
  r.right = client.right + ScaleBetweenDpis(r.right - client.right, system, dpi);
  r.bottom = client.bottom + ScaleBetweenDpis(r.bottom - client.bottom, system, dpi);
  return r;
}
