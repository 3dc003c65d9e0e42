// The main window object on its own, with a table of commands made by the test.
#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <thread>
#include <vector>

#include "base/window_thread.h"
#include "window/main_window.h"

namespace {

void PumpMessages() {
  MSG msg;
  while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    ::TranslateMessage(&msg);
    ::DispatchMessageW(&msg);
  }
}

// The identifiers of the drop-down's items, in their order (low words: what a menu keeps).
std::vector<unsigned> MenuItemsShown(HWND window) {
  HMENU items = ::GetSubMenu(::GetMenu(window), 0);
  std::vector<unsigned> shown;
  for (int i = 0; i < ::GetMenuItemCount(items); ++i) shown.push_back(LOWORD(::GetMenuItemID(items, i)));
  return shown;
}

TEST(MainWindow, CreatedRunsWithEveryComponentBeforeTheWindowShows) {
  MainWindow window;
  int runs = 0;
  MainWindowCommands commands;
  commands.created = [&] {
    ++runs;
    EXPECT_FALSE(::IsWindowVisible(window.WindowHandle()));
    for (const ComponentSpec& c : kComponents) EXPECT_NE(window.ComponentHandle(c.id), nullptr) << c.name;
  };
  ASSERT_TRUE(window.Load(::GetModuleHandleW(nullptr), commands));
  EXPECT_EQ(runs, 1);
  EXPECT_TRUE(::IsWindowVisible(window.WindowHandle()));
}

TEST(MainWindow, ShownRunsOnTheScreenWithTheInputsGreyedAndTabWalksThemInReadingOrder) {
  MainWindow window;
  int runs = 0;
  MainWindowCommands commands;
  commands.shown = [&] {
    ++runs;
    EXPECT_TRUE(::IsWindowVisible(window.WindowHandle()));
    for (ComponentId id : kTabOrder) EXPECT_FALSE(::IsWindowEnabled(window.ComponentHandle(id))) << id;
  };
  ASSERT_TRUE(window.Load(::GetModuleHandleW(nullptr), commands));
  EXPECT_EQ(runs, 1);
  for (ComponentId id : kTabOrder) EXPECT_TRUE(::IsWindowEnabled(window.ComponentHandle(id))) << id;
  EXPECT_EQ(::GetFocus(), window.ComponentHandle(ids::硬盘));
  // The dialog manager's own walk, both ways round.
  const HWND hwnd = window.WindowHandle();
  const size_t n = kTabOrder.size();
  for (size_t i = 0; i < n; ++i) {
    EXPECT_EQ(::GetNextDlgTabItem(hwnd, window.ComponentHandle(kTabOrder[i]), FALSE),
              window.ComponentHandle(kTabOrder[(i + 1) % n])) << i;
    EXPECT_EQ(::GetNextDlgTabItem(hwnd, window.ComponentHandle(kTabOrder[(i + 1) % n]), TRUE),
              window.ComponentHandle(kTabOrder[i])) << i;
  }
}

TEST(MainWindow, MenuItemsSwitchedFromAWorkerAndTheWindowThreadAtOnceNeverHang) {
  ASSERT_TRUE(window_thread::Start());  // the test's thread is the window thread, as in the program
  MainWindow window;
  ASSERT_TRUE(window.Load(::GetModuleHandleW(nullptr), {}));
  // Redrawing the menu bar needs the window thread: a worker that held anything the
  // window thread waits for while it redraws would hang both.
  std::atomic<bool> done{false};
  std::thread worker([&] {
    for (int i = 0; i < 200; ++i) window.SetMenuItemVisible(ids::删除桌面图标, i % 2 == 1);
    done = true;
  });
  const DWORD start = ::GetTickCount();
  for (int i = 0; !done && ::GetTickCount() - start < 30000; ++i) {
    window.SetMenuItemVisible(ids::创建桌面图标, i % 2 == 1);
    PumpMessages();
  }
  if (!done) {
    worker.detach();
    FAIL() << "the worker never finished switching the menu";
  }
  worker.join();
  window.SetMenuItemVisible(ids::创建桌面图标, true);
  // Each item back at its own place whatever order the switches came in.
  EXPECT_EQ(MenuItemsShown(window.WindowHandle()),
            (std::vector<unsigned>{LOWORD(ids::创建桌面图标), LOWORD(ids::删除桌面图标), LOWORD(ids::在线更新)}));
  window.SetMenuItemVisible(ids::删除桌面图标, false);
  EXPECT_EQ(MenuItemsShown(window.WindowHandle()),
            (std::vector<unsigned>{LOWORD(ids::创建桌面图标), LOWORD(ids::在线更新)}));
}

TEST(MainWindow, OnceDestroyedItsOperationsFindNoWindow) {
  MainWindow window;
  ASSERT_TRUE(window.Load(::GetModuleHandleW(nullptr), {}));
  window.SetComponentText(ids::状态, "正在下载");
  EXPECT_EQ(window.GetComponentText(ids::状态), "正在下载");

  ::DestroyWindow(window.WindowHandle());
  PumpMessages();  // takes the quit message the window posts as it goes
  EXPECT_EQ(window.WindowHandle(), nullptr);
  EXPECT_EQ(window.ComponentHandle(ids::状态), nullptr);
  // A worker that still reports finds nothing to write to, and nothing breaks.
  std::thread worker([&] {
    window.SetComponentText(ids::状态, "就绪");
    window.SetComponentDisabled(ids::按钮_下载, false);
    window.SetProgressPosition(ids::进度条1, 5000);
    window.SetMenuItemVisible(ids::在线更新, false);
    EXPECT_EQ(window.GetComponentText(ids::状态), "");
  });
  worker.join();
}

}  // namespace
