// The main window at a display's DPI: its size, its components' rectangles and
// its font, scaled from the 96-DPI form by DPI / 96. At 96 DPI everything is the
// form's own: the window 469 x 298, the rectangles of the table, the stock font.
#pragma once

#include <windows.h>

#include "base/display_scale.h"
#include "window/main_window_layout.h"
#include "base/unique_handle.h"

constexpr DWORD kMainWindowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
constexpr DWORD kMainWindowExStyle = 0;

// A component's place and size at a DPI.
constexpr LayoutRect ComponentRectAt(const ComponentSpec& c, int dpi) {
  return ScaleRect(LayoutRect{c.x, c.y, c.width, c.height}, dpi);
}

// The outer size of the window at a DPI: the client area of the 96-DPI window
// scaled, with the frame, caption and menu bar of that DPI around it.
SIZE MainWindowSizeAt(int dpi);

// The font of the components at a DPI: at 96 DPI the system's default GUI font
// itself; elsewhere that font made anew with its 96-DPI height scaled, or the
// largest smaller height with which no text outgrows the scaled layout.
class ComponentFont {
 public:
  // Returns the font used until now (null for the stock one), to be deleted once
  // no component uses it any more.
  UniqueFont Update(int dpi);
  HFONT get() const { return scaled_ ? scaled_.get() : static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT)); }

 private:
  UniqueFont scaled_;
};

// Lays the components out for a DPI and gives them its font (creation and
// WM_DPICHANGED); `font` is updated first and must outlive the components.
void LayOutComponents(HWND window, int dpi, ComponentFont& font);

// Makes the window's client area the scaled 96-DPI one, keeping the window's
// top-left corner (or `suggested` when the system gives one). Measures the frame the
// window has, so it runs once the menu bar has its items.
void FitMainWindowToDpi(HWND window, int dpi, const RECT* suggested);
