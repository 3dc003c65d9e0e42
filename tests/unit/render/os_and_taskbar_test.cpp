#include <gtest/gtest.h>

#include "uiengine/render/os_generation.h"
#include "uiengine/render/taskbar_corner.h"

namespace {

TEST(OsGenerationCode, NtVersionsByTable) {
  struct Case {
    DWORD major, minor;
    int code;
  };
  const Case cases[] = {{3, 51, 4}, {4, 0, 4}, {5, 0, 5}, {5, 1, 6}, {5, 2, 7},
                        {6, 0, 8},  {6, 1, 9}, {6, 2, 0}, {10, 0, 0}};
  for (const Case& c : cases)
    EXPECT_EQ(OsGenerationCodeFor(VER_PLATFORM_WIN32_NT, c.major, c.minor), c.code) << c.major << "." << c.minor;
  EXPECT_EQ(OsGenerationCodeFor(VER_PLATFORM_WIN32_WINDOWS, 4, 0), 1);
  EXPECT_EQ(OsGenerationCodeFor(VER_PLATFORM_WIN32_WINDOWS, 4, 10), 2);
  EXPECT_EQ(OsGenerationCodeFor(VER_PLATFORM_WIN32_WINDOWS, 4, 90), 3);
}

TEST(OsGenerationCode, OnlySevenGetsTheBlur) {
  EXPECT_TRUE(IsBlurCapable(9));
  for (int code : {0, 1, 4, 8}) EXPECT_FALSE(IsBlurCapable(code)) << code;
}

TEST(OsGenerationCode, ReadsTheRunningSystemsVersion) {
  OSVERSIONINFOW real = {sizeof(real)};
  using RtlGetVersionFn = LONG(WINAPI*)(OSVERSIONINFOW*);
  auto rtlGetVersion = reinterpret_cast<RtlGetVersionFn>(
      reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"), "RtlGetVersion")));
  ASSERT_NE(rtlGetVersion, nullptr);
  rtlGetVersion(&real);
  EXPECT_EQ(OsGenerationCode(), OsGenerationCodeFor(real.dwPlatformId, real.dwMajorVersion, real.dwMinorVersion));
}

TEST(TaskbarCorner, UsesTheRightAndTopEdgesWhereverTheTaskbarStands) {
  const RECT bottom = {0, 994, 1280, 1024}, top = {0, 0, 1280, 30}, left = {0, 0, 60, 1024};
  EXPECT_EQ(TaskbarCornerOf(bottom).right, 1280);
  EXPECT_EQ(TaskbarCornerOf(bottom).bottom, 994);
  EXPECT_EQ(TaskbarCornerOf(top).bottom, 0);
  EXPECT_EQ(TaskbarCornerOf(left).right, 60);
  EXPECT_EQ(TaskbarCornerOf(left).left, 0);
  EXPECT_EQ(TaskbarCornerOf(left).top, 0);
}

}  // namespace
