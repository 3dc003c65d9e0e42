// Figures for the skinned message box (not a test: it prints, it never fails):
//  - how long ZoomInShow, ZoomOutClose and DropInShow take against their plans, and
//    whether every planned frame reached the window,
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
#include "uiengine/render/effect_frames.h"
#include "uiengine/render/engine_startup.h"
#include "uiengine/render/frame_recorder.h"
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

// Counts the frames each effect handed to the window.
struct FrameCounter : FrameRecorder {
  int counts[4] = {};
  void OnFrame(const FrameRecord& r) override { ++counts[static_cast<int>(r.effect)]; }
  int Take(EffectKind kind) {
    int n = counts[static_cast<int>(kind)];
    counts[static_cast<int>(kind)] = 0;
    return n;
  }
};

double PlanOf(const std::vector<EffectFrame>& frames) {
  double plan = 0;
  for (const EffectFrame& f : frames) plan += f.budgetMs;
  return plan;
}

// One effect's measured lengths against its plan, and the frames that reached the window.
void PrintEffect(const char* what, const std::vector<double>& measured, double plan, int framesEach,
                 const std::vector<int>& presented) {
  const Summary s = Summarise(measured);
  int fewest = presented.front(), most = presented.front();
  for (int n : presented) {
    fewest = std::min(fewest, n);
    most = std::max(most, n);
  }
  std::printf("%-13s plan %5.0f ms  measured min %6.1f  median %6.1f  max %6.1f ms  (%+5.1f%% .. %+5.1f%%)  "
              "frames %d..%d of %d\n",
              what, plan, s.min, s.median, s.max, 100.0 * (s.min - plan) / plan, 100.0 * (s.max - plan) / plan, fewest,
              most, framesEach);
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

  FrameCounter counter;
  SetFrameRecorder(&counter);
  const int w = SkinnedMessageBox::kWidth, h = SkinnedMessageBox::kHeight;
  const auto zoomInFrames = ZoomInFrames(w, h), zoomOutFrames = ZoomOutFrames(w, h), dropInFrames = DropInFrames(w, h);
  constexpr int kRounds = 10;
  std::vector<double> shows, zoomIns, zoomOuts, dropIns, presents;
  std::vector<int> zoomInCount, zoomOutCount, dropInCount;
  for (int round = 0; round < kRounds; ++round) {
    double t = NowMs();
    Show(box);
    shows.push_back(NowMs() - t);
    counter.Take(EffectKind::ZoomIn);
    Pump();
    t = NowMs();
    box.ZoomInShow();  // replays the effect on the open box
    zoomIns.push_back(NowMs() - t);
    zoomInCount.push_back(counter.Take(EffectKind::ZoomIn));
    t = NowMs();
    box.DropInShow();
    dropIns.push_back(NowMs() - t);
    dropInCount.push_back(counter.Take(EffectKind::DropIn));
    for (int i = 0; i < 20; ++i) {
      t = NowMs();
      box.Present();
      presents.push_back(NowMs() - t);
    }
    t = NowMs();
    box.ZoomOutClose();
    zoomOuts.push_back(NowMs() - t);
    zoomOutCount.push_back(counter.Take(EffectKind::ZoomOut));
    ::DestroyWindow(box.hwnd());
    Pump();
  }
  SetFrameRecorder(nullptr);
  std::printf("skinned message box, %d x %d, %d rounds; each effect from its call to its return\n", w, h, kRounds);
  PrintEffect("ZoomInShow", zoomIns, PlanOf(zoomInFrames), static_cast<int>(zoomInFrames.size()), zoomInCount);
  PrintEffect("ZoomOutClose", zoomOuts, PlanOf(zoomOutFrames), static_cast<int>(zoomOutFrames.size()), zoomOutCount);
  PrintEffect("DropInShow", dropIns, PlanOf(dropInFrames), static_cast<int>(dropInFrames.size()), dropInCount);
  Print("ShowMessageBox (create + ZoomIn)", Summarise(shows), "");
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
  std::printf("GDI objects:  before %lu, after the rounds %lu, while a box is open %lu, after 50 more boxes %lu\n",
              before.gdi, afterFirst.gdi, whileOpen.gdi, after.gdi);
  std::printf("USER objects: before %lu, after the rounds %lu, while a box is open %lu, after 50 more boxes %lu\n",
              before.user, afterFirst.user, whileOpen.user, after.user);
  std::printf("private memory: %.1f MB before the 50 boxes, %.1f MB after\n", memoryBefore, memoryAfter);
  if (g_swept) std::printf("(GetGuiResources answered 0: counted by sweeping the handle tables)\n");
  std::printf("box still open after the clicks: %s\n", box.hwnd() ? "yes (wrong)" : "no");
  RunExitStep();
  return 0;
}
