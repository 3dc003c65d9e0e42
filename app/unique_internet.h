// The owner of a WinINet handle (session, connection or request).
#pragma once

#include <windows.h>
#include <wininet.h>

#include "unique_handle.h"

namespace handle_closers {
struct CloseInternet { void operator()(HINTERNET h) const noexcept { ::InternetCloseHandle(h); } };
}  // namespace handle_closers
using UniqueInternet = UniqueHandle<NullHandleTraits<HINTERNET, handle_closers::CloseInternet>>;
