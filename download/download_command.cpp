#include "event_handlers.h"

// Placeholder until the downloader lands.
void OnDownloadClicked() {}
void OnStopClicked() {}
