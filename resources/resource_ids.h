// Resource identifiers of the embedded data (shared by the .rc files and the code).
#pragma once

#define IDI_PROGRAM 129

// The skin library image and the 33 skins (RCDATA).
#define IDR_SKIN_LIBRARY 1000
#define IDR_SKIN_FIRST 1001  // skin n is IDR_SKIN_FIRST + n - 1

// The UI engine's embedded pictures (RCDATA).
#define IDR_BACKGROUND_JPEG 2000
#define IDR_ENGINE_PNG_FIRST 2001
