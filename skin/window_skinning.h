// Taking over the look of the calling program's windows: per-thread hooks see
// windows as they are created, and subclasses paint the skinned ones.
#pragma once

#include <windows.h>

namespace skin {

void SetLibraryModule(HINSTANCE module);

// Keeps this library loaded for the rest of the process: window subclasses and
// hooks point into it.
void PinLibrary();

// Watches the thread for new windows (once per thread; a hooked thread's
// hooks end with it). Called for another thread, it also lets that thread take
// over its existing windows when asked to.
void HookThread(DWORD threadId);

// Takes over the process's existing top-level windows that a skin applies to
// (on their own threads) and their controls.
void SkinExistingWindows();

// Repaints every skinned window after the theme changed (or went away).
void RefreshSkinnedWindows();

// Switches the composed glass frame on or off for skinned windows, now and later.
void SetAeroWanted(bool on);

}  // namespace skin
