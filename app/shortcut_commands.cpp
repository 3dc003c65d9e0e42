#include "event_handlers.h"

// Placeholder until the shortcut commands land.
void OnCreateShortcutSelected() {}
void OnDeleteShortcutSelected() {}
