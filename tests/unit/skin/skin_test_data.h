// Skins for the tests: the generated ones read from the build, and a builder
// for hand-made (and broken) ones.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

using Bytes = std::vector<unsigned char>;

// Skin n (1 to 33) as the build generated it; empty when it cannot be read.
Bytes GeneratedSkin(int n);

// The built skin library's path as a Windows path.
std::wstring BuiltSkinLibraryPath();

// Recomputes the header's body size and checksum after a body was edited.
void SealSkin(Bytes& skin);

// Appends one record (tag, size, value) to a skin's body; call SealSkin afterwards.
void AppendRecord(Bytes& skin, uint16_t tag, const Bytes& value);
Bytes U32(uint32_t v);

// Finds the record with that tag: offset of its value in the skin, or 0.
size_t FindRecord(const Bytes& skin, uint16_t tag);
