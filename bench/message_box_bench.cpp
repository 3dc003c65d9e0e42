// Figures for the skinned message box (not a test: it prints, it never fails):
//  - how long ZoomInShow and ZoomOutClose take against their 320 and 480 ms plans,
//  - the time of one Present of a box whose image is cached,
//  - GDI and USER object counts before and after showing and closing 50 boxes.
// Runs with the program's real engine start-up (embedded picture, theme, fonts).
//   message_box_bench.exe [--save <png>]   also saves one composed box image
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

#include "base/process_state.h"
#include "gdiplus/gdip_objects.h"
#include "uiengine/render/box_drawing.h"
#include "uiengine/render/engine_startup.h"
#include "uiengine/render/skinned_message_box.h"

namespace {

double NowMs() {
  static LARGE_INTEGER frequency = [] {
    LARGE_INTEGER f;
    ::QueryPerformanceFrequency(&f);
    return f;
  }();
  LARGE_INTEGER now;
  ::QueryPerformanceCounter(&now);
  return now.QuadPart * 1000.0 / frequency.QuadPart;
}

void Pump() {
  MSG msg;
  while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    ::TranslateMessage(&msg);
    ::DispatchMessageW(&msg);
  }
}

struct Summary {
  double min, median, max;
};
Summary Summarise(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return {v.front(), v[v.size() / 2], v.back()};
}
void Print(const char* what, const Summary& s, const char* plan) {
  std::printf("%-34s min %7.1f  median %7.1f  max %7.1f ms   %s\n", what, s.min, s.median, s.max, plan);
}

void Show(SkinnedMessageBox& box) { box.ShowMessageBox(nullptr, false, "恭喜", "当前已近是最新版本", MB_ICONINFORMATION, 0); }

// Closes the box as a click on OK does: hover, press, release, then the posted WM_CLOSE.
void ClickOk(SkinnedMessageBox& box) {
  HWND hwnd = box.hwnd();
  const int x = SkinnedMessageBox::kWidth - 50, y = SkinnedMessageBox::kHeight - 20;
  ::SendMessageW(hwnd, WM_MOUSEMOVE, 0, MAKELPARAM(x, y));
  ::SendMessageW(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
  ::SendMessageW(hwnd, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
  Pump();
}

struct Objects {
  DWORD gdi, user;
};

// Wine answers GetGuiResources with 0. Its handle tables accept a handle's low 16
// bits alone, so there the live objects can be counted by trying every index.
DWORD SweepGdiObjects() {
  DWORD n = 0;
  for (UINT_PTR i = 1; i <= 0xFFFF; ++i)
    if (::GetObjectType(reinterpret_cast<HGDIOBJ>(i))) ++n;
  return n;
}
DWORD SweepUserObjects() {
  DWORD n = 0, pid = ::GetCurrentProcessId();
  for (UINT_PTR i = 1; i <= 0xFFFF; ++i) {
    HWND hwnd = reinterpret_cast<HWND>(i);
    DWORD owner = 0;
    if (::IsWindow(hwnd) && ::GetWindowThreadProcessId(hwnd, &owner) && owner == pid) ++n;
    else if (::IsMenu(reinterpret_cast<HMENU>(i))) ++n;
  }
  return n;
}

// Private bytes: GDI+ objects are no GDI handles, a leak of theirs shows here.
double PrivateMegabytes() {
  PROCESS_MEMORY_COUNTERS counters = {sizeof(counters)};
  ::GetProcessMemoryInfo(::GetCurrentProcess(), &counters, sizeof(counters));
  return counters.PagefileUsage / (1024.0 * 1024.0);
}

bool g_swept = false;
Objects Count() {
  Objects o = {::GetGuiResources(::GetCurrentProcess(), GR_GDIOBJECTS),
               ::GetGuiResources(::GetCurrentProcess(), GR_USEROBJECTS)};
  if (o.gdi == 0 && o.user == 0) {
    g_swept = true;
    o = {SweepGdiObjects(), SweepUserObjects()};
  }
  return o;
}

void SaveBoxImage(const char* path) {
  BoxContent content;
  content.title = "恭喜";
  content.message = "当前已近是最新版本";
  content.iconKind = MB_ICONINFORMATION;
  gdip::Bitmap image;
  ComposeBoxBackground(image, content, CurrentBoxTheme());
  bool ok = image.SaveToFile(path, gdip::kFormatPng);
  std::printf("saved the composed box to %s: %s\n", path, ok ? "ok" : "FAILED");
}

}  // namespace

int main(int argc, char** argv) {
  InitProcessState();
  StartUiEngine();
  for (int i = 1; i + 1 < argc; ++i)
    if (std::strcmp(argv[i], "--save") == 0) SaveBoxImage(argv[i + 1]);

  SkinnedMessageBox& box = *ProcessMessageBox();
  Pump();
  const Objects before = Count();

  std::vector<double> shows, zoomIns, zoomOuts, presents;
  for (int round = 0; round < 5; ++round) {
    double t = NowMs();
    Show(box);
    shows.push_back(NowMs() - t);
    Pump();
    t = NowMs();
    box.ZoomInShow();  // replays the effect on the open box
    zoomIns.push_back(NowMs() - t);
    for (int i = 0; i < 40; ++i) {
      t = NowMs();
      box.Present();
      presents.push_back(NowMs() - t);
    }
    t = NowMs();
    box.ZoomOutClose();
    zoomOuts.push_back(NowMs() - t);
    ::DestroyWindow(box.hwnd());
    Pump();
  }
  std::printf("skinned message box, 405 x 175, 5 rounds\n");
  Print("ShowMessageBox (create + ZoomIn)", Summarise(shows), "plan: 320 ms of frames");
  Print("ZoomInShow", Summarise(zoomIns), "plan: 8 x 30 + 4 x 20 = 320 ms");
  Print("ZoomOutClose", Summarise(zoomOuts), "plan: 16 x 30 = 480 ms");
  Print("Present (cached image)", Summarise(presents), "200 presents");

  const Objects afterFirst = Count();
  const double memoryBefore = PrivateMegabytes();
  Show(box);
  const Objects whileOpen = Count();
  ClickOk(box);
  for (int i = 0; i < 50; ++i) {
    Show(box);
    ClickOk(box);
  }
  const Objects after = Count();
  const double memoryAfter = PrivateMegabytes();
  std::printf("GDI objects:  before %lu, after 5 rounds %lu, while a box is open %lu, after 50 more boxes %lu\n",
              before.gdi, afterFirst.gdi, whileOpen.gdi, after.gdi);
  std::printf("USER objects: before %lu, after 5 rounds %lu, while a box is open %lu, after 50 more boxes %lu\n",
              before.user, afterFirst.user, whileOpen.user, after.user);
  std::printf("private memory: %.1f MB before the 50 boxes, %.1f MB after\n", memoryBefore, memoryAfter);
  if (g_swept) std::printf("(GetGuiResources answered 0: counted by sweeping the handle tables)\n");
  std::printf("box still open after the clicks: %s\n", box.hwnd() ? "yes (wrong)" : "no");
  RunExitStep();
  return 0;
}
