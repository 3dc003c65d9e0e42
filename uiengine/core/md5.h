// MD5 message digest (RFC 1321).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "base/text.h"

using Md5Digest = std::array<std::uint8_t, 16>;

Md5Digest Md5(const void* data, std::size_t size);

// The digest as 32 lower-case hexadecimal digits, in digest order.
Text Md5Hex(const void* data, std::size_t size);
inline Text Md5Hex(std::string_view s) { return Md5Hex(s.data(), s.size()); }
