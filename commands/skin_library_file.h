// The skin library file beside the program.
#pragma once

#include <cstddef>
#include <string_view>

#include "base/text.h"

// Program folder + "\SkinH_EL.dll".
Text SkinLibraryPath();

// The resource id of skin n (1 to 33), 0 for any other number.
int SkinResourceId(int skinNumber);

enum class HiddenFileOutcome {
  kPresent,      // something (a file or a folder) was there already: left untouched
  kWritten,      // written whole and made hidden
  kWriteFailed,  // could not be created or written whole (a partial file is removed)
};

// Writes the bytes to a new hidden file at `path` unless anything exists there.
HiddenFileOutcome WriteHiddenFileIfAbsent(std::string_view path, const unsigned char* data, size_t size);

// True when `path` is a file (not a folder) holding exactly these bytes.
bool FileHoldsBytes(std::string_view path, const unsigned char* data, size_t size);

// True when `path` names a file, not a folder (and something is there).
bool IsPlainFile(std::string_view path);

// Renames the file at `path` to `path` + ".bad", replacing an older file of that
// name. False when it cannot be moved (a read-only folder, say).
bool SetFileAside(std::string_view path);
