// An IStream over a movable global memory block, for images read from and written
// to memory. The stream owns its block (delete-on-release), so the bytes live as
// long as anyone holds the stream: GDI+ may keep its own reference, for instance in
// a clone of an image decoded from it, after this object has let go.
#pragma once

#include <windows.h>
#include <objidl.h>

#include "base/text.h"

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
  // reference). True when the stream is backed by a global block.
  bool Attach(IStream* stream);

  // Drops this object's reference to the stream (and with the last one, its block).
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
