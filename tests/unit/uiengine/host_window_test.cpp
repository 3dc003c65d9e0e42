#include <gtest/gtest.h>

#include "base/unique_handle.h"
#include "uiengine/core/event_dispatch.h"
#include "uiengine/core/host_window.h"

namespace {

TEST(HostWindowClass, RegisteredOnceWithItsFields) {
  EXPECT_EQ(0, RegisterHostWindowClass());
  EXPECT_EQ(0, RegisterHostWindowClass());
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  ASSERT_TRUE(::GetClassInfoExW(::GetModuleHandleW(nullptr), L"Mywindow", &wc)) << "class names ignore case";
  EXPECT_EQ(static_cast<UINT>(CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS), wc.style);
  EXPECT_EQ(0x0Bu, wc.style);
  EXPECT_EQ(reinterpret_cast<HBRUSH>(16), wc.hbrBackground);
  EXPECT_NE(nullptr, wc.hCursor);
  EXPECT_EQ(0, wc.cbClsExtra);
  EXPECT_EQ(0, wc.cbWndExtra);
  EXPECT_EQ(ControlHost, wc.lpfnWndProc);
}

TEST(HostWindowClass, CreateTogglesTheVisibleBit) {
  RegisterHostWindowClass();
  HostWindow box;
  UniqueWindow hidden(box.Create("恭喜", 405, 175, nullptr, nullptr, 0x9604004C));
  ASSERT_TRUE(hidden.valid());
  EXPECT_EQ(hidden.get(), box.Handle());
  EXPECT_FALSE(::IsWindowVisible(hidden.get()));
  LONG style = ::GetWindowLongW(hidden.get(), GWL_STYLE);
  EXPECT_EQ(0u, static_cast<DWORD>(style) & WS_VISIBLE);
  EXPECT_NE(0u, static_cast<DWORD>(style) & WS_POPUP);
  WCHAR title[16] = {};
  ::GetWindowTextW(hidden.get(), title, 16);
  EXPECT_STREQ(L"恭喜", title);
  RECT r;
  ::GetWindowRect(hidden.get(), &r);
  EXPECT_EQ(405, r.right - r.left);
  EXPECT_EQ(175, r.bottom - r.top);

  HostWindow shown;
  UniqueWindow visible(shown.Create("x", 50, 50, nullptr, nullptr, WS_POPUP));
  EXPECT_TRUE(::IsWindowVisible(visible.get()));
}

TEST(HostWindowClass, OneMainWindowAtATime) {
  RegisterHostWindowClass();
  HostWindow first, second;
  UniqueWindow main(first.Create("main", 50, 50, nullptr, nullptr, WS_OVERLAPPEDWINDOW, true));
  ASSERT_TRUE(main.valid());
  EXPECT_EQ(reinterpret_cast<HWND>(-1), second.Create("again", 50, 50, nullptr, nullptr, 0, true));
  {
    HostWindow ordinary;
    UniqueWindow gone(ordinary.Create("ordinary", 50, 50, nullptr, nullptr, 0));
    ASSERT_TRUE(gone.valid());
  }
  EXPECT_EQ(reinterpret_cast<HWND>(-1), second.Create("again", 50, 50, nullptr, nullptr, 0, true))
      << "another window going away leaves the main window's role alone";
  main.reset();
  UniqueWindow next(second.Create("again", 50, 50, nullptr, nullptr, 0, true));
  EXPECT_TRUE(next.valid()) << "the first main window is gone";
}

TEST(HostWindowClass, EveryMessageEndsInTheDefaultProcedure) {
  RegisterHostWindowClass();
  HostWindow host;
  UniqueWindow w(host.Create("t", 50, 50, nullptr, nullptr, WS_OVERLAPPEDWINDOW));
  // WM_SETTEXT and WM_GETTEXT are answered by the default procedure.
  ::SendMessageW(w.get(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"新标题"));
  WCHAR text[16] = {};
  EXPECT_EQ(3, ::SendMessageW(w.get(), WM_GETTEXT, 16, reinterpret_cast<LPARAM>(text)));
  EXPECT_STREQ(L"新标题", text);
  // A handler-starting message is not consumed either.
  EXPECT_EQ(::DefWindowProcW(w.get(), WM_SIZE, 0, 0), ControlHost(w.get(), WM_SIZE, 0, 0));
}

}  // namespace
