#include "uiengine/core/cached_background.h"

namespace {

constexpr unsigned char kSoi = 0xD8, kEoi = 0xD9, kSos = 0xDA;
constexpr int kMaxRecordedDigits = 6;  // no screen is a million pixels wide

bool IsRestart(unsigned char marker) { return marker >= 0xD0 && marker <= 0xD7; }

// Frame headers we accept: baseline, extended sequential and progressive (Huffman).
bool IsAcceptedFrame(unsigned char marker) { return marker >= 0xC0 && marker <= 0xC2; }

// Every other frame kind, the reserved JPG marker, DNL (a height given after the
// scan), and the hierarchical DHP and EXP.
bool IsRefusedMarker(unsigned char marker) {
  return (marker >= 0xC3 && marker <= 0xCF && marker != 0xC4 && marker != 0xCC) || marker == 0xDC ||
         marker == 0xDE || marker == 0xDF;
}

// Where the entropy-coded data that starts at `pos` ends: the 0xFF of the next
// marker (stuffed 0xFF00 and restart markers belong to the data). `size` if none.
size_t SkipEntropyData(const unsigned char* data, size_t size, size_t pos) {
  while (pos < size) {
    if (data[pos] != 0xFF) {
      ++pos;
      continue;
    }
    if (pos + 1 >= size) return size;
    const unsigned char next = data[pos + 1];
    if (next == 0x00 || IsRestart(next)) {
      pos += 2;
    } else if (next == 0xFF) {
      ++pos;  // fill byte before a marker
    } else {
      return pos;
    }
  }
  return size;
}

std::optional<int> PlainNumber(std::string_view text) {
  if (text.empty() || text.size() > kMaxRecordedDigits) return std::nullopt;
  int value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
  }
  return value;
}

}  // namespace

std::optional<PixelSize> JpegFrameSize(const unsigned char* data, size_t size) {
  if (size < 4 || data[0] != 0xFF || data[1] != kSoi) return std::nullopt;
  std::optional<PixelSize> frame;
  bool scanned = false;
  size_t pos = 2;
  while (pos < size) {
    if (data[pos] != 0xFF) return std::nullopt;  // only markers between segments
    while (pos < size && data[pos] == 0xFF) ++pos;
    if (pos >= size) return std::nullopt;
    const unsigned char marker = data[pos++];
    if (marker == kEoi) {
      if (pos != size || !frame || !scanned) return std::nullopt;
      return frame;
    }
    if (marker == 0x00 || marker == kSoi || IsRefusedMarker(marker)) return std::nullopt;
    if (IsRestart(marker) || marker == 0x01) continue;  // no length follows

    if (pos + 2 > size) return std::nullopt;
    const size_t length = static_cast<size_t>(data[pos]) << 8 | data[pos + 1];
    if (length < 2 || length > size - pos) return std::nullopt;
    const unsigned char* segment = data + pos + 2;
    const size_t body = length - 2;
    pos += length;

    if (IsAcceptedFrame(marker)) {
      // precision, height, width, component count, then 3 bytes per component
      if (frame || body < 6 || body != 6 + 3 * static_cast<size_t>(segment[5])) return std::nullopt;
      const int height = segment[1] << 8 | segment[2];
      const int width = segment[3] << 8 | segment[4];
      if (width == 0 || height == 0 || segment[5] == 0) return std::nullopt;
      frame = PixelSize{width, height};
    } else if (marker == kSos) {
      if (!frame) return std::nullopt;
      scanned = true;
      pos = SkipEntropyData(data, size, pos);
    }
  }
  return std::nullopt;  // no EOI
}

std::optional<PixelSize> RecordedBackgroundSize(std::string_view width, std::string_view height, PixelSize screen) {
  const std::optional<int> w = PlainNumber(width), h = PlainNumber(height);
  if (!w || !h || *w < 1 || *h < 1 || *w > screen.width || *h > screen.height) return std::nullopt;
  return PixelSize{*w + 10, *h + 10};
}

std::uint64_t MaxCachedBackgroundBytes(PixelSize size) {
  if (size.width <= 0 || size.height <= 0) return 0;
  // Uncompressed RGB plus room for the headers: a JPEG of the picture is far less.
  return static_cast<std::uint64_t>(size.width) * static_cast<std::uint64_t>(size.height) * 3 + 65536;
}

bool IsCachedBackgroundOf(const unsigned char* data, size_t size, PixelSize expected) {
  if (size > MaxCachedBackgroundBytes(expected)) return false;
  const std::optional<PixelSize> frame = JpegFrameSize(data, size);
  return frame && *frame == expected;
}
