// The yardstick for the start-up benchmark: the least a Win32 program does to show a
// window with the program's title (register a class, create, show, run messages).
// Built with WITH_PROGRAM_IMPORTS it also imports the libraries the program imports
// (one function of each, never called), to weigh what loading them costs.
// Given a file name on its command line, it writes there (as JSON, milliseconds since
// its process was created) when it reached WinMain and when its window was shown.
#ifdef WITH_PROGRAM_IMPORTS
#include <winsock2.h>
#endif
#include <windows.h>

#include "process_clock.h"

#include <cstdio>

#ifdef WITH_PROGRAM_IMPORTS
#include <commctrl.h>
#include <ole2.h>
#include <shellapi.h>
#include <shlwapi.h>
#include <wininet.h>

extern "C" int WINAPI GdiplusStartup(ULONG_PTR*, const void*, void*);

__attribute__((used)) void* volatile g_imports[] = {
    reinterpret_cast<void*>(&InitCommonControlsEx), reinterpret_cast<void*>(&GdiplusStartup),
    reinterpret_cast<void*>(&OleInitialize),        reinterpret_cast<void*>(&ShellExecuteW),
    reinterpret_cast<void*>(&PathFileExistsW),      reinterpret_cast<void*>(&InternetOpenW),
    reinterpret_cast<void*>(&WSAStartup),           reinterpret_cast<void*>(&timeBeginPeriod),
    reinterpret_cast<void*>(&RegOpenKeyExW),        reinterpret_cast<void*>(&CreateFontW),
};
#endif

static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_DESTROY) {
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcW(hwnd, msg, wp, lp);
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
  const double entry = *commandLine ? MsSinceProcessCreated() : 0;
  WNDCLASSW wc = {};
  wc.lpfnWndProc = Proc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorW(nullptr, (LPCWSTR)IDC_ARROW);
  wc.hbrBackground = (HBRUSH)(COLOR_BTNFACE + 1);
  wc.lpszClassName = L"MinimalWindow";
  RegisterClassW(&wc);
  HWND hwnd = CreateWindowExW(0, L"MinimalWindow", L"岚石万能下载工具 v1.0 beta 1", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                              CW_USEDEFAULT, 469, 298, nullptr, nullptr, instance, nullptr);
  ShowWindow(hwnd, SW_SHOW);
  UpdateWindow(hwnd);
  if (*commandLine) {
    const double shown = MsSinceProcessCreated();
    if (FILE* f = fopen(commandLine, "w")) {
      fprintf(f, "{\"entry\": %.3f, \"shown and painted\": %.3f}\n", entry, shown);
      fclose(f);
    }
  }
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return 0;
}
