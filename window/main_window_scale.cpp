#include "window/main_window_scale.h"

#include "base/display_dpi.h"

namespace {

// The client area the form's 469 x 298 window has at 96 DPI.
SIZE BaseClientSize() {
  const RECT client = {0, 0, kMainWindowWidth, kMainWindowHeight};
  const RECT frame = WindowRectForClient(client, kMainWindowStyle, true, kMainWindowExStyle, kBaseDpi);
  const int frameWidth = (frame.right - frame.left) - kMainWindowWidth;
  const int frameHeight = (frame.bottom - frame.top) - kMainWindowHeight;
  return {kMainWindowWidth - frameWidth, kMainWindowHeight - frameHeight};
}

SIZE ScaledClientSize(int dpi) {
  const SIZE base = BaseClientSize();
  return {ScaleToDpi(base.cx, dpi), ScaleToDpi(base.cy, dpi)};
}

}  // namespace

SIZE MainWindowSizeAt(int dpi) {
  if (dpi == kBaseDpi) return {kMainWindowWidth, kMainWindowHeight};
  const SIZE client = ScaledClientSize(dpi);
  const RECT r = WindowRectForClient({0, 0, client.cx, client.cy}, kMainWindowStyle, true, kMainWindowExStyle, dpi);
  return {r.right - r.left, r.bottom - r.top};
}

UniqueFont ComponentFont::Update(int dpi) {
  UniqueFont previous = std::move(scaled_);
  const int system = SystemDpi();
  if (dpi == system) return previous;  // the stock font is made for the system's DPI already
  LOGFONTW lf = {};
  ::GetObjectW(::GetStockObject(DEFAULT_GUI_FONT), sizeof(lf), &lf);
  lf.lfHeight = ScaleBetweenDpis(lf.lfHeight, system, dpi);
  lf.lfWidth = ScaleBetweenDpis(lf.lfWidth, system, dpi);
  scaled_.reset(::CreateFontIndirectW(&lf));
  return previous;
}

void LayOutComponents(HWND window, int dpi, ComponentFont& font) {
  // The components let go of the old font before it is deleted, at the end.
  UniqueFont previous = font.Update(dpi);
  for (const ComponentSpec& c : kComponents) {
    HWND child = ::GetDlgItem(window, static_cast<int>(c.id));
    if (!child) continue;
    const LayoutRect r = ComponentRectAt(c, dpi);
    ::SetWindowPos(child, nullptr, r.x, r.y, r.width, r.height, SWP_NOZORDER | SWP_NOACTIVATE);
    ::SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), FALSE);
  }
  ::RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_FRAME);
}

void FitMainWindowToDpi(HWND window, int dpi, const RECT* suggested) {
  RECT target = {};
  if (suggested) {
    target = *suggested;
  } else {
    ::GetWindowRect(window, &target);
    const SIZE size = MainWindowSizeAt(dpi);
    target.right = target.left + size.cx;
    target.bottom = target.top + size.cy;
  }
  const SIZE size = {target.right - target.left, target.bottom - target.top};
  ::SetWindowPos(window, nullptr, target.left, target.top, size.cx, size.cy, SWP_NOZORDER | SWP_NOACTIVATE);
  if (dpi == kBaseDpi) return;
  // Whatever the system's frame really measures, the client area is the scaled one.
  const SIZE wanted = ScaledClientSize(dpi);
  RECT client = {};
  ::GetClientRect(window, &client);
  const int dx = wanted.cx - client.right, dy = wanted.cy - client.bottom;
  if (dx != 0 || dy != 0)
    ::SetWindowPos(window, nullptr, 0, 0, size.cx + dx, size.cy + dy, SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOMOVE);
}
