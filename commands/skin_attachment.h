// The skin library beside the program and the skin handed to it.
#pragma once

void EnsureSkinLibraryFile();
void AttachSkin(int skinNumber);
void EnableSkinAero();
