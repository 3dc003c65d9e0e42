#include <windows.h>

#include "app/components.h"
#include "app/desktop_shortcut.h"
#include "app/event_handlers.h"
#include "base/codepage.h"
#include "base/process_state.h"

// Neither command shows a message: whatever happens to the file, the menu
// switches to offer the other command.

void OnCreateShortcutSelected() {
  const Text link = ShortcutPath();
  const Text target = JoinTexts({ProgramFolder(), "\\", ExecutableFileName()});
  CreateShortcutFile(link, target, "岚石万能下载工具", "auto", ProgramFolder());
  SetMenuItemVisible(ids::创建桌面图标, false);
  SetMenuItemVisible(ids::删除桌面图标, true);
}

void OnDeleteShortcutSelected() {
  ::DeleteFileW(Widen(ShortcutPath()).c_str());
  SetMenuItemVisible(ids::创建桌面图标, true);
  SetMenuItemVisible(ids::删除桌面图标, false);
}
