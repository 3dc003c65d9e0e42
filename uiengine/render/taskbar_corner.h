// Where DropInShow lands the box: right edge and top edge of the taskbar.
#pragma once

#include <windows.h>

// {0, 0, taskbar.right, taskbar.top}, wherever the taskbar stands.
RECT TaskbarCornerOf(const RECT& taskbar);
RECT TaskbarCorner();
