// The program's one form.
#pragma once

#include <windows.h>

// Creates the main window with all its components, runs OnMainWindowCreated and
// shows it. Returns null when the window cannot be created.
HWND LoadMainWindow(HINSTANCE instance);

HWND MainWindowHandle();
// The child window of a component, or the main window for its own identifier.
HWND ComponentHandle(unsigned id);

// Runs the message loop until the main window is closed.
void RunMessageLoop();
