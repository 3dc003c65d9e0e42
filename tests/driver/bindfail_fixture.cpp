// Registers an exit step that leaves a marker file, then calls a function of a
// library that does not exist: the binding must end the process with the fatal
// error box and exit code -1, and the exit step must not run.
#include <windows.h>

#include "base/lazy_binding.h"
#include "base/process_state.h"

namespace {
void LeaveMarker() {
  HANDLE f = ::CreateFileW(L"exit_step_ran.txt", GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (f != INVALID_HANDLE_VALUE) ::CloseHandle(f);
}
LazyFunction<int __stdcall(int)> g_missing{"NoSuchSkinLibrary.dll", "SkinH_SetAero"};
}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  InitProcessState();
  RegisterExitStep(LeaveMarker);
  g_missing(1);
  RunExitStep();
  return 0;
}
