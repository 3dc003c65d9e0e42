// The program's one form: an object that owns its window, its menu and the state
// of its menu items, and implements the component operations. What its buttons and
// menu items do comes from the table of commands the program's entry point gives it.
#pragma once

#include <windows.h>

#include <atomic>
#include <functional>

#include "base/components.h"
#include "base/display_scale.h"
#include "window/main_window_layout.h"
#include "window/main_window_scale.h"

// Each runs on the window thread.
struct MainWindowCommands {
  std::function<void()> created;         // every component exists; the window is not shown yet
  // The slow part of the start-up, when there is one: runs once the window is on the
  // screen with its inputs greyed; they take input when it returns.
  std::function<void()> shown;
  std::function<void()> download;        // 按钮_下载
  std::function<void()> stop;            // 按钮_停止
  std::function<void()> createShortcut;  // 创建桌面图标
  std::function<void()> deleteShortcut;  // 删除桌面图标
  std::function<void()> onlineUpdate;    // 在线更新
};

class MainWindow final : public Components {
 public:
  MainWindow() = default;
  MainWindow(const MainWindow&) = delete;
  MainWindow& operator=(const MainWindow&) = delete;
  ~MainWindow();

  // Creates the window with all its components, runs `created`, shows it, runs
  // `shown` and gives the first input the focus. False when the window cannot be
  // created.
  bool Load(HINSTANCE instance, MainWindowCommands commands);
  // Runs the message loop until the window is closed.
  void RunMessageLoop();

  // The child window of a component, or the window for its own identifier; null
  // once the window is gone.
  HWND ComponentHandle(ComponentId id) const;

  Text GetComponentText(ComponentId id) override;
  void SetComponentText(ComponentId id, std::string_view text) override;
  void SetComponentDisabled(ComponentId id, bool disabled) override;
  void SetProgressPosition(ComponentId id, int position) override;
  void SetMenuItemVisible(ComponentId id, bool visible) override;
  HWND WindowHandle() const override { return hwnd_.load(); }

 private:
  static LRESULT CALLBACK StaticProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
  LRESULT HandleMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
  void OnCommand(WPARAM wParam, LPARAM lParam);
  HMENU BuildMenuBar();
  // Window thread: the menu changes there only, so no thread holds anything while
  // the menu bar is redrawn.
  void ApplyMenuItemVisible(ComponentId id, bool visible);
  void SetInputsEnabled(bool enabled);
  void FocusFirstInput();

  std::atomic<HWND> hwnd_{nullptr};  // cleared when the window is destroyed
  HMENU itemsMenu_ = nullptr;        // the drop-down "菜单", owned by the window's menu bar
  bool menuItemVisible_[kMenuItems.size()] = {true, true, true};
  MainWindowCommands commands_;
  int dpi_ = kBaseDpi;   // the DPI the window is laid out for (window thread)
  ComponentFont font_;   // the components' font at that DPI
  HWND lastFocus_ = nullptr;  // the component that had the focus when the window was left
};
