// Prints how long the theme's expensive steps take (a benchmark, not a test):
//   wine build-<dir>/tests/unit/uiengine/theme_benchmark.exe
#include <windows.h>

#include <cstdio>
#include <functional>

#include "test_pictures.h"
#include "uiengine/core/md5.h"
#include "uiengine/core/theme_state.h"

namespace {

double Milliseconds(const std::function<void()>& step, int repeats) {
  LARGE_INTEGER frequency, start, end;
  ::QueryPerformanceFrequency(&frequency);
  ::QueryPerformanceCounter(&start);
  for (int i = 0; i < repeats; ++i) step();
  ::QueryPerformanceCounter(&end);
  return (end.QuadPart - start.QuadPart) * 1000.0 / frequency.QuadPart / repeats;
}

}  // namespace

int main() {
  Gdiplus::GdiplusStartupInput input{};
  input.GdiplusVersion = 1;
  ULONG_PTR token = 0;
  Gdiplus::GdiplusStartup(&token, &input, nullptr);
  {
    testpics::ScratchAppData appData;
    ByteBuffer picture = testpics::EmbeddedBackground();
    SIZE screen{::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
    ThemeCachePaths paths = CachePathsFor(appData.path(), PictureKey(picture));
    std::printf("picture %zu bytes, screen %ld x %ld\n", picture.size(), screen.cx, screen.cy);

    std::printf("PictureKey (MD5)                  %8.3f ms\n", Milliseconds([&] { PictureKey(picture); }, 200));
    ByteBuffer big(16 * 1024 * 1024, 0x5A);
    double md5 = Milliseconds([&] { Md5(big.data(), big.size()); }, 3);
    std::printf("MD5 throughput                    %8.1f MB/s\n", 16.0 / (md5 / 1000.0));
    std::printf("AverageColour                     %8.3f ms\n", Milliseconds([&] { AverageColour(picture); }, 20));

    gdip::Bitmap target;
    Theme().settingsWritingEnabled = false;
    std::printf("compose, no cache written         %8.3f ms\n",
                Milliseconds([&] { ComposeBackgroundForScreen(target, picture, true, screen); }, 10));
    Theme().settingsWritingEnabled = true;
    std::printf("compose and write the cache       %8.3f ms\n", Milliseconds([&] {
                  testpics::RemoveTree(paths.engineFolder);
                  ComposeBackgroundForScreen(target, picture, true, screen);
                }, 10));
    std::printf("load the cached background        %8.3f ms\n",
                Milliseconds([&] { ComposeBackgroundForScreen(target, picture, true, screen); }, 10));

    target.Release();  // a background loaded from the cache keeps its file open
    testpics::RemoveTree(paths.engineFolder);
    if (testpics::Exists(paths.background)) std::printf("(the cache could not be removed)\n");
    std::printf("ApplyBackgroundPicture, 1st start %8.3f ms\n",
                Milliseconds([&] { ApplyBackgroundPicture(picture); }, 1));
    std::printf("ApplyBackgroundPicture, 2nd start %8.3f ms\n",
                Milliseconds([&] { ApplyBackgroundPicture(picture); }, 1));
    std::printf("ApplyBackgroundPicture, cached    %8.3f ms\n",
                Milliseconds([&] { ApplyBackgroundPicture(picture); }, 10));
    ReleaseTheme();
  }
  Gdiplus::GdiplusShutdown(token);
  return 0;
}
