// An IStream over a movable global memory block, for images read from and written
// to memory. The stream is made with delete-on-release off, so this object owns
// both: Release drops the stream first, then frees the block.
#pragma once

#include <windows.h>
#include <objidl.h>

#include "text.h"

namespace gdip {

class MemoryStream {
 public:
  MemoryStream() noexcept = default;
  ~MemoryStream() { Release(); }
  MemoryStream(MemoryStream&& other) noexcept;
  MemoryStream& operator=(MemoryStream&& other) noexcept;
  MemoryStream(const MemoryStream&) = delete;
  MemoryStream& operator=(const MemoryStream&) = delete;

  // Releases any previous stream and opens a new one holding its own copy of the
  // first `count` bytes of `bytes` (all of them when count is absent or larger).
  // Returns the stream, or null when the block or the stream cannot be made.
  IStream* OpenOnBytes(const ByteBuffer& bytes);
  IStream* OpenOnBytes(const unsigned char* data, size_t count);

  // Releases any previous stream and keeps `stream` (taking over the caller's
  // reference) with the global block behind it. The stream must have been made with
  // delete-on-release off, since Release frees the block. True when a block came back.
  bool Attach(IStream* stream);

  void Release() noexcept;

  IStream* stream() const noexcept { return stream_; }
  HGLOBAL block() const noexcept { return block_; }
  bool empty() const noexcept { return stream_ == nullptr; }

  // Bytes the stream holds (its logical size, which can be smaller than the block).
  size_t Size() const;

  // A copy of the bytes the stream holds.
  ByteBuffer ReadAll() const;

 private:
  HGLOBAL block_ = nullptr;
  IStream* stream_ = nullptr;
};

}  // namespace gdip
