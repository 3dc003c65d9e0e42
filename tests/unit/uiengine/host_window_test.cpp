#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <vector>

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
  UniqueWindow hidden(box.Create("恭喜", 405, 175, nullptr, nullptr, WS_POPUP | WS_VISIBLE));
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

// The owner sees its window's messages from WM_NCCREATE on, answers some itself and
// hands the rest on; from WM_NCDESTROY on it is unbound and sees nothing more.
struct RecordingOwner : HostWindowOwner {
  std::vector<UINT> seen;
  std::optional<LRESULT> OnHostMessage(HWND, UINT message, WPARAM, LPARAM) override {
    seen.push_back(message);
    if (message == WM_GETTEXTLENGTH) return 42;
    return std::nullopt;
  }
};

TEST(HostWindowClass, TheOwnerIsBoundFromCreationToDestruction) {
  RegisterHostWindowClass();
  RecordingOwner owner;
  HostWindow host;
  UniqueWindow w(host.Create("t", 50, 50, nullptr, nullptr, WS_POPUP, &owner));
  ASSERT_TRUE(w.valid());
  ASSERT_FALSE(owner.seen.empty());
  EXPECT_EQ(owner.seen.front(), static_cast<UINT>(WM_NCCREATE));
  EXPECT_EQ(::SendMessageW(w.get(), WM_GETTEXTLENGTH, 0, 0), 42) << "answered by the owner";
  EXPECT_EQ(::SendMessageW(w.get(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"abc")), TRUE) << "handed on";
  EXPECT_EQ(owner.seen.back(), static_cast<UINT>(WM_SETTEXT));
  WCHAR text[8] = {};
  ::GetWindowTextW(w.get(), text, 8);  // the text was kept by the default procedure
  EXPECT_STREQ(L"abc", text);

  HWND hwnd = w.get();
  w.reset();
  EXPECT_FALSE(::IsWindow(hwnd));
  EXPECT_NE(std::find(owner.seen.begin(), owner.seen.end(), static_cast<UINT>(WM_DESTROY)), owner.seen.end());
  EXPECT_EQ(std::find(owner.seen.begin(), owner.seen.end(), static_cast<UINT>(WM_NCDESTROY)), owner.seen.end());

  // A window made without an owner runs on the dispatcher and the default procedure alone.
  HostWindow plain;
  UniqueWindow p(plain.Create("t", 50, 50, nullptr, nullptr, WS_POPUP));
  EXPECT_EQ(::SendMessageW(p.get(), WM_GETTEXTLENGTH, 0, 0), 1);
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
