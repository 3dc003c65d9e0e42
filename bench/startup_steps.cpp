// The program's start-up, step by step, with a clock between the steps: the same
// calls in the same order as app/main.cpp, linked against the same libraries, so that
// the start-up benchmark can say where the time before the window shows goes. Writes
// one line of JSON (milliseconds since the process was created) to the file named on
// its command line once the window is shown, then runs as the program does until
// closed. The version fetch is left out: this is the build without an update server.
#include <windows.h>
#include <ole2.h>

#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "base/lazy_binding.h"
#include "base/process_state.h"
#include "base/window_thread.h"
#include "bench/process_clock.h"
#include "commands/shortcut_commands.h"
#include "commands/skin_attachment.h"
#include "commands/update_check.h"
#include "download/download_commands.h"
#include "uiengine/core/host_window.h"
#include "uiengine/render/engine_startup.h"
#include "window/main_window.h"

namespace {

LARGE_INTEGER g_freq, g_entry;
double g_beforeEntryMs = 0;
std::vector<std::pair<const char*, double>> g_marks;

double NowMs() {
  LARGE_INTEGER now;
  ::QueryPerformanceCounter(&now);
  return g_beforeEntryMs + (now.QuadPart - g_entry.QuadPart) * 1000.0 / g_freq.QuadPart;
}

void Mark(const char* step) { g_marks.emplace_back(step, NowMs()); }

// The moment the main window begins to be created: its first creation hook.
HHOOK g_cbt = nullptr;
LRESULT CALLBACK OnCbt(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HCBT_CREATEWND && g_cbt) {
    Mark("common controls, main window class");
    ::UnhookWindowsHookEx(std::exchange(g_cbt, nullptr));
  }
  return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

void Write(const wchar_t* path) {
  FILE* f = _wfopen(path, L"w");
  if (!f) return;
  fputc('{', f);
  for (size_t i = 0; i < g_marks.size(); ++i) fprintf(f, "%s\"%s\": %.3f", i ? ", " : "", g_marks[i].first, g_marks[i].second);
  fputs("}\n", f);
  fclose(f);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR commandLine, int) {
  ::QueryPerformanceFrequency(&g_freq);
  ::QueryPerformanceCounter(&g_entry);
  g_beforeEntryMs = MsSinceProcessCreated();
  Mark("entry");
  HRESULT ole = ::OleInitialize(nullptr);
  InitProcessState();
  Mark("ole, process state");
  // The UI engine's start-up as StartUiEngine runs it, GDI+'s library apart.
  InitGlobals();
  RegisterExitStep(ReleaseGlobals);
  RegisterHostWindowClass();
  Mark("engine objects, window class");
  ::LoadLibraryW(L"gdiplus.dll");  // bound on first use by the program: the same load, counted apart
  Mark("gdiplus loaded");
  InitThemeDefaults();
  Mark("theme (GDI+ start, font, picture, cache)");
  window_thread::Start();
  Mark("window thread");
  MainWindow& window = *new MainWindow();
  // The program's commands, so that the same code and libraries are linked in.
  MainWindowCommands commands;
  commands.download = [&window] { OnDownloadClicked(window); };
  commands.stop = [&window] { OnStopClicked(window); };
  commands.createShortcut = [&window] { OnCreateShortcutSelected(window); };
  commands.deleteShortcut = [&window] { OnDeleteShortcutSelected(window); };
  commands.onlineUpdate = [&window] { OnOnlineUpdateSelected(window); };
  commands.created = [&window] {
    Mark("main window, components, menu created");
    window.SetComponentText(ids::主窗口, kMainWindowTitle);
    EnsureSkinLibraryFile();
    TryBindFunction("SkinH_EL.dll", "SkinH_AttachRes");
    TryBindFunction("SkinH_EL.dll", "SkinH_SetAero");
    Mark("skin library bound");
    AttachSkin(10);
    Mark("skin attached");
    EnableSkinAero();
    window.SetMenuItemVisible(ids::删除桌面图标, false);
    Mark("aero, menu state");
  };
  g_cbt = ::SetWindowsHookExW(WH_CBT, OnCbt, nullptr, ::GetCurrentThreadId());
  if (!window.Load(instance, std::move(commands))) return 1;
  Mark("shown and painted");
  Write(commandLine);
  window.RunMessageLoop();
  RunExitStep();
  if (SUCCEEDED(ole)) ::OleUninitialize();
  return 0;
}
