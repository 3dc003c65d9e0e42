// Folder names to paths: "Temp", "AppData", "Common Desktop", ...
#pragma once

#include <string_view>

#include "base/text.h"

// Where a folder name is looked up.
enum class FolderSource {
  Environment,   // one of the seven environment names
  ComSpecFolder, // "System32": the command interpreter's folder
  MachineShellFolders,  // HKEY_LOCAL_MACHINE ...\Explorer\Shell Folders
  UserShellFolders,     // HKEY_CURRENT_USER  ...\Explorer\Shell Folders
};

struct FolderLookup {
  FolderSource source;
  Text environmentName;  // for Environment: the variable, spelled as the table spells it
};

// The table row that answers `name` (ASCII letters compared without case).
FolderLookup ClassifyFolderName(std::string_view name);

// "Software\Microsoft\Windows\CurrentVersion\Explorer\Shell Folders\" + name, split
// at its last backslash (double-byte aware) into key path and value name.
struct RegistryValuePath {
  Text key;
  Text value;
};
RegistryValuePath ShellFolderValuePath(std::string_view name);

// The named value of HKEY_CURRENT_USER's "Shell Folders" key: REG_SZ as stored,
// REG_EXPAND_SZ expanded, and the empty text for any other type, a missing value
// or a key that cannot be opened.
Text ReadUserShellFolder(std::string_view name);

// The path of a named folder without trailing backslash, or the empty text when
// nothing is found. Environment names read the process environment; "System32" is
// ComSpec up to its last backslash; other names read the "Shell Folders" values
// (REG_SZ as stored, REG_EXPAND_SZ expanded, any other type empty) of
// HKEY_LOCAL_MACHINE when the name starts with "common" (any case), else of
// HKEY_CURRENT_USER.
Text ResolveFolder(std::string_view name);
