// GUIDs as the object layer carries them: texts in registry form, 38 characters
// with the braces, upper-case hexadecimal ("{B96B3CAE-0728-11D3-9D7B-0000F81EF32E}").
#pragma once

#include <windows.h>

#include "base/text.h"

namespace gdip {

Text GuidToText(const GUID& guid);

// A text that is not a GUID in registry form (hex digits in either case) gives the
// all-zero GUID.
GUID GuidFromText(std::string_view text);

bool IsZeroGuid(const GUID& guid);

}  // namespace gdip
