// The main window's form: every component with its place, size and first content.
#pragma once

#include <array>
#include <cstdint>

#include "base/components.h"
#include "program_version.h"

enum class ComponentKind { Label, TransparentLabel, Button, ProgressBar, EditBox };

struct ComponentSpec {
  const char* name;
  ComponentId id;
  ComponentKind kind;
  int x, y, width, height;
  bool visible;
  bool tabStop;
  const char* text;
};

constexpr int kMainWindowWidth = 469;
constexpr int kMainWindowHeight = 298;
constexpr uint32_t kStatusTextColour = 0x0000FF;  // COLORREF, red
constexpr uint32_t kHintTextColour = 0x000000;
constexpr int kProgressMaximum = 10000;
constexpr const char* kMainWindowTitle = "岚石万能下载工具 v1.0 beta 1";

// In the order the form stores them (creation order).
constexpr std::array<ComponentSpec, 17> kComponents = {{
    {"本地版本", ids::本地版本, ComponentKind::Label, 416, 160, 32, 16, false, false, "V" LANSHI_VERSION_TEXT},
    {"服务器版本", ids::服务器版本, ComponentKind::Label, 408, 200, 24, 24, false, false, ""},
    {"状态", ids::状态, ComponentKind::TransparentLabel, 8, 120, 384, 80, true, false, "就绪"},
    {"按钮_停止", ids::按钮_停止, ComponentKind::Button, 91, 202, 80, 40, true, true, "停止"},
    {"进度条1", ids::进度条1, ComponentKind::ProgressBar, 176, 205, 213, 32, true, false, ""},
    {"透明标签7", ids::透明标签7, ComponentKind::TransparentLabel, 216, 72, 248, 24, true, false,
     "提示:如果你下载的文件是exe格式的,如\".exe\""},
    {"透明标签6", ids::透明标签6, ComponentKind::TransparentLabel, 216, 48, 264, 24, true, false,
     "提示:下载的文件的名字自定义,如\"我的文件\""},
    {"透明标签5", ids::透明标签5, ComponentKind::TransparentLabel, 216, 21, 240, 24, true, false,
     "提示:下载到\"E\"盘,只需输入\"E\"不分大小写"},
    {"透明标签4", ids::透明标签4, ComponentKind::TransparentLabel, 8, 22, 125, 24, true, false,
     "请输入下载到那个硬盘:"},
    {"透明标签3", ids::透明标签3, ComponentKind::TransparentLabel, 8, 46, 88, 24, true, false, "请输入文件名:"},
    {"透明标签2", ids::透明标签2, ComponentKind::TransparentLabel, 8, 72, 88, 24, true, false, "请输入文件格式:"},
    {"透明标签1", ids::透明标签1, ComponentKind::TransparentLabel, 8, 98, 104, 24, true, false, "请输入下载地址:"},
    {"编辑框_地址", ids::编辑框_地址, ComponentKind::EditBox, 144, 96, 216, 24, true, true, ""},
    {"格式", ids::格式, ComponentKind::EditBox, 144, 72, 40, 24, true, true, ""},
    {"名字", ids::名字, ComponentKind::EditBox, 144, 46, 64, 24, true, true, ""},
    {"硬盘", ids::硬盘, ComponentKind::EditBox, 144, 22, 24, 24, true, true, ""},
    {"按钮_下载", ids::按钮_下载, ComponentKind::Button, 5, 202, 80, 40, true, true, "下载"},
}};

// The tab stops in reading order, top to bottom and left to right: the order Tab
// walks them (the form stores them bottom-up). The first has the focus at start.
constexpr std::array<ComponentId, 6> kTabOrder = {
    {ids::硬盘, ids::名字, ids::格式, ids::编辑框_地址, ids::按钮_下载, ids::按钮_停止}};

struct MenuItemSpec {
  ComponentId id;
  const char* caption;
};
constexpr const char* kMenuBarCaption = "菜单";
constexpr std::array<MenuItemSpec, 3> kMenuItems = {{
    {ids::创建桌面图标, "创建桌面图标  "},
    {ids::删除桌面图标, "删除桌面图标  "},
    {ids::在线更新, "在线更新"},
}};

const ComponentSpec* FindComponentSpec(ComponentId id);

// The menu item a WM_COMMAND chooses, or 0. Menus and accelerators send lParam 0;
// Windows documents only the low word of wParam (an accelerator sets the high word to
// 1) and Wine passes a menu item's whole 32-bit identifier, so only the low word counts.
constexpr ComponentId MenuItemOfCommand(uintptr_t wParam, intptr_t lParam) {
  if (lParam != 0) return 0;
  for (const MenuItemSpec& item : kMenuItems)
    if ((item.id & 0xFFFF) == (wParam & 0xFFFF)) return item.id;
  return 0;
}
