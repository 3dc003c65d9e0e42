// The UI engine's process-wide objects: created before the main window loads,
// released by the exit step.
#pragma once

#include <windows.h>

// The whole start-up, in order: InitGlobals, the exit step ReleaseGlobals, the
// engine's window class, then the theme defaults (GDI+ first).
void StartUiEngine();

// The engine's lists and the one skinned message box.
void InitGlobals();
// Frees everything InitGlobals and the theme made; the exit step.
void ReleaseGlobals();
// GdiplusStartup with the given version; returns the token (0 when it failed).
ULONG_PTR StartGdiplus(UINT32 version = 1);
// GDI+, the default font ("宋体", or "微软雅黑" when it exists) and the embedded picture.
void InitThemeDefaults();
