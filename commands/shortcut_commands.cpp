#include "commands/shortcut_commands.h"

#include <windows.h>

#include "base/codepage.h"
#include "base/process_state.h"
#include "commands/desktop_shortcut.h"

// Neither command shows a message: whatever happens to the file, the menu
// switches to offer the other command.

void OnCreateShortcutSelected(Components& window) {
  const Text link = ShortcutPath();
  const Text target = JoinTexts({ProgramFolder(), "\\", ExecutableFileName()});
  CreateShortcutFile(link, target, "岚石万能下载工具", "auto", ProgramFolder());
  window.SetMenuItemVisible(ids::创建桌面图标, false);
  window.SetMenuItemVisible(ids::删除桌面图标, true);
}

void OnDeleteShortcutSelected(Components& window) {
  ::DeleteFileW(Widen(ShortcutPath()).c_str());
  window.SetMenuItemVisible(ids::创建桌面图标, true);
  window.SetMenuItemVisible(ids::删除桌面图标, false);
}
