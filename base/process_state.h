// Process-wide state of start-up: the program folder, the executable's name,
// the one exit step and the fatal-error exit.
#pragma once

#include <string_view>

#include "base/text.h"

// Takes the executable's path apart and makes its folder the current directory.
void InitProcessState();

// Folder of the executable without trailing backslash, and the file name alone.
const Text& ProgramFolder();
const Text& ExecutableFileName();

// Splits a full path at its last backslash (double-byte aware): {folder, name}.
struct SplitPath {
  Text folder;
  Text name;
};
SplitPath SplitAtLastBackslash(std::string_view path);

// The one exit step: registering replaces the previous one. It runs once, at
// normal exit, and never after a fatal error.
using ExitStep = void (*)();
void RegisterExitStep(ExitStep step);
void RunExitStep();

// The fatal error box text for a message.
Text FatalErrorText(std::string_view message);

// Shows the fatal error box and ends the process with exit code -1; the exit
// step does not run.
[[noreturn]] void FatalErrorExit(std::string_view message);
