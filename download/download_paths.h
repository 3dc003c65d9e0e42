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

// One letter A to Z, in either case.
bool IsDriveLetter(std::string_view drive);

// False when name + extension is not one plain file name Windows would keep as it is:
// empty, holding a character Windows forbids in file names (<>:"/\|?* and the
// control characters; so no folders, streams or wildcards), or a reserved device name
// (CON, PRN, AUX, NUL, COM0-COM9, LPT0-LPT9, CONIN$, CONOUT$; any case, with or
// without an extension, trailing blanks ignored).
bool IsPlainFileName(std::string_view name, std::string_view extension);

// The drive is a letter and the name a plain file name: checked before anything is
// asked, sent or opened.
bool IsPlainTarget(std::string_view drive, std::string_view name, std::string_view extension);

// "文件在  E  盘 ; 文件名为: setup ; 文件格式为:  .exe"
Text SuccessMessageText(std::string_view drive, std::string_view name, std::string_view extension);
