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

// How many copies of one file may be set aside: ".bad", ".bad.1" ... ".bad.99".
constexpr int kAsideCopyLimit = 100;

// The name of the n-th copy of `path` set aside (n from 0): `path` + ".bad", then
// ".bad.1", ".bad.2", ...
Text AsideName(std::string_view path, int n);

// Renames the file at `path` to the first aside name (of the first `limit`) that
// nothing holds yet. An older copy is never replaced and its attributes are never
// changed. False when it cannot be moved (a read-only folder, say) or every name is
// taken: the file then stays where it is.
bool SetFileAside(std::string_view path, int limit = kAsideCopyLimit);
