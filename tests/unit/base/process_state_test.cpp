#include <gtest/gtest.h>

#include <cwchar>

#include "base/codepage.h"
#include "base/lazy_binding.h"
#include "base/process_state.h"

namespace {
int g_firstRuns = 0;
int g_secondRuns = 0;
void FirstStep() { ++g_firstRuns; }
void SecondStep() { ++g_secondRuns; }
}  // namespace

TEST(ExitStep, RegisteringReplacesAndItRunsOnce) {
  RegisterExitStep(FirstStep);
  RegisterExitStep(SecondStep);
  RunExitStep();
  RunExitStep();
  EXPECT_EQ(g_firstRuns, 0);
  EXPECT_EQ(g_secondRuns, 1);
}

TEST(SplitAtLastBackslash, GivesFolderAndName) {
  struct Case {
    const char* path;
    const char* folder;
    const char* name;
  };
  const Case cases[] = {
      {"C:\\Program Files\\岚石\\LanshiDownloader.exe", "C:\\Program Files\\岚石", "LanshiDownloader.exe"},
      {"C:\\a.exe", "C:", "a.exe"},
      {"a.exe", "", "a.exe"},
      {"C:\\\x95\x5C.exe", "C:", "\x95\x5C.exe"},  // trail byte 5C is no separator
  };
  for (const Case& c : cases) {
    SplitPath parts = SplitAtLastBackslash(c.path);
    EXPECT_EQ(parts.folder, c.folder) << c.path;
    EXPECT_EQ(parts.name, c.name) << c.path;
  }
}

TEST(FatalError, BoxTextAndBindingMessageAreExact) {
  EXPECT_EQ(FatalErrorText("载入启动窗口失败"), "运行时出错!\r\n\r\n错误信息：载入启动窗口失败\r\n");
  EXPECT_EQ(BindingFailureMessage("SkinH_EL.dll", "SkinH_AttachRes"),
            "无法找到指定DLL库文件“SkinH_EL.dll”中的输出命令“SkinH_AttachRes”");
}

TEST(LazyBinding, FindsSystemFunctionsAndReportsMissingOnes) {
  EXPECT_NE(TryBindFunction("kernel32.dll", "GetTickCount"), nullptr);
  EXPECT_EQ(TryBindFunction("kernel32.dll", "NoSuchFunction"), nullptr);
  EXPECT_EQ(TryBindFunction("no_such_library_here.dll", "Anything"), nullptr);
  LazyFunction<DWORD __stdcall()> tick{"kernel32.dll", "GetTickCount"};
  EXPECT_GT(tick(), 0u);
}

TEST(LazyBinding, SystemLibrariesComeFromTheSystemFolderOnly) {
  FARPROC bound = TryBindFunction("version.dll", "GetFileVersionInfoSizeW", LibraryPlace::SystemFolder);
  ASSERT_NE(bound, nullptr);
  HMODULE module = nullptr;
  ASSERT_TRUE(::GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                                   reinterpret_cast<LPCWSTR>(bound), &module));
  wchar_t path[MAX_PATH] = {}, system[MAX_PATH] = {};
  ::GetModuleFileNameW(module, path, MAX_PATH);
  const UINT length = ::GetSystemDirectoryW(system, MAX_PATH);
  EXPECT_EQ(::_wcsnicmp(path, system, length), 0) << Narrow(path);
  EXPECT_EQ(TryBindFunction("no_such_library_here.dll", "Anything", LibraryPlace::SystemFolder), nullptr);
}
