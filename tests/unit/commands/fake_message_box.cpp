// Stands in for the engine's message box while the update check is tested alone.
#include "uiengine/render/process_message_box.h"

bool ShowProcessMessageBox(HWND, bool, std::string_view, std::string_view, int, int) { return false; }
