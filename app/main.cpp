// The program's entry point, and the wiring of the main window to its commands.
#include <windows.h>
#include <ole2.h>

#include "base/process_state.h"
#include "base/window_thread.h"
#include "commands/shortcut_commands.h"
#include "commands/skin_attachment.h"
#include "commands/update_check.h"
#include "download/download_commands.h"
#include "uiengine/render/engine_startup.h"
#include "window/main_window.h"

namespace {

// Runs once the window and all its components exist, before it shows.
void OnMainWindowCreated(Components& window) {
  window.SetComponentText(ids::主窗口, kMainWindowTitle);
  AttachSkin(10);
  EnableSkinAero();
  window.SetMenuItemVisible(ids::删除桌面图标, false);
}

MainWindowCommands CommandsOf(Components& window) {
  MainWindowCommands commands;
  commands.created = [&window] { OnMainWindowCreated(window); };
  // The version fetch can take seconds: the window is on the screen meanwhile, and
  // input is handled once the version has been fetched or the fetch failed.
  if (AsksUpdateServer()) commands.shown = [&window] { FetchServerVersion(window); };
  commands.download = [&window] { OnDownloadClicked(window); };
  commands.stop = [&window] { OnStopClicked(window); };
  commands.createShortcut = [&window] { OnCreateShortcutSelected(window); };
  commands.deleteShortcut = [&window] { OnDeleteShortcutSelected(window); };
  commands.onlineUpdate = [&window] { OnOnlineUpdateSelected(window); };
  return commands;
}

int ProgramMain(HINSTANCE instance) {
  HRESULT ole = ::OleInitialize(nullptr);
  InitProcessState();
  StartUiEngine();
  window_thread::Start();
  // Download threads may still reach the window until the process ends: it is never destroyed.
  MainWindow& window = *new MainWindow();
  if (!window.Load(instance, CommandsOf(window))) FatalErrorExit("载入启动窗口失败");
  window.RunMessageLoop();
  RunExitStep();
  if (SUCCEEDED(ole)) ::OleUninitialize();
  return 0;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) { return ProgramMain(instance); }
