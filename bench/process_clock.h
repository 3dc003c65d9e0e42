// The bench programs' one clock for "how long since this process was created": the
// loader, the imported libraries and the C++ runtime all fall inside it.
#pragma once
#include <windows.h>

inline double MsSinceProcessCreated() {
  FILETIME created, exited, kernel, user, now;
  ::GetProcessTimes(::GetCurrentProcess(), &created, &exited, &kernel, &user);
  ::GetSystemTimePreciseAsFileTime(&now);
  ULARGE_INTEGER c{{created.dwLowDateTime, created.dwHighDateTime}}, n{{now.dwLowDateTime, now.dwHighDateTime}};
  return (n.QuadPart - c.QuadPart) / 10000.0;
}
