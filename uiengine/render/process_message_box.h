// The program's one skinned message box, for callers outside the engine. The
// engine's start-up creates it and the exit step destroys it.
#pragma once

#include <windows.h>

#include <string_view>

void CreateProcessMessageBox();
void DestroyProcessMessageBox();

// Shows the box (see SkinnedMessageBox::ShowMessageBox); false when the engine has
// not been started or a box is already on the screen.
bool ShowProcessMessageBox(HWND owner, bool centreOnOwner, std::string_view title, std::string_view message,
                           int iconKind, int showStyle);
