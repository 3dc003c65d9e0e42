// The main window's components by identifier, and the component operations through
// which the commands read and change the window. The main window implements them
// and the program's entry point hands them to the commands, so a command knows no
// window class. Any thread may call them.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string_view>

#include "base/text.h"

using ComponentId = uint32_t;

namespace ids {
constexpr ComponentId 主窗口 = 0x06010000;  // the window itself (its title)
constexpr ComponentId 本地版本 = 0x1601011B;
constexpr ComponentId 服务器版本 = 0x1601011A;
constexpr ComponentId 状态 = 0x16010095;
constexpr ComponentId 按钮_停止 = 0x16010039;
constexpr ComponentId 进度条1 = 0x16010027;
constexpr ComponentId 透明标签7 = 0x1601001A;
constexpr ComponentId 透明标签6 = 0x16010019;
constexpr ComponentId 透明标签5 = 0x16010018;
constexpr ComponentId 透明标签4 = 0x16010017;
constexpr ComponentId 透明标签3 = 0x16010016;
constexpr ComponentId 透明标签2 = 0x16010015;
constexpr ComponentId 透明标签1 = 0x16010014;
constexpr ComponentId 编辑框_地址 = 0x16010013;
constexpr ComponentId 格式 = 0x16010012;
constexpr ComponentId 名字 = 0x16010011;
constexpr ComponentId 硬盘 = 0x1601000F;
constexpr ComponentId 按钮_下载 = 0x16010002;

// Menu bar entry and its items.
constexpr ComponentId 菜单 = 0x26010107;
constexpr ComponentId 创建桌面图标 = 0x26010108;
constexpr ComponentId 删除桌面图标 = 0x26010110;
constexpr ComponentId 在线更新 = 0x26010112;
}  // namespace ids

class Components {
 public:
  virtual Text GetComponentText(ComponentId id) = 0;
  // On the window's own identifier this sets the window title.
  virtual void SetComponentText(ComponentId id, std::string_view text) = 0;
  virtual void SetComponentDisabled(ComponentId id, bool disabled) = 0;
  virtual void SetProgressPosition(ComponentId id, int position) = 0;
  // false removes the item from its menu; true puts it back at its place.
  virtual void SetMenuItemVisible(ComponentId id, bool visible) = 0;
  // The window itself, to own the boxes a command shows; null once it is gone.
  virtual HWND WindowHandle() const = 0;

 protected:
  ~Components() = default;
};
