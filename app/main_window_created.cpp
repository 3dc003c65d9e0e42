#include "app/components.h"
#include "app/event_handlers.h"
#include "app/main_window_layout.h"
#include "app/skin_attachment.h"
#include "app/update_check.h"

// Runs once the window and all its components exist, before the message loop:
// input is not handled until the server version has been fetched or the fetch failed.
void OnMainWindowCreated() {
  SetComponentText(ids::主窗口, kMainWindowTitle);
  AttachSkin(10);
  EnableSkinAero();
  SetMenuItemVisible(ids::删除桌面图标, false);
  FetchServerVersion();
}
