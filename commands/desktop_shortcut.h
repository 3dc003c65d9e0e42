// The desktop shortcut to the program: where the desktop is, the link's path,
// and writing a shell link file.
#pragma once

#include <optional>
#include <string_view>

#include "base/text.h"

// The named value of HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\Shell Folders:
// REG_SZ as stored, REG_EXPAND_SZ with its environment variables expanded, and
// the empty text for any other type, a missing value or a key that cannot be opened.
Text DesktopFolder(std::string_view valueName);

// DesktopFolder("Desktop") + "\岚石万能下载器.lnk".
Text ShortcutPath();

// The file name a link is saved under: ".lnk" is added when the file name part
// has no extension point.
Text LinkFileName(std::string_view linkPath);

// Writes a shell link: target, show command SW_SHOW, and the optional
// description, arguments and working directory. An existing file is replaced.
// COM must be initialised on the calling thread.
bool CreateShortcutFile(std::string_view linkPath, std::string_view target,
                        std::optional<std::string_view> description = std::nullopt,
                        std::optional<std::string_view> arguments = std::nullopt,
                        std::optional<std::string_view> workingDirectory = std::nullopt);
