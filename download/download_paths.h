// Where a download goes: the paths formed from what the user typed, and the
// message that tells where the file ended up. Pure text functions.
#pragma once

#include <string_view>

#include "base/text.h"

// drive + ":\" + name + extension, byte for byte: nothing trimmed, no case change,
// no separator added between name and extension.
Text FinalPath(std::string_view drive, std::string_view name, std::string_view extension);

// The file that receives the bytes until the transfer completes.
Text PartialPath(std::string_view finalPath);

// False when the name or extension would reach something other than a plain file:
// a ":" (an NTFS stream, or another drive) anywhere, or a reserved device name (CON,
// PRN, AUX, NUL, COM1-COM9, LPT1-LPT9, CONIN$, CONOUT$; any case, with or without an
// extension, trailing blanks ignored) as any part of the path they form.
bool IsPlainFileName(std::string_view name, std::string_view extension);

// "文件在  E  盘 ; 文件名为: setup ; 文件格式为:  .exe"
Text SuccessMessageText(std::string_view drive, std::string_view name, std::string_view extension);
