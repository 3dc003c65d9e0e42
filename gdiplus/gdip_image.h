// Images and bitmaps. An image decoded from bytes keeps its own copy of them in a
// MemoryStream for as long as the image lives (GDI+ reads from the stream lazily),
// so the caller's buffer may be freed right after loading.
#pragma once

#include "base/unique_handle.h"
#include "gdiplus/gdip_api.h"
#include "gdiplus/gdip_codecs.h"
#include "gdiplus/gdip_memory_stream.h"
#include "gdiplus/gdip_object.h"

namespace gdip {

struct ImageTraits {
  using Handle = Gdiplus::GpImage*;
  static Status Delete(Handle h) { return flat::GdipDisposeImage(h); }
};

// What Image and Bitmap share: the GpImage and the stream it was decoded from.
class ImageBase {
 public:
  ImageBase() = default;
  ImageBase(ImageBase&&) noexcept = default;
  ImageBase& operator=(ImageBase&& other) noexcept;
  ~ImageBase() { Release(); }

  Gdiplus::GpImage* handle() const noexcept { return image_.handle(); }
  bool valid() const noexcept { return image_.valid(); }
  explicit operator bool() const noexcept { return valid(); }

  // Disposes the image, then frees the stream behind it. False when there was no image.
  bool Release() noexcept;

  UINT Width() const;
  UINT Height() const;
  RectF Bounds() const;               // in pixels
  PixelFormat PixelFormatOf() const;  // 0 when there is no image
  UINT Flags() const;
  Text RawFormat() const;             // GUID text of the format it was decoded from
  bool RotateFlip(Gdiplus::RotateFlipType type);

  // Saves through the encoder of `format` (a GUID text; empty means the image's own
  // raw format). A format no encoder handles fails.
  bool SaveToFile(const Text& path, std::string_view format = {},
                  const EncoderParameters* params = nullptr) const;
  // The encoded bytes, or an empty buffer on failure.
  ByteBuffer SaveToBytes(std::string_view format = {}, const EncoderParameters* params = nullptr) const;

 protected:
  // Takes over a new image (and the stream behind it, if any), releasing the old one.
  void Adopt(Gdiplus::GpImage* image, MemoryStream stream = {});
  // Releases the image held, runs `create` with the place for a new Object (GpImage or
  // GpBitmap) and takes that object on success, with the stream it is read from.
  template <typename Object, typename Create>
  bool Make(Create create, MemoryStream stream = {});
  Text ClsidFor(std::string_view format) const;

 private:
  // Declared first so it is destroyed after the image that reads from it.
  MemoryStream stream_;
  GdiPlusObject<ImageTraits> image_;
};

// An image of any kind GDI+ decodes (including metafiles).
class Image : public ImageBase {
 public:
  bool LoadFromFile(const Text& path, bool useIcm = false);
  bool LoadFromBytes(const ByteBuffer& bytes, bool useIcm = false);
  // An independent copy (its own GDI+ object).
  Image Clone() const;
};

// A raster image that can be drawn into and read pixel by pixel.
class Bitmap : public ImageBase {
 public:
  Gdiplus::GpBitmap* bitmap() const noexcept { return reinterpret_cast<Gdiplus::GpBitmap*>(handle()); }

  bool LoadFromFile(const Text& path, bool useIcm = false);
  bool LoadFromBytes(const ByteBuffer& bytes, bool useIcm = false);
  // A new bitmap with its own pixel memory (32bppARGB unless told otherwise).
  bool CreateEmpty(int width, int height, PixelFormat format = kPixelFormat32bppARGB);
  // A bitmap over the caller's pixel memory, which must outlive it.
  bool CreateFromScan0(int width, int height, int stride, PixelFormat format, BYTE* pixels);
  bool CreateFromHbitmap(HBITMAP bitmap, HPALETTE palette = nullptr);
  bool CreateFromHicon(HICON icon);

  Bitmap Clone() const;
  Bitmap CloneArea(const Rect& area, PixelFormat format) const;

  // A GDI bitmap of the pixels composed over `background`; null on failure.
  UniqueBitmap CreateHbitmap(ARGB background = 0) const;

  ARGB GetPixel(int x, int y) const;  // 0 on failure (see LastStatus)
  bool SetPixel(int x, int y, ARGB colour);
  bool SetResolution(float dpiX, float dpiY);
};

// Direct access to a bitmap's pixels for the lifetime of this object.
class BitmapLock {
 public:
  BitmapLock(const Bitmap& bitmap, const Rect& area, UINT lockMode, PixelFormat format);
  ~BitmapLock();
  BitmapLock(const BitmapLock&) = delete;
  BitmapLock& operator=(const BitmapLock&) = delete;

  bool locked() const noexcept { return locked_; }
  const BitmapData& data() const noexcept { return data_; }
  BYTE* Row(UINT y) const { return static_cast<BYTE*>(data_.Scan0) + static_cast<INT_PTR>(y) * data_.Stride; }

 private:
  Gdiplus::GpBitmap* bitmap_;
  BitmapData data_{};
  bool locked_ = false;
};

class Graphics;

struct CachedBitmapTraits {
  using Handle = Gdiplus::GpCachedBitmap*;
  static Status Delete(Handle h) { return flat::GdipDeleteCachedBitmap(h); }
};

// A bitmap converted to a device's format, for fast unscaled drawing.
class CachedBitmap : public GdiPlusObject<CachedBitmapTraits> {
 public:
  bool Create(const Bitmap& bitmap, const Graphics& graphics);
};

}  // namespace gdip
