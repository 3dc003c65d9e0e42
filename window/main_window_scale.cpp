#include "window/main_window_scale.h"

#include "base/codepage.h"
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

namespace {

// The widest of the components' one-line texts in a font of the given height.
int WidestText(const LOGFONTW& shape, int height) {
  LOGFONTW lf = shape;
  lf.lfHeight = height;
  UniqueFont font(::CreateFontIndirectW(&lf));
  WindowDc screen(nullptr);
  SelectedObject selected(screen.get(), font.get());
  int widest = 0;
  for (const ComponentSpec& c : kComponents) {
    if (c.id == ids::状态) continue;  // the status text wraps
    const std::wstring text = Widen(c.text);
    SIZE extent = {};
    if (::GetTextExtentPoint32W(screen.get(), text.c_str(), static_cast<int>(text.size()), &extent) &&
        extent.cx > widest)
      widest = extent.cx;
  }
  return widest;
}

}  // namespace

UniqueFont ComponentFont::Update(int dpi) {
  UniqueFont previous = std::move(scaled_);
  const int system = SystemDpi();
  if (dpi == kBaseDpi && system == kBaseDpi) return previous;  // the stock font, as the form has it
  // The stock font as it is at 96 DPI, grown by DPI / 96. A Chinese face does not
  // grow its texts in proportion (its bitmap sizes step: at 125% "请输入下载到那个硬盘:"
  // went from 126 to 168 pixels, its label from 125 to 156), so where the texts
  // would outgrow the layout the next smaller height is taken.
  LOGFONTW lf = {};
  ::GetObjectW(::GetStockObject(DEFAULT_GUI_FONT), sizeof(lf), &lf);
  const int base = ScaleBetweenDpis(lf.lfHeight, system, kBaseDpi);
  const int room = ScaleToDpiTowardZero(WidestText(lf, base), dpi);
  int height = ScaleToDpi(base, dpi);
  const int step = base < 0 ? 1 : -1;  // toward the 96-DPI height
  while (height != base && WidestText(lf, height) > room) height += step;
  lf.lfHeight = height;
  lf.lfWidth = ScaleToDpi(ScaleBetweenDpis(lf.lfWidth, system, kBaseDpi), dpi);
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
  // The frame as the window really has it: a menu bar may be taller than the
  // system's metric says (its font decides). What the frame has beyond the metrics
  // it has at 96 DPI too, so the 96-DPI client area is the form's size less that frame.
  RECT window96 = {}, client = {};
  ::GetWindowRect(window, &window96);
  ::GetClientRect(window, &client);
  const SIZE frame = {(window96.right - window96.left) - client.right, (window96.bottom - window96.top) - client.bottom};
  const RECT zero = {0, 0, 0, 0};
  const RECT metricsHere = WindowRectForClient(zero, kMainWindowStyle, true, kMainWindowExStyle, dpi);
  const RECT metrics96 = WindowRectForClient(zero, kMainWindowStyle, true, kMainWindowExStyle, kBaseDpi);
  const SIZE frame96 = {frame.cx - ((metricsHere.right - metricsHere.left) - (metrics96.right - metrics96.left)),
                        frame.cy - ((metricsHere.bottom - metricsHere.top) - (metrics96.bottom - metrics96.top))};
  const SIZE wanted = {ScaleToDpi(kMainWindowWidth - frame96.cx, dpi), ScaleToDpi(kMainWindowHeight - frame96.cy, dpi)};
  if (wanted.cx != client.right || wanted.cy != client.bottom)
    ::SetWindowPos(window, nullptr, 0, 0, wanted.cx + frame.cx, wanted.cy + frame.cy,
                   SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOMOVE);
}
