// The text of a window (a title, a control's content), read whole.
#pragma once

#include <windows.h>

#include <string>

#include "base/text.h"

std::wstring WideWindowText(HWND hwnd);
// In GBK.
Text WindowText(HWND hwnd);
