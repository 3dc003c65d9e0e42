// Composing and reloading backgrounds many times must not leak GDI+ objects: every
// cycle makes screen-sized bitmaps, so a leaked one shows as megabytes.
#include <gtest/gtest.h>

#include <windows.h>
#include <psapi.h>

#include <cstdio>

#include "theme_fixture.h"

namespace {

// Committed private memory (Wine reports the process's virtual size here). Large
// pixel buffers are mapped and unmapped on their own, so a leaked one stays visible.
size_t PrivateBytes() {
  PROCESS_MEMORY_COUNTERS counters{};
  counters.cb = sizeof counters;
  if (!::GetProcessMemoryInfo(::GetCurrentProcess(), &counters, sizeof counters)) return 0;
  return counters.PagefileUsage;
}

using ThemeLeaks = ThemeFixture;

TEST_F(ThemeLeaks, ComposeAndCacheCyclesKeepMemoryFlat) {
  ByteBuffer picture = testpics::EmbeddedBackground();
  ASSERT_FALSE(picture.empty());
  const SIZE screen{1024, 768};  // each background is about 3 MB of pixels
  gdip::Bitmap target;

  auto cycle = [&](int i) {
    // Alternately compose anew (no cache) and reload from the cache.
    Theme().settingsWritingEnabled = true;
    if (i % 2 == 0) {
      target.Release();  // a background read from the cache keeps its file open
      testpics::RemoveTree(CachePathsFor(appData_.path(), PictureKey(picture)).engineFolder);
    }
    ComposeBackgroundForScreen(target, picture, true, screen);
    EXPECT_EQ(i % 2 == 1, target.RawFormat() == gdip::kFormatJpeg) << "cycle " << i;
    AverageColour(picture);
  };
  for (int i = 0; i < 6; ++i) cycle(i);  // warm-up: caches of GDI+, the heap and the file system
  const size_t before = PrivateBytes();
  ASSERT_GT(before, 0u);
  const DWORD gdiBefore = ::GetGuiResources(::GetCurrentProcess(), GR_GDIOBJECTS);
  const int cycles = 40;
  for (int i = 0; i < cycles; ++i) cycle(i);
  const size_t after = PrivateBytes();
  const DWORD gdiAfter = ::GetGuiResources(::GetCurrentProcess(), GR_GDIOBJECTS);
  std::printf("[ figures  ] private bytes %zu -> %zu over %d cycles; GDI objects %lu -> %lu\n", before, after, cycles,
              static_cast<unsigned long>(gdiBefore), static_cast<unsigned long>(gdiAfter));

  // One leaked background per cycle would be over 100 MB here.
  EXPECT_LT(after, before + 16u * 1024 * 1024);
  EXPECT_LE(gdiAfter, gdiBefore + 2);
  EXPECT_EQ(1034u, target.Width());
}

}  // namespace
