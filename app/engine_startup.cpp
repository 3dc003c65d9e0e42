#include "engine_startup.h"

// Placeholder until the UI engine lands.
void StartUiEngine() {}
