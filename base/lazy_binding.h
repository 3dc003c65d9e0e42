// Functions of libraries that may be missing at run time are bound at their first
// call: the library is looked for in the program folder first, then by the system's
// search; a system library is loaded from the system folder only, so no file beside
// the program can stand in for it. When the library or the function cannot be found,
// the program ends through the fatal error exit with the binding message.
#pragma once

#include <windows.h>

#include <string_view>

#include "base/text.h"

// "无法找到指定DLL库文件“<library>”中的输出命令“<function>”"
Text BindingFailureMessage(std::string_view library, std::string_view function);

enum class LibraryPlace { ProgramFolderFirst, SystemFolder };

// Loads (once per library) and looks up a function; null when either fails.
FARPROC TryBindFunction(const char* library, const char* function,
                        LibraryPlace place = LibraryPlace::ProgramFolderFirst);

// Frees a library loaded by TryBindFunction and forgets it, so that the next
// binding loads the file afresh. Only for a library none of whose functions is
// in use.
void UnloadBoundLibrary(const char* library);

// As TryBindFunction, but a failure ends the process with the fatal error exit.
FARPROC BindFunctionOrDie(const char* library, const char* function,
                          LibraryPlace place = LibraryPlace::ProgramFolderFirst);

// A library function bound at its first call, e.g.
//   LazyFunction<int WINAPI(int)> SkinH_SetAero{"SkinH_EL.dll", "SkinH_SetAero"};
template <typename Signature>
class LazyFunction;

template <typename R, typename... Args>
class LazyFunction<R __stdcall(Args...)> {
 public:
  using Pointer = R(__stdcall*)(Args...);
  constexpr LazyFunction(const char* library, const char* function,
                         LibraryPlace place = LibraryPlace::ProgramFolderFirst)
      : library_(library), function_(function), place_(place) {}

  R operator()(Args... args) {
    if (!bound_) bound_ = reinterpret_cast<Pointer>(BindFunctionOrDie(library_, function_, place_));
    return bound_(args...);
  }

 private:
  const char* library_;
  const char* function_;
  LibraryPlace place_;
  Pointer bound_ = nullptr;
};
