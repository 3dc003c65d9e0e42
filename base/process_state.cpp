#include "base/process_state.h"

#include <windows.h>

#include "base/codepage.h"

namespace {
Text g_programFolder;
Text g_executableName;
ExitStep g_exitStep = nullptr;
}  // namespace

SplitPath SplitAtLastBackslash(std::string_view path) {
  size_t pos = FindLastCharGbk(path, '\\');
  if (pos == std::string_view::npos) return {Text(), Text(path)};
  return {Text(path.substr(0, pos)), Text(path.substr(pos + 1))};
}

void InitProcessState() {
  // The wide path converted to GBK: the program's texts are GBK whatever the ANSI code page.
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    DWORD n = ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (n < path.size()) {
      path.resize(n);
      break;
    }
    path.resize(path.size() * 2);
  }
  SplitPath parts = SplitAtLastBackslash(Narrow(path));
  g_programFolder = parts.folder;
  g_executableName = parts.name;
  ::SetCurrentDirectoryW(Widen(g_programFolder).c_str());
}

const Text& ProgramFolder() { return g_programFolder; }
const Text& ExecutableFileName() { return g_executableName; }

void RegisterExitStep(ExitStep step) { g_exitStep = step; }

void RunExitStep() {
  ExitStep step = g_exitStep;
  g_exitStep = nullptr;  // exactly once
  if (step) step();
}

Text FatalErrorText(std::string_view message) {
  return JoinTexts({"运行时出错!", "\r\n\r\n", "错误信息：", message, "\r\n"});
}

void FatalErrorExit(std::string_view message) {
  g_exitStep = nullptr;
  ::MessageBoxW(nullptr, Widen(FatalErrorText(message)).c_str(), Widen("错误").c_str(), MB_OK | MB_ICONERROR);
  ::ExitProcess(static_cast<UINT>(-1));
}
