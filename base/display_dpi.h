// The DPI of the system, of a window and of a monitor, asked of whatever the
// running system offers: per-monitor answers where it has them (Windows 8.1 and
// 10), the system's one DPI everywhere on older systems.
#pragma once

#include <windows.h>

// The DPI the system was started with (what the screen's device context reports).
int SystemDpi();
// The DPI a window is laid out for: its monitor's where the process is
// per-monitor aware, the system's otherwise.
int WindowDpi(HWND hwnd);
// The effective DPI of a monitor, or the system's where monitors have none of their own.
int MonitorDpi(HMONITOR monitor);
// The DPI of the monitor a screen rectangle lies most on.
int DpiAtRect(const RECT& screenRect);

// The window rectangle for a client rectangle at a DPI (the non-client parts of
// that DPI). Without a per-DPI call the system's metrics are scaled.
RECT WindowRectForClient(const RECT& client, DWORD style, bool hasMenu, DWORD exStyle, int dpi);
