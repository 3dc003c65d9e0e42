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

HMODULE LoadBoundLibrary(const char* library) {
  auto& libraries = LoadedLibraries();
  auto it = libraries.find(library);
  if (it != libraries.end()) return it->second.get();
  Text local = JoinTexts({ProgramFolder(), "\\", library});
  HMODULE module = ::LoadLibraryW(Widen(local).c_str());
  if (!module) module = ::LoadLibraryW(Widen(library).c_str());
  if (!module) return nullptr;
  libraries.emplace(library, UniqueModule(module));
  return module;
}
}  // namespace

Text BindingFailureMessage(std::string_view library, std::string_view function) {
  return JoinTexts({"无法找到指定DLL库文件“", library, "”中的输出命令“", function, "”"});
}

FARPROC TryBindFunction(const char* library, const char* function) {
  HMODULE module = LoadBoundLibrary(library);
  return module ? ::GetProcAddress(module, function) : nullptr;
}

void UnloadBoundLibrary(const char* library) { LoadedLibraries().erase(library); }

FARPROC BindFunctionOrDie(const char* library, const char* function) {
  FARPROC fn = TryBindFunction(library, function);
  if (!fn) FatalErrorExit(BindingFailureMessage(library, function));
  return fn;
}
