// What loading each library the program imports costs under Wine, one after another in
// the order the loader takes them, each timed around its LoadLibrary (mapping the file
// and running its initialisation, with whatever it pulls in that is not yet loaded).
// Linked with the program's manifest by the start-up benchmark, so that the common
// controls come from the same side-by-side assembly the program gets. Writes one line
// of JSON to the file named on its command line: "entry" (milliseconds from the
// process's creation to WinMain, with only kernel32 and the C runtime loaded) and one
// figure per library.
#include <windows.h>

#include "process_clock.h"

#include <cstdio>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int) {
  const double entry = MsSinceProcessCreated();
  LARGE_INTEGER frequency, before, after;
  QueryPerformanceFrequency(&frequency);
  const wchar_t* libraries[] = {L"advapi32.dll", L"user32.dll",  L"gdi32.dll",   L"comctl32.dll",
                                L"ole32.dll",    L"shlwapi.dll", L"gdiplus.dll", L"shell32.dll",
                                L"ws2_32.dll",   L"wininet.dll", L"winmm.dll"};
  double spent[sizeof libraries / sizeof *libraries];
  for (size_t i = 0; i < sizeof libraries / sizeof *libraries; ++i) {
    QueryPerformanceCounter(&before);
    if (!LoadLibraryW(libraries[i])) return 1;
    QueryPerformanceCounter(&after);
    spent[i] = (after.QuadPart - before.QuadPart) * 1000.0 / frequency.QuadPart;
  }
  FILE* out = fopen(commandLine, "w");
  if (!out) return 1;
  fprintf(out, "{\"entry\": %.3f", entry);
  for (size_t i = 0; i < sizeof libraries / sizeof *libraries; ++i) fprintf(out, ", \"%ls\": %.3f", libraries[i], spent[i]);
  fputs("}\n", out);
  fclose(out);
  return 0;
}
