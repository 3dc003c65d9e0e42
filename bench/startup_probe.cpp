// Starts a program as the shell does (CreateProcess, its folder as working directory)
// and times, from just before CreateProcess, two moments seen from outside: a visible
// top-level window of that process with the given title, and that window's first
// answer to a message (its thread has got through its start-up to the message loop).
// Then closes the window and waits for the process to end. One line of JSON on stdout,
// times in milliseconds.
//   startup_probe <exe> <title> [arguments for the program]
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>

namespace {

LARGE_INTEGER g_freq, g_start;

double Ms() {
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return (now.QuadPart - g_start.QuadPart) * 1000.0 / g_freq.QuadPart;
}

struct Search {
  DWORD pid;
  const wchar_t* title;
  HWND visible = nullptr;
};

BOOL CALLBACK Each(HWND hwnd, LPARAM p) {
  auto* s = reinterpret_cast<Search*>(p);
  DWORD pid = 0;
  GetWindowThreadProcessId(hwnd, &pid);
  if (pid != s->pid || !IsWindowVisible(hwnd)) return TRUE;
  wchar_t text[128] = {};
  GetWindowTextW(hwnd, text, 128);
  if (wcscmp(text, s->title)) return TRUE;
  s->visible = hwnd;
  return FALSE;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 3) return 2;
  std::wstring command = L"\"" + std::wstring(argv[1]) + L"\"";
  for (int i = 3; i < argc; ++i) command += L" " + std::wstring(argv[i]);
  std::wstring folder = argv[1];
  folder = folder.substr(0, folder.find_last_of(L"\\/"));
  STARTUPINFOW si = {sizeof(si)};
  PROCESS_INFORMATION pi = {};
  QueryPerformanceFrequency(&g_freq);
  QueryPerformanceCounter(&g_start);
  if (!CreateProcessW(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(), &si, &pi)) {
    printf("{\"error\": %lu}\n", GetLastError());
    return 1;
  }
  double visible = -1, answers = -1;
  Search s{pi.dwProcessId, argv[2]};
  while (Ms() < 60000 && WaitForSingleObject(pi.hProcess, 0) == WAIT_TIMEOUT) {
    EnumWindows(Each, reinterpret_cast<LPARAM>(&s));
    if (s.visible) {
      visible = Ms();
      DWORD_PTR result = 0;
      if (SendMessageTimeoutW(s.visible, WM_NULL, 0, 0, SMTO_NORMAL, 30000, &result)) answers = Ms();
      break;
    }
    Sleep(1);
  }
  if (s.visible) PostMessageW(s.visible, WM_CLOSE, 0, 0);
  if (WaitForSingleObject(pi.hProcess, 20000) != WAIT_OBJECT_0) TerminateProcess(pi.hProcess, 1);
  printf("{\"visible\": %.2f, \"answers\": %.2f}\n", visible, answers);
  return visible < 0;
}
