#include "base/lazy_binding.h"

#include <map>
#include <string>

#include "base/codepage.h"
#include "base/process_state.h"
#include "base/unique_handle.h"

namespace {
// Bound libraries stay loaded until the process ends.
std::map<std::string, UniqueModule>& LoadedLibraries() {
  static auto* libraries = new std::map<std::string, UniqueModule>();
  return *libraries;
}

std::wstring SystemFolder() {
  wchar_t folder[MAX_PATH] = {};
  const UINT length = ::GetSystemDirectoryW(folder, MAX_PATH);
  return length > 0 && length < MAX_PATH ? std::wstring(folder, length) : std::wstring();
}

HMODULE LoadBoundLibrary(const char* library, LibraryPlace place) {
  auto& libraries = LoadedLibraries();
  const std::string key = (place == LibraryPlace::SystemFolder ? "system:" : "") + std::string(library);
  auto it = libraries.find(key);
  if (it != libraries.end()) return it->second.get();
  HMODULE module = nullptr;
  if (place == LibraryPlace::SystemFolder) {
    const std::wstring folder = SystemFolder();
    if (!folder.empty()) module = ::LoadLibraryW((folder + L"\\" + Widen(library)).c_str());
  } else {
    Text local = JoinTexts({ProgramFolder(), "\\", library});
    module = ::LoadLibraryW(Widen(local).c_str());
    if (!module) module = ::LoadLibraryW(Widen(library).c_str());
  }
  if (!module) return nullptr;
  libraries.emplace(key, UniqueModule(module));
  return module;
}
}  // namespace

Text BindingFailureMessage(std::string_view library, std::string_view function) {
  return JoinTexts({"无法找到指定DLL库文件“", library, "”中的输出命令“", function, "”"});
}

FARPROC TryBindFunction(const char* library, const char* function, LibraryPlace place) {
  HMODULE module = LoadBoundLibrary(library, place);
  return module ? ::GetProcAddress(module, function) : nullptr;
}

void UnloadBoundLibrary(const char* library) { LoadedLibraries().erase(library); }

FARPROC BindFunctionOrDie(const char* library, const char* function, LibraryPlace place) {
  FARPROC fn = TryBindFunction(library, function, place);
  if (!fn) FatalErrorExit(BindingFailureMessage(library, function));
  return fn;
}
