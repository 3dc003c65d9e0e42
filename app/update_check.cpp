#include "update_check.h"

#include "event_handlers.h"

// Placeholder until the update check lands.
void FetchServerVersion() {}
void OnOnlineUpdateSelected() {}
