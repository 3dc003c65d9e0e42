#include "uiengine/core/host_window.h"

#include <atomic>

#include "base/codepage.h"
#include "uiengine/core/event_dispatch.h"

namespace {

constexpr UINT kClassStyle = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;  // 0x0B
constexpr WORD kProgramIconId = 129;

// The one main host window, while it exists.
std::atomic<HWND> g_mainHostWindow{nullptr};

}  // namespace

int RegisterHostWindowClass() {
  HINSTANCE instance = ::GetModuleHandleW(nullptr);
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.style = kClassStyle;
  wc.lpfnWndProc = ControlHost;
  wc.hInstance = instance;
  wc.hIcon = ::LoadIconW(instance, MAKEINTRESOURCEW(kProgramIconId));
  wc.hCursor = ::LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = kHostWindowClassW;
  ::RegisterClassExW(&wc);
  return 0;
}

LRESULT CALLBACK ControlHost(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  dispatch::DispatchEvent(hwnd, message, wParam, lParam);
  if (message == WM_NCDESTROY) {
    HWND expected = hwnd;  // compare_exchange rewrites its first argument on a mismatch
    g_mainHostWindow.compare_exchange_strong(expected, nullptr);
  }
  return ::DefWindowProcW(hwnd, message, wParam, lParam);
}

HWND HostWindow::Create(const Text& title, int width, int height, HWND owner, HMENU menu, DWORD style,
                        bool mainWindow) {
  HWND existing = g_mainHostWindow.load();
  if (mainWindow && existing && ::IsWindow(existing)) return reinterpret_cast<HWND>(-1);
  hwnd_ = ::CreateWindowExW(0, kHostWindowClassW, Widen(title).c_str(), style ^ WS_VISIBLE, CW_USEDEFAULT,
                            CW_USEDEFAULT, width, height, owner, menu, ::GetModuleHandleW(nullptr), nullptr);
  if (mainWindow && hwnd_) g_mainHostWindow.store(hwnd_);
  return hwnd_;
}

void HostWindow::RegisterResizeHandler(LPTHREAD_START_ROUTINE handler) {
  dispatch::RegisterWindowHandlerOnce(hwnd_, dispatch::kEventResize, handler);
}

void HostWindow::RegisterDestroyHandler(LPTHREAD_START_ROUTINE handler) {
  dispatch::RegisterWindowHandlerOnce(hwnd_, dispatch::kEventDestroy, handler);
}
