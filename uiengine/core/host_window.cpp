#include "uiengine/core/host_window.h"

#include "base/codepage.h"
#include "uiengine/core/event_dispatch.h"

namespace {

constexpr UINT kClassStyle = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;  // 0x0B
constexpr WORD kProgramIconId = 129;

HostWindowOwner* OwnerOf(HWND hwnd) {
  return reinterpret_cast<HostWindowOwner*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
}

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
  if (message == WM_NCCREATE) {
    auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
    ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  HostWindowOwner* owner = OwnerOf(hwnd);
  if (message == WM_NCDESTROY) {
    ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    owner = nullptr;
  }
  if (owner) {
    if (std::optional<LRESULT> answer = owner->OnHostMessage(hwnd, message, wParam, lParam)) return *answer;
  }
  dispatch::DispatchEvent(hwnd, message, wParam, lParam);
  return ::DefWindowProcW(hwnd, message, wParam, lParam);
}

HWND HostWindow::Create(const Text& title, int width, int height, HWND owner, HMENU menu, DWORD style,
                        HostWindowOwner* windowOwner) {
  hwnd_ = ::CreateWindowExW(0, kHostWindowClassW, Widen(title).c_str(), style ^ WS_VISIBLE, CW_USEDEFAULT,
                            CW_USEDEFAULT, width, height, owner, menu, ::GetModuleHandleW(nullptr), windowOwner);
  return hwnd_;
}

void HostWindow::RegisterResizeHandler(LPTHREAD_START_ROUTINE handler) {
  dispatch::RegisterWindowHandlerOnce(hwnd_, dispatch::kEventResize, handler);
}

void HostWindow::RegisterDestroyHandler(LPTHREAD_START_ROUTINE handler) {
  dispatch::RegisterWindowHandlerOnce(hwnd_, dispatch::kEventDestroy, handler);
}
