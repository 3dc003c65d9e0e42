#include "gdiplus/gdip_memory_stream.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace gdip {

MemoryStream::MemoryStream(MemoryStream&& other) noexcept
    : block_(std::exchange(other.block_, nullptr)), stream_(std::exchange(other.stream_, nullptr)) {}

MemoryStream& MemoryStream::operator=(MemoryStream&& other) noexcept {
  if (this != &other) {
    Release();
    block_ = std::exchange(other.block_, nullptr);
    stream_ = std::exchange(other.stream_, nullptr);
  }
  return *this;
}

IStream* MemoryStream::OpenOnBytes(const ByteBuffer& bytes) {
  return OpenOnBytes(bytes.data(), bytes.size());
}

IStream* MemoryStream::OpenOnBytes(const unsigned char* data, size_t count) {
  Release();
  HGLOBAL block = ::GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, count);
  if (!block) return nullptr;
  if (count > 0) {
    void* p = ::GlobalLock(block);
    if (!p) {
      ::GlobalFree(block);
      return nullptr;
    }
    std::memcpy(p, data, count);
    ::GlobalUnlock(block);
  }
  IStream* stream = nullptr;
  if (FAILED(::CreateStreamOnHGlobal(block, TRUE, &stream)) || !stream) {
    ::GlobalFree(block);
    return nullptr;
  }
  block_ = block;
  stream_ = stream;
  return stream_;
}

bool MemoryStream::Attach(IStream* stream) {
  Release();
  if (!stream) return false;
  stream_ = stream;
  HGLOBAL block = nullptr;
  if (SUCCEEDED(::GetHGlobalFromStream(stream, &block))) block_ = block;
  return block_ != nullptr;
}

void MemoryStream::Release() noexcept {
  block_ = nullptr;
  if (stream_) std::exchange(stream_, nullptr)->Release();
}

size_t MemoryStream::Size() const {
  if (!stream_) return 0;
  STATSTG stat{};
  if (SUCCEEDED(stream_->Stat(&stat, STATFLAG_NONAME))) return static_cast<size_t>(stat.cbSize.QuadPart);
  return block_ ? ::GlobalSize(block_) : 0;
}

ByteBuffer MemoryStream::ReadAll() const {
  ByteBuffer out;
  if (!stream_) return out;
  // The stream may have moved to a larger block while it was written.
  HGLOBAL block = block_;
  ::GetHGlobalFromStream(stream_, &block);
  size_t size = Size();
  if (!block || size == 0) return out;
  size = std::min<size_t>(size, ::GlobalSize(block));
  const void* p = ::GlobalLock(block);
  if (!p) return out;
  out.assign(static_cast<const unsigned char*>(p), static_cast<const unsigned char*>(p) + size);
  ::GlobalUnlock(block);
  return out;
}

}  // namespace gdip
