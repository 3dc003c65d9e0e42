// Checks on the cached background read from disk, before anything decodes it. The
// cache is ours: a file that is not exactly the JPEG we wrote (the size file's
// screen size + 10 each way) is composed again rather than decoded, so a damaged
// or planted file cannot make the decoder reserve gigabytes at start-up.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

struct PixelSize {
  int width = 0;
  int height = 0;
  bool operator==(const PixelSize& other) const { return width == other.width && height == other.height; }
};

// The frame size of one whole baseline, extended or progressive JPEG: starts with
// SOI, well-formed segments, exactly one frame header before the first scan, no
// other frame kind (lossless, hierarchical, arithmetic, DNL), ends with EOI as its
// last two bytes. Nothing for anything else.
std::optional<PixelSize> JpegFrameSize(const unsigned char* data, size_t size);

// The size the cached background must have, from the size file's two texts: each
// plain decimal from 1 to the current screen's size, plus 10 each way. Nothing when
// the texts do not hold such numbers or the cache was made for a wider (or taller)
// screen, which is composed again for this one.
std::optional<PixelSize> RecordedBackgroundSize(std::string_view width, std::string_view height, PixelSize screen);

// Bytes a cached background of `size` may take at most: more than a JPEG of it ever does.
std::uint64_t MaxCachedBackgroundBytes(PixelSize size);

// True when `data` is a cached background of exactly `expected` pixels that may be decoded.
bool IsCachedBackgroundOf(const unsigned char* data, size_t size, PixelSize expected);
