// Reading and replacing small files of ours as wholes: the theme's cache, and the
// skin library compared with the copy the program carries.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "base/text.h"

// The bytes of the file at `path`, when it is a file of at most `maxBytes` bytes that
// reads whole. A larger file is not read at all.
std::optional<ByteBuffer> ReadFileUpTo(const Text& path, std::uint64_t maxBytes);

// Makes the file at `path` hold exactly `bytes`: written beside it, then moved over
// it, so a failed write leaves the old file as it was. False when it cannot be (a
// read-only file or folder); the attributes of what is there are never changed.
bool ReplaceFileWith(const Text& path, std::string_view bytes);
