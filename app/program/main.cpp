#include <windows.h>
#include <ole2.h>

#include "app/engine_startup.h"
#include "app/main_window.h"
#include "base/process_state.h"

namespace {

int ProgramMain(HINSTANCE instance) {
  HRESULT ole = ::OleInitialize(nullptr);
  InitProcessState();
  StartUiEngine();
  if (!LoadMainWindow(instance)) FatalErrorExit("载入启动窗口失败");
  RunMessageLoop();
  RunExitStep();
  if (SUCCEEDED(ole)) ::OleUninitialize();
  return 0;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) { return ProgramMain(instance); }
