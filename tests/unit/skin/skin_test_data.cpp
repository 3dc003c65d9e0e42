#include "skin_test_data.h"

#include <cstdio>

#include "skin/skin_format.h"

namespace {
std::string Folder() { return LANSHI_SKIN_DIR; }
}  // namespace

Bytes GeneratedSkin(int n) {
  char name[32];
  std::snprintf(name, sizeof(name), "/skin%02d.she", n);
  Bytes data;
  if (FILE* f = std::fopen((Folder() + name).c_str(), "rb")) {
    unsigned char buffer[4096];
    size_t got;
    while ((got = std::fread(buffer, 1, sizeof(buffer), f)) > 0) data.insert(data.end(), buffer, buffer + got);
    std::fclose(f);
  }
  return data;
}

std::wstring BuiltSkinLibraryPath() {
  const std::string path = LANSHI_SKIN_LIBRARY;
  return std::wstring(path.begin(), path.end());
}

void SealSkin(Bytes& skin) {
  const uint32_t size = static_cast<uint32_t>(skin.size() - skin::kHeaderSize);
  const uint32_t crc = skin::Crc32(skin.data() + skin::kHeaderSize, size);
  for (int i = 0; i < 4; ++i) {
    skin[8 + i] = static_cast<unsigned char>(size >> (8 * i));
    skin[12 + i] = static_cast<unsigned char>(crc >> (8 * i));
  }
}

void AppendRecord(Bytes& skin, uint16_t tag, const Bytes& value) {
  skin.push_back(static_cast<unsigned char>(tag));
  skin.push_back(static_cast<unsigned char>(tag >> 8));
  skin.push_back(static_cast<unsigned char>(value.size()));
  skin.push_back(static_cast<unsigned char>(value.size() >> 8));
  skin.insert(skin.end(), value.begin(), value.end());
}

Bytes U32(uint32_t v) {
  return {static_cast<unsigned char>(v), static_cast<unsigned char>(v >> 8), static_cast<unsigned char>(v >> 16),
          static_cast<unsigned char>(v >> 24)};
}

size_t FindRecord(const Bytes& skin, uint16_t tag) {
  size_t pos = skin::kHeaderSize;
  while (pos + 4 <= skin.size()) {
    const uint16_t t = static_cast<uint16_t>(skin[pos] | (skin[pos + 1] << 8));
    const uint16_t size = static_cast<uint16_t>(skin[pos + 2] | (skin[pos + 3] << 8));
    if (t == tag) return pos + 4;
    pos += 4 + size;
  }
  return 0;
}
