// The UI engine's process-wide objects: created before the main window loads,
// released by the exit step.
#pragma once

void StartUiEngine();
