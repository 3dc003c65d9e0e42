// Reads a shell link back through IShellLinkA and IPersistFile, as another
// program on the system would (texts in the ANSI code page).
#pragma once

#include <string>

struct ShortcutFields {
  bool loaded = false;
  std::string target;
  std::string arguments;
  std::string description;
  std::string workingDirectory;
  std::string iconPath;
  int iconIndex = 0;
  int showCommand = 0;
  unsigned short hotkey = 0;
};

// COM must be initialised on the calling thread.
ShortcutFields ReadShortcut(const std::wstring& linkFile);
