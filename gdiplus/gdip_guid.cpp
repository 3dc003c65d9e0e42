#include "gdiplus/gdip_guid.h"

#include <cstdio>
#include <cstring>

namespace gdip {
namespace {

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Reads `digits` hex digits at text[pos]; false when any is not a hex digit.
bool ReadHex(std::string_view text, size_t pos, int digits, unsigned long long& out) {
  out = 0;
  for (int i = 0; i < digits; ++i) {
    int v = HexValue(text[pos + i]);
    if (v < 0) return false;
    out = out << 4 | static_cast<unsigned>(v);
  }
  return true;
}

}  // namespace

Text GuidToText(const GUID& g) {
  char buf[40];
  std::snprintf(buf, sizeof buf, "{%08lX-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}",
                static_cast<unsigned long>(g.Data1), g.Data2, g.Data3, g.Data4[0], g.Data4[1],
                g.Data4[2], g.Data4[3], g.Data4[4], g.Data4[5], g.Data4[6], g.Data4[7]);
  return buf;
}

GUID GuidFromText(std::string_view t) {
  GUID zero{};
  if (t.size() != 38 || t[0] != '{' || t[37] != '}' || t[9] != '-' || t[14] != '-' ||
      t[19] != '-' || t[24] != '-')
    return zero;
  GUID g{};
  unsigned long long v;
  if (!ReadHex(t, 1, 8, v)) return zero;
  g.Data1 = static_cast<unsigned long>(v);
  if (!ReadHex(t, 10, 4, v)) return zero;
  g.Data2 = static_cast<unsigned short>(v);
  if (!ReadHex(t, 15, 4, v)) return zero;
  g.Data3 = static_cast<unsigned short>(v);
  const size_t bytePos[8] = {20, 22, 25, 27, 29, 31, 33, 35};
  for (int i = 0; i < 8; ++i) {
    if (!ReadHex(t, bytePos[i], 2, v)) return zero;
    g.Data4[i] = static_cast<unsigned char>(v);
  }
  return g;
}

bool IsZeroGuid(const GUID& guid) {
  static const GUID zero{};
  return std::memcmp(&guid, &zero, sizeof zero) == 0;
}

}  // namespace gdip
