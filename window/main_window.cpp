#include "window/main_window.h"

#include <commctrl.h>

#include "base/codepage.h"
#include "base/display_dpi.h"
#include "base/unique_handle.h"
#include "base/window_text.h"
#include "base/window_thread.h"
#include "window/main_window_scale.h"

namespace {

constexpr wchar_t kMainWindowClass[] = L"LanshiMainWindow";

bool IsTransparentLabel(HWND child) {
  const ComponentSpec* form = FindComponentSpec(static_cast<ComponentId>(::GetWindowLongPtrW(child, GWLP_ID)));
  return form && form->kind == ComponentKind::TransparentLabel;
}

// Nothing erases behind a transparent label: when its text changes, the window
// repaints what lies under it, whoever changed the text. The text is only stored here
// (the static control of Wine would draw the new text over the old one at once, a
// second painting of the label, and a garbled one until the window's comes).
LRESULT CALLBACK TransparentLabelProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) {
  LRESULT result = msg == WM_SETTEXT ? ::DefWindowProcW(hwnd, msg, wParam, lParam)
                                     : ::DefSubclassProc(hwnd, msg, wParam, lParam);
  if (msg == WM_SETTEXT) {
    HWND parent = ::GetParent(hwnd);
    RECT rc;
    ::GetWindowRect(hwnd, &rc);
    ::MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&rc), 2);
    ::RedrawWindow(parent, &rc, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
  }
  return result;
}

HWND CreateComponent(HWND parent, HINSTANCE instance, const ComponentSpec& c, int dpi, HFONT font) {
  const wchar_t* cls = L"Static";
  DWORD style = WS_CHILD | (c.visible ? WS_VISIBLE : 0) | (c.tabStop ? WS_TABSTOP : 0);
  DWORD exStyle = 0;
  switch (c.kind) {
    case ComponentKind::Label:
      style |= SS_LEFT | SS_NOPREFIX;
      break;
    case ComponentKind::TransparentLabel:
      exStyle |= WS_EX_TRANSPARENT;
      // The status text wraps over several lines; the hints are one line, centred vertically.
      style |= SS_NOPREFIX | (c.id == ids::状态 ? SS_LEFT : (SS_LEFTNOWORDWRAP | SS_CENTERIMAGE));
      break;
    case ComponentKind::Button:
      cls = L"Button";
      style |= BS_PUSHBUTTON;
      break;
    case ComponentKind::ProgressBar:
      cls = PROGRESS_CLASSW;
      break;
    case ComponentKind::EditBox:
      cls = L"Edit";
      style |= ES_LEFT | ES_AUTOHSCROLL;
      exStyle |= WS_EX_CLIENTEDGE;
      break;
  }
  const LayoutRect r = ComponentRectAt(c, dpi);
  HWND hwnd = ::CreateWindowExW(exStyle, cls, Widen(c.text).c_str(), style, r.x, r.y, r.width, r.height, parent,
                                reinterpret_cast<HMENU>(static_cast<UINT_PTR>(c.id)), instance, nullptr);
  if (!hwnd) return nullptr;
  ::SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  if (c.kind == ComponentKind::TransparentLabel) ::SetWindowSubclass(hwnd, TransparentLabelProc, 0, 0);
  if (c.kind == ComponentKind::ProgressBar) {
    ::SendMessageW(hwnd, PBM_SETRANGE32, 0, kProgressMaximum);
    ::SendMessageW(hwnd, PBM_SETPOS, 0, 0);
  }
  return hwnd;
}

bool CreateComponents(HWND hwnd, HINSTANCE instance, int dpi, HFONT font) {
  for (const ComponentSpec& c : kComponents)
    if (!CreateComponent(hwnd, instance, c, dpi, font)) return false;
  // Tab walks the children in their z-order, which is the creation order: the tab
  // stops go to the bottom one after the other, in reading order.
  for (ComponentId id : kTabOrder)
    ::SetWindowPos(::GetDlgItem(hwnd, static_cast<int>(id)), HWND_BOTTOM, 0, 0, 0, 0,
                   SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  return true;
}

// Drops the keyboard and mouse input given while the start-up held the window: it
// was given to greyed inputs, which take none.
void DropQueuedInput(HWND hwnd) {
  MSG msg;
  while (::PeekMessageW(&msg, hwnd, WM_KEYFIRST, WM_KEYLAST, PM_REMOVE | PM_NOYIELD)) {
  }
  while (::PeekMessageW(&msg, hwnd, WM_MOUSEFIRST, WM_MOUSELAST, PM_REMOVE | PM_NOYIELD)) {
  }
  while (::PeekMessageW(&msg, hwnd, WM_NCMOUSEMOVE, WM_NCXBUTTONDBLCLK, PM_REMOVE | PM_NOYIELD)) {
  }
}

void Run(const std::function<void()>& command) {
  if (command) command();
}

}  // namespace

const ComponentSpec* FindComponentSpec(ComponentId id) {
  for (const ComponentSpec& c : kComponents)
    if (c.id == id) return &c;
  return nullptr;
}

MainWindow::~MainWindow() {
  // A window still open must not call into a dead object.
  if (HWND hwnd = hwnd_.load()) {
    ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    ::DestroyWindow(hwnd);
  }
}

HMENU MainWindow::BuildMenuBar() {
  UniqueMenu bar(::CreateMenu());
  HMENU items = ::CreatePopupMenu();
  for (const MenuItemSpec& item : kMenuItems)
    ::AppendMenuW(items, MF_STRING, item.id, Widen(item.caption).c_str());
  // The bar owns the drop-down from here on.
  ::AppendMenuW(bar.get(), MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(items), Widen(kMenuBarCaption).c_str());
  itemsMenu_ = items;
  return bar.release();
}

bool MainWindow::Load(HINSTANCE instance, MainWindowCommands commands) {
  commands_ = std::move(commands);
  INITCOMMONCONTROLSEX icc = {sizeof(icc), ICC_PROGRESS_CLASS | ICC_STANDARD_CLASSES};
  ::InitCommonControlsEx(&icc);
  WNDCLASSEXW wc = {};
  wc.cbSize = sizeof(wc);
  wc.lpfnWndProc = StaticProc;
  wc.hInstance = instance;
  wc.hIcon = ::LoadIconW(instance, MAKEINTRESOURCEW(129));
  wc.hIconSm = wc.hIcon;
  wc.hCursor = ::LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = kMainWindowClass;
  if (!::RegisterClassExW(&wc) && ::GetLastError() != ERROR_CLASS_ALREADY_EXISTS) return false;

  // Centred on the primary monitor, at that monitor's scale.
  const int screenWidth = ::GetSystemMetrics(SM_CXSCREEN), screenHeight = ::GetSystemMetrics(SM_CYSCREEN);
  const SIZE size = MainWindowSizeAt(DpiAtRect(RECT{0, 0, screenWidth, screenHeight}));
  UniqueMenu menu(BuildMenuBar());
  HWND hwnd = ::CreateWindowExW(kMainWindowExStyle, kMainWindowClass, L"", kMainWindowStyle,
                                (screenWidth - size.cx) / 2, (screenHeight - size.cy) / 2, size.cx, size.cy, nullptr,
                                menu.get(), instance, this);
  if (!hwnd) {
    itemsMenu_ = nullptr;  // went with the bar
    return false;
  }
  menu.release();  // the window owns its menu bar
  Run(commands_.created);
  if (dpi_ != kBaseDpi) {
    // The client area is the 96-DPI one scaled, whatever this DPI's frame measures.
    FitMainWindowToDpi(hwnd, dpi_, nullptr);
    RECT rc = {};
    ::GetWindowRect(hwnd, &rc);
    ::SetWindowPos(hwnd, nullptr, (screenWidth - (rc.right - rc.left)) / 2, (screenHeight - (rc.bottom - rc.top)) / 2,
                   0, 0, SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOSIZE);
  }
  // The person sees the window at once, also while the start-up goes on.
  const bool startingUp = static_cast<bool>(commands_.shown);
  if (startingUp) SetInputsEnabled(false);
  ::ShowWindow(hwnd, SW_SHOW);
  ::UpdateWindow(hwnd);
  if (startingUp) {
    Run(commands_.shown);
    DropQueuedInput(hwnd);
    SetInputsEnabled(true);
  }
  FocusFirstInput();
  return true;
}

void MainWindow::SetInputsEnabled(bool enabled) {
  for (ComponentId id : kTabOrder) SetComponentDisabled(id, !enabled);
}

void MainWindow::FocusFirstInput() {
  HWND hwnd = hwnd_.load();
  if (!hwnd) return;
  lastFocus_ = ComponentHandle(kTabOrder[0]);
  // A person who went to another window meanwhile finds it there when coming back.
  if (::GetActiveWindow() == hwnd) ::SetFocus(lastFocus_);
}

LRESULT CALLBACK MainWindow::StaticProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_NCCREATE) {
    auto* self = static_cast<MainWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    self->hwnd_ = hwnd;
  }
  auto* self = reinterpret_cast<MainWindow*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (!self) return ::DefWindowProcW(hwnd, msg, wParam, lParam);
  if (msg == WM_NCDESTROY) {
    // Whoever still aims at the window from now on finds no window rather than a stale handle.
    ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    self->hwnd_ = nullptr;
    self->itemsMenu_ = nullptr;
    return ::DefWindowProcW(hwnd, msg, wParam, lParam);
  }
  return self->HandleMessage(hwnd, msg, wParam, lParam);
}

LRESULT MainWindow::HandleMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_CREATE: {
      auto* cs = reinterpret_cast<CREATESTRUCTW*>(lParam);
      dpi_ = WindowDpi(hwnd);
      font_.Update(dpi_);
      return CreateComponents(hwnd, cs->hInstance, dpi_, font_.get()) ? 0 : -1;
    }
    case WM_CTLCOLORSTATIC: {
      HWND child = reinterpret_cast<HWND>(lParam);
      if (!IsTransparentLabel(child)) break;
      // Transparent labels paint only their text over what lies behind them.
      HDC dc = reinterpret_cast<HDC>(wParam);
      ::SetBkMode(dc, TRANSPARENT);
      ::SetTextColor(dc, ::GetWindowLongPtrW(child, GWLP_ID) == static_cast<LONG_PTR>(ids::状态) ? kStatusTextColour
                                                                                                  : kHintTextColour);
      return reinterpret_cast<LRESULT>(::GetStockObject(NULL_BRUSH));
    }
    case WM_COMMAND:
      OnCommand(wParam, lParam);
      return 0;
    case WM_ACTIVATE:
      // As a dialog does: the focus goes back to the component that had it when the
      // window was left, rather than to the window itself.
      if (LOWORD(wParam) == WA_INACTIVE) {
        HWND focus = ::GetFocus();
        lastFocus_ = focus && ::IsChild(hwnd, focus) ? focus : nullptr;
      } else if (lastFocus_ && ::IsWindowEnabled(lastFocus_) && ::IsWindowVisible(lastFocus_) &&
                 !::IsIconic(hwnd)) {
        ::SetFocus(lastFocus_);
        return 0;
      }
      break;
    case WM_DPICHANGED:
      // Moved to a monitor of another scale (or the scale was changed): the
      // system suggests where the window goes and how large it is.
      dpi_ = LOWORD(wParam);
      FitMainWindowToDpi(hwnd, dpi_, reinterpret_cast<const RECT*>(lParam));
      LayOutComponents(hwnd, dpi_, font_);
      return 0;
    case WM_DESTROY:
      ::PostQuitMessage(0);
      return 0;
    default:
      break;
  }
  return ::DefWindowProcW(hwnd, msg, wParam, lParam);
}

void MainWindow::OnCommand(WPARAM wParam, LPARAM lParam) {
  HWND source = reinterpret_cast<HWND>(lParam);
  if (source) {
    if (HIWORD(wParam) != BN_CLICKED || ::GetParent(source) != hwnd_.load()) return;
    auto id = static_cast<ComponentId>(::GetWindowLongPtrW(source, GWLP_ID));
    if (id == ids::按钮_下载) Run(commands_.download);
    else if (id == ids::按钮_停止) Run(commands_.stop);
    return;
  }
  switch (MenuItemOfCommand(wParam, lParam)) {
    case ids::创建桌面图标: Run(commands_.createShortcut); break;
    case ids::删除桌面图标: Run(commands_.deleteShortcut); break;
    case ids::在线更新: Run(commands_.onlineUpdate); break;
    default: break;
  }
}

void MainWindow::RunMessageLoop() {
  MSG msg;
  while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
    // Tab moves between the inputs and buttons as in a dialog.
    HWND hwnd = hwnd_.load();
    if (hwnd && ::IsDialogMessageW(hwnd, &msg)) continue;
    ::TranslateMessage(&msg);
    ::DispatchMessageW(&msg);
  }
}

// --- Component operations -------------------------------------------------

HWND MainWindow::ComponentHandle(ComponentId id) const {
  HWND hwnd = hwnd_.load();
  if (!hwnd) return nullptr;
  if (id == ids::主窗口) return hwnd;
  return ::GetDlgItem(hwnd, static_cast<int>(id));
}

Text MainWindow::GetComponentText(ComponentId id) {
  HWND hwnd = ComponentHandle(id);
  return hwnd ? WindowText(hwnd) : Text();
}

void MainWindow::SetComponentText(ComponentId id, std::string_view text) {
  if (HWND hwnd = ComponentHandle(id)) ::SetWindowTextW(hwnd, Widen(text).c_str());
}

void MainWindow::SetComponentDisabled(ComponentId id, bool disabled) {
  if (HWND hwnd = ComponentHandle(id)) ::EnableWindow(hwnd, disabled ? FALSE : TRUE);
}

void MainWindow::SetProgressPosition(ComponentId id, int position) {
  if (HWND hwnd = ComponentHandle(id)) ::SendMessageW(hwnd, PBM_SETPOS, static_cast<WPARAM>(position), 0);
}

void MainWindow::SetMenuItemVisible(ComponentId id, bool visible) {
  // The menu changes on the window thread only: on it this runs at once; another
  // thread waits for it there, holding nothing the window thread could want meanwhile.
  if (hwnd_.load()) window_thread::Run([&] { ApplyMenuItemVisible(id, visible); });
}

void MainWindow::ApplyMenuItemVisible(ComponentId id, bool visible) {
  if (!itemsMenu_) return;
  size_t index = 0;
  while (index < kMenuItems.size() && kMenuItems[index].id != id) ++index;
  if (index == kMenuItems.size() || menuItemVisible_[index] == visible) return;
  if (visible) {
    UINT position = 0;
    for (size_t i = 0; i < index; ++i)
      if (menuItemVisible_[i]) ++position;
    ::InsertMenuW(itemsMenu_, position, MF_BYPOSITION | MF_STRING, id, Widen(kMenuItems[index].caption).c_str());
  } else {
    ::RemoveMenu(itemsMenu_, id, MF_BYCOMMAND);
  }
  menuItemVisible_[index] = visible;
  if (HWND hwnd = hwnd_.load()) ::DrawMenuBar(hwnd);
}
