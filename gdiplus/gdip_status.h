// The status of the most recent GDI+ call made through the object layer. Shared by
// all threads and never reset: it tells a caller why the last operation failed.
#pragma once

#include "gdiplus/gdip_api.h"

namespace gdip {

Status LastStatus();

// Stores `status` as the last status; true when it is Ok.
bool Record(Status status);

}  // namespace gdip
