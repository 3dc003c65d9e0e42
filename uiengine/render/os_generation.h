// Which generation of Windows runs the program, as the engine counts them.
#pragma once

#include <windows.h>

// NT family: major <= 4 -> 4, 5.0 -> 5, 5.1 -> 6, 5.2 -> 7, 6.0 -> 8, 6.1 -> 9,
// anything newer -> 0. The old 95/98/Me family gives 1, 2 or 3.
int OsGenerationCodeFor(DWORD platformId, DWORD major, DWORD minor);

// From the version the process environment block reports (not the compatibility
// answer of GetVersionEx).
int OsGenerationCode();

// Tests stand in another system's code (-1 goes back to reading the real one).
void OverrideOsGenerationCode(int code);

// Only Windows 6.1 gets the blur behind the box.
inline bool IsBlurCapable(int code) { return code >= 9; }
