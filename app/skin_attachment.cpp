#include "skin_attachment.h"

// Placeholder until the skin library lands.
void EnsureSkinLibraryFile() {}
void AttachSkin(int) {}
void EnableSkinAero() {}
