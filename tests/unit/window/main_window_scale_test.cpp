#include <gtest/gtest.h>

#include <windows.h>

#include "base/display_dpi.h"
#include "window/main_window_scale.h"

namespace {

// A window of the main window's style with the 17 components as plain children.
struct FormWindow {
  HWND hwnd = nullptr;
  HMENU menu = ::CreateMenu();
  FormWindow() {
    ::AppendMenuW(menu, MF_STRING, 1, L"菜单");
    hwnd = ::CreateWindowExW(kMainWindowExStyle, L"Static", L"form", kMainWindowStyle, 50, 50, kMainWindowWidth,
                             kMainWindowHeight, nullptr, menu, nullptr, nullptr);
    for (const ComponentSpec& c : kComponents)
      ::CreateWindowExW(0, L"Static", L"", WS_CHILD | WS_VISIBLE, c.x, c.y, c.width, c.height, hwnd,
                        reinterpret_cast<HMENU>(static_cast<UINT_PTR>(c.id)), nullptr, nullptr);
  }
  ~FormWindow() { ::DestroyWindow(hwnd); }
  RECT ChildRect(ComponentId id) const {
    RECT r;
    ::GetWindowRect(::GetDlgItem(hwnd, static_cast<int>(id)), &r);
    ::MapWindowPoints(HWND_DESKTOP, hwnd, reinterpret_cast<POINT*>(&r), 2);
    return r;
  }
  int FontHeight(ComponentId id) const {
    HFONT font = reinterpret_cast<HFONT>(::SendMessageW(::GetDlgItem(hwnd, static_cast<int>(id)), WM_GETFONT, 0, 0));
    LOGFONTW lf = {};
    ::GetObjectW(font, sizeof(lf), &lf);
    return lf.lfHeight;
  }
  SIZE Client() const {
    RECT c;
    ::GetClientRect(hwnd, &c);
    return {c.right, c.bottom};
  }
};

int StockFontHeight() {
  LOGFONTW lf = {};
  ::GetObjectW(::GetStockObject(DEFAULT_GUI_FONT), sizeof(lf), &lf);
  return lf.lfHeight;
}

}  // namespace

TEST(MainWindowScale, At96DpiTheFormIsUnchanged) {
  const SIZE size = MainWindowSizeAt(96);
  EXPECT_EQ(size.cx, 469);
  EXPECT_EQ(size.cy, 298);
  for (const ComponentSpec& c : kComponents) {
    const LayoutRect r = ComponentRectAt(c, 96);
    EXPECT_EQ(r, (LayoutRect{c.x, c.y, c.width, c.height})) << c.name;
  }
}

// Wine has one DPI for every monitor and never sends WM_DPICHANGED: the relayout a
// move to a monitor of another scale brings is run here by hand.
TEST(MainWindowScale, RelayoutForAnotherDpiScalesRectanglesFontAndClientArea) {
  FormWindow form;
  ComponentFont font;
  const int system = SystemDpi();
  LayOutComponents(form.hwnd, system, font);
  EXPECT_EQ(form.FontHeight(kComponents[2].id), StockFontHeight());

  for (int dpi : {120, 144, 192}) {
    if (dpi == system) continue;
    RECT suggested = {80, 60, 80 + MainWindowSizeAt(dpi).cx, 60 + MainWindowSizeAt(dpi).cy};
    FitMainWindowToDpi(form.hwnd, dpi, &suggested);
    LayOutComponents(form.hwnd, dpi, font);
    RECT rc;
    ::GetWindowRect(form.hwnd, &rc);
    EXPECT_EQ(rc.left, 80) << dpi;
    EXPECT_EQ(rc.top, 60) << dpi;
    // (The client area is checked by the UI tests, where the frame really is of this DPI.)
    for (const ComponentSpec& c : kComponents) {
      const RECT r = form.ChildRect(c.id);
      const LayoutRect want = ComponentRectAt(c, dpi);
      EXPECT_EQ((LayoutRect{r.left, r.top, r.right - r.left, r.bottom - r.top}), want) << c.name << " at " << dpi;
      // Scaled with the layout, or a little smaller where the face's texts grow faster.
      const int scaledHeight = ScaleToDpi(ScaleBetweenDpis(StockFontHeight(), system, 96), dpi);
      EXPECT_LE(-form.FontHeight(c.id), -scaledHeight) << c.name << " at " << dpi;
      EXPECT_GE(-form.FontHeight(c.id) * 10, -scaledHeight * 8) << c.name << " at " << dpi;
    }
  }
  // Back at 96 DPI: the stock font and the form's rectangles again.
  if (system != kBaseDpi) return;
  LayOutComponents(form.hwnd, system, font);
  EXPECT_EQ(::SendMessageW(::GetDlgItem(form.hwnd, static_cast<int>(kComponents[0].id)), WM_GETFONT, 0, 0),
            reinterpret_cast<LRESULT>(::GetStockObject(DEFAULT_GUI_FONT)));
}
