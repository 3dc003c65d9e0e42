// The glass frame and shadow of the desktop window manager, where it is there
// and composing. dwmapi.dll is bound at run time, so the library still loads on
// systems without it; elsewhere (and under Wine) these do nothing.
#pragma once

#include <windows.h>

namespace skin {

// True when the desktop window manager composes the screen.
bool DesktopCompositionEnabled();

// Asks for (or gives back) the composed frame with its glass and soft shadow.
void ApplyAeroFrame(HWND frame, bool on);

}  // namespace skin
