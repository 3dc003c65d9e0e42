#include "base/path_lookup.h"

#include <windows.h>

#include "base/codepage.h"
#include "base/unique_handle.h"

PathEntry LookUpPath(std::string_view path) {
  WIN32_FIND_DATAW data;
  UniqueFind find(::FindFirstFileW(Widen(path).c_str(), &data));
  if (!find) return {};
  return {true, (static_cast<int64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow};
}
