#include "uiengine/render/os_generation.h"

#include <intrin.h>

int OsGenerationCodeFor(DWORD platformId, DWORD major, DWORD minor) {
  if (platformId == VER_PLATFORM_WIN32_WINDOWS) {
    if (major == 4 && minor < 10) return 1;  // 95
    if (major == 4 && minor < 90) return 2;  // 98
    return 3;                                // Me
  }
  if (platformId != VER_PLATFORM_WIN32_NT) return 0;
  if (major <= 4) return 4;
  if (major == 5 && minor == 0) return 5;
  if (major == 5 && minor == 1) return 6;
  if (major == 5 && minor == 2) return 7;
  if (major == 6 && minor == 0) return 8;
  if (major == 6 && minor == 1) return 9;
  return 0;
}

namespace {
int g_override = -1;
}

void OverrideOsGenerationCode(int code) { g_override = code; }

int OsGenerationCode() {
  if (g_override >= 0) return g_override;
#ifdef _WIN64
  // 64-bit PEB: OSMajorVersion at 0x118, OSMinorVersion at 0x11C, OSPlatformId at 0x124.
  const auto* peb = reinterpret_cast<const unsigned char*>(__readgsqword(0x60));
  auto field = [peb](unsigned offset) { return *reinterpret_cast<const DWORD*>(peb + offset); };
  return OsGenerationCodeFor(field(0x124), field(0x118), field(0x11C));
#else
  // 32-bit PEB: OSMajorVersion at 0xA4, OSMinorVersion at 0xA8, OSPlatformId at 0xB0.
  const auto* peb = reinterpret_cast<const unsigned char*>(__readfsdword(0x30));
  auto field = [peb](unsigned offset) { return *reinterpret_cast<const DWORD*>(peb + offset); };
  return OsGenerationCodeFor(field(0xB0), field(0xA4), field(0xA8));
#endif
}
