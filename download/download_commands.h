// The Download and Stop buttons. `window` is the main window's components; it
// outlives every download.
#pragma once

#include "base/components.h"

// Starts the download of what the four inputs say on a thread of its own.
void OnDownloadClicked(Components& window);
// Ends the running download as the user sees it, at once.
void OnStopClicked(Components& window);
