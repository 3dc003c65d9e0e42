#include "app/main_window.h"

#include <commctrl.h>

#include <mutex>
#include <vector>

#include "app/components.h"
#include "app/event_handlers.h"
#include "app/main_window_layout.h"
#include "base/codepage.h"
#include "base/unique_handle.h"

namespace {

constexpr wchar_t kMainWindowClass[] = L"LanshiMainWindow";

HWND g_mainWindow = nullptr;
HMENU g_itemsMenu = nullptr;  // the drop-down "菜单", owned by the window's menu bar

// Which menu items are shown; guarded because any thread may switch them.
std::mutex g_menuMutex;
bool g_menuItemVisible[kMenuItems.size()] = {true, true, true};

bool IsTransparentLabel(HWND child) {
  const ComponentSpec* form = FindComponentSpec(static_cast<ComponentId>(::GetWindowLongPtrW(child, GWLP_ID)));
  return form && form->kind == ComponentKind::TransparentLabel;
}

// Nothing erases behind a transparent label: when its text changes, the window
// repaints what lies under it, whoever changed the text.
LRESULT CALLBACK TransparentLabelProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) {
  LRESULT result = ::DefSubclassProc(hwnd, msg, wParam, lParam);
  if (msg == WM_SETTEXT) {
    HWND parent = ::GetParent(hwnd);
    RECT rc;
    ::GetWindowRect(hwnd, &rc);
    ::MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&rc), 2);
    ::RedrawWindow(parent, &rc, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
  }
  return result;
}

HWND CreateComponent(HWND parent, HINSTANCE instance, const ComponentSpec& c) {
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
  HWND hwnd = ::CreateWindowExW(exStyle, cls, Widen(c.text).c_str(), style, c.x, c.y, c.width, c.height, parent,
                                reinterpret_cast<HMENU>(static_cast<UINT_PTR>(c.id)), instance, nullptr);
  if (!hwnd) return nullptr;
  ::SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(::GetStockObject(DEFAULT_GUI_FONT)), FALSE);
  if (c.kind == ComponentKind::TransparentLabel) ::SetWindowSubclass(hwnd, TransparentLabelProc, 0, 0);
  if (c.kind == ComponentKind::ProgressBar) {
    ::SendMessageW(hwnd, PBM_SETRANGE32, 0, kProgressMaximum);
    ::SendMessageW(hwnd, PBM_SETPOS, 0, 0);
  }
  return hwnd;
}

HMENU BuildMenuBar() {
  UniqueMenu bar(::CreateMenu());
  HMENU items = ::CreatePopupMenu();
  for (const MenuItemSpec& item : kMenuItems)
    ::AppendMenuW(items, MF_STRING, item.id, Widen(item.caption).c_str());
  // The bar owns the drop-down from here on.
  ::AppendMenuW(bar.get(), MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(items), Widen(kMenuBarCaption).c_str());
  g_itemsMenu = items;
  return bar.release();
}

bool CreateComponents(HWND hwnd, HINSTANCE instance) {
  for (const ComponentSpec& c : kComponents)
    if (!CreateComponent(hwnd, instance, c)) return false;
  return true;
}

void OnCommand(WPARAM wParam, LPARAM lParam) {
  HWND source = reinterpret_cast<HWND>(lParam);
  if (source) {
    if (HIWORD(wParam) != BN_CLICKED || ::GetParent(source) != g_mainWindow) return;
    auto id = static_cast<ComponentId>(::GetWindowLongPtrW(source, GWLP_ID));
    if (id == ids::按钮_下载) OnDownloadClicked();
    else if (id == ids::按钮_停止) OnStopClicked();
    return;
  }
  switch (MenuItemOfCommand(wParam, lParam)) {
    case ids::创建桌面图标: OnCreateShortcutSelected(); break;
    case ids::删除桌面图标: OnDeleteShortcutSelected(); break;
    case ids::在线更新: OnOnlineUpdateSelected(); break;
    default: break;
  }
}

LRESULT CALLBACK MainWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_CREATE: {
      g_mainWindow = hwnd;
      auto* cs = reinterpret_cast<CREATESTRUCTW*>(lParam);
      return CreateComponents(hwnd, cs->hInstance) ? 0 : -1;
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
    case WM_DESTROY:
      ::PostQuitMessage(0);
      return 0;
    default:
      break;
  }
  return ::DefWindowProcW(hwnd, msg, wParam, lParam);
}

bool RegisterMainWindowClass(HINSTANCE instance) {
  WNDCLASSEXW wc = {};
  wc.cbSize = sizeof(wc);
  wc.lpfnWndProc = MainWindowProc;
  wc.hInstance = instance;
  wc.hIcon = ::LoadIconW(instance, MAKEINTRESOURCEW(129));
  wc.hIconSm = wc.hIcon;
  wc.hCursor = ::LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = kMainWindowClass;
  return ::RegisterClassExW(&wc) != 0 || ::GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

}  // namespace

const ComponentSpec* FindComponentSpec(ComponentId id) {
  for (const ComponentSpec& c : kComponents)
    if (c.id == id) return &c;
  return nullptr;
}

HWND LoadMainWindow(HINSTANCE instance) {
  INITCOMMONCONTROLSEX icc = {sizeof(icc), ICC_PROGRESS_CLASS | ICC_STANDARD_CLASSES};
  ::InitCommonControlsEx(&icc);
  if (!RegisterMainWindowClass(instance)) return nullptr;

  const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
  const int x = (::GetSystemMetrics(SM_CXSCREEN) - kMainWindowWidth) / 2;
  const int y = (::GetSystemMetrics(SM_CYSCREEN) - kMainWindowHeight) / 2;
  HMENU menu = BuildMenuBar();
  HWND hwnd = ::CreateWindowExW(0, kMainWindowClass, L"", style, x, y, kMainWindowWidth, kMainWindowHeight, nullptr,
                                menu, instance, nullptr);
  if (!hwnd) {
    UniqueMenu orphan(menu);
    g_mainWindow = nullptr;
    return nullptr;
  }
  OnMainWindowCreated();
  ::ShowWindow(hwnd, SW_SHOW);
  ::UpdateWindow(hwnd);
  return hwnd;
}

HWND MainWindowHandle() { return g_mainWindow; }

HWND ComponentHandle(unsigned id) {
  if (!g_mainWindow) return nullptr;
  if (id == ids::主窗口) return g_mainWindow;
  return ::GetDlgItem(g_mainWindow, static_cast<int>(id));
}

void RunMessageLoop() {
  MSG msg;
  while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
    // Tab moves between the inputs and buttons as in a dialog.
    if (g_mainWindow && ::IsDialogMessageW(g_mainWindow, &msg)) continue;
    ::TranslateMessage(&msg);
    ::DispatchMessageW(&msg);
  }
}

// --- Component operations -------------------------------------------------

Text GetComponentText(ComponentId id) {
  HWND hwnd = ComponentHandle(id);
  if (!hwnd) return Text();
  int length = ::GetWindowTextLengthW(hwnd);
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  int got = ::GetWindowTextW(hwnd, text.data(), length + 1);
  text.resize(static_cast<size_t>(got > 0 ? got : 0));
  return Narrow(text);
}

void SetComponentText(ComponentId id, std::string_view text) {
  HWND hwnd = ComponentHandle(id);
  if (!hwnd) return;
  ::SetWindowTextW(hwnd, Widen(text).c_str());
}

void SetComponentDisabled(ComponentId id, bool disabled) {
  if (HWND hwnd = ComponentHandle(id)) ::EnableWindow(hwnd, disabled ? FALSE : TRUE);
}

void SetProgressPosition(ComponentId id, int position) {
  if (HWND hwnd = ComponentHandle(id)) ::SendMessageW(hwnd, PBM_SETPOS, static_cast<WPARAM>(position), 0);
}

void SetMenuItemVisible(ComponentId id, bool visible) {
  std::lock_guard<std::mutex> lock(g_menuMutex);
  if (!g_itemsMenu) return;
  size_t index = 0;
  while (index < kMenuItems.size() && kMenuItems[index].id != id) ++index;
  if (index == kMenuItems.size() || g_menuItemVisible[index] == visible) return;
  if (visible) {
    UINT position = 0;
    for (size_t i = 0; i < index; ++i)
      if (g_menuItemVisible[i]) ++position;
    ::InsertMenuW(g_itemsMenu, position, MF_BYPOSITION | MF_STRING, id, Widen(kMenuItems[index].caption).c_str());
  } else {
    ::RemoveMenu(g_itemsMenu, id, MF_BYCOMMAND);
  }
  g_menuItemVisible[index] = visible;
  if (g_mainWindow) ::DrawMenuBar(g_mainWindow);
}
