// Which windows the skin library takes over, decided from class name and styles
// alone (no window handles, so the rules can be tested directly).
#pragma once

#include <windows.h>

#include <string_view>

#include "skin/skin_format.h"

namespace skin {

// A top-level window is skinned when it has a caption, is not layered, and is
// not one of the windows we must leave alone: the UI engine's own layered
// windows ("MyWindow"), system message boxes and dialogs ("#32770"), menus,
// tooltips and IME windows.
bool IsSkinnableFrame(std::wstring_view className, DWORD style, DWORD exStyle);

enum class ControlKind {
  kNone,        // left to the parent's colours (statics, check boxes) or not ours at all
  kPushButton,  // drawn by us (made owner-drawn while a skin is attached)
  kEdit,        // colours from the parent, border drawn by us
  kProgress,    // painted by us
};

// How a direct child of a skinned window is treated.
ControlKind ClassifyControl(std::wstring_view className, DWORD style);

}  // namespace skin

namespace skin {

// The look a push button takes: disabled wins, then pressed, then hot.
ButtonState ChooseButtonState(bool disabled, bool pressed, bool hot);

// Pixels of a progress bar's inner extent that the fill covers, for any range
// (an empty or inverted range shows no fill; positions are clamped to the range).
int ProgressFillLength(long long position, long long minimum, long long maximum, int extent);

// ColourRef on a vertical gradient: row y of `rows` from top to bottom.
unsigned long GradientColour(unsigned long top, unsigned long bottom, int y, int rows);

}  // namespace skin
