// The menu items 创建桌面图标 and 删除桌面图标.
#pragma once

#include "base/components.h"

void OnCreateShortcutSelected(Components& window);
void OnDeleteShortcutSelected(Components& window);
