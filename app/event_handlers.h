// Handlers of the main window's events. Each runs on the main thread.
#pragma once

#include <windows.h>

void OnMainWindowCreated();
void OnDownloadClicked();
void OnStopClicked();
void OnCreateShortcutSelected();
void OnDeleteShortcutSelected();
void OnOnlineUpdateSelected();
