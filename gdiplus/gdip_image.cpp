#include "gdiplus/gdip_image.h"

#include "base/codepage.h"
#include "gdiplus/gdip_graphics.h"
#include "gdiplus/gdip_guid.h"

namespace gdip {

ImageBase& ImageBase::operator=(ImageBase&& other) noexcept {
  if (this != &other) {
    Release();
    image_ = std::move(other.image_);
    stream_ = std::move(other.stream_);
  }
  return *this;
}

bool ImageBase::Release() noexcept {
  bool released = image_.Release();
  stream_.Release();
  return released;
}

void ImageBase::Adopt(Gdiplus::GpImage* image, MemoryStream stream) {
  Release();
  image_.Reset(image);
  stream_ = std::move(stream);
}

template <typename Object, typename Create>
bool ImageBase::Make(Create create, MemoryStream stream) {
  Release();
  Object* object = nullptr;
  const Status s = create(&object);
  if (s == Gdiplus::Ok) Adopt(reinterpret_cast<Gdiplus::GpImage*>(object), std::move(stream));
  return Record(s);
}

UINT ImageBase::Width() const {
  UINT w = 0;
  Record(flat::GdipGetImageWidth(handle(), &w));
  return w;
}

UINT ImageBase::Height() const {
  UINT h = 0;
  Record(flat::GdipGetImageHeight(handle(), &h));
  return h;
}

RectF ImageBase::Bounds() const {
  RectF r(0, 0, 0, 0);
  Gdiplus::Unit unit = Gdiplus::UnitPixel;
  Record(flat::GdipGetImageBounds(handle(), &r, &unit));
  return r;
}

PixelFormat ImageBase::PixelFormatOf() const {
  PixelFormat f = 0;
  Record(flat::GdipGetImagePixelFormat(handle(), &f));
  return f;
}

UINT ImageBase::Flags() const {
  UINT f = 0;
  Record(flat::GdipGetImageFlags(handle(), &f));
  return f;
}

Text ImageBase::RawFormat() const {
  GUID g{};
  if (!Record(flat::GdipGetImageRawFormat(handle(), &g))) return Text();
  return GuidToText(g);
}

bool ImageBase::RotateFlip(Gdiplus::RotateFlipType type) {
  return Record(flat::GdipImageRotateFlip(handle(), type));
}

Text ImageBase::ClsidFor(std::string_view format) const {
  Text fmt = format.empty() ? RawFormat() : Text(format);
  return EncoderClsidForFormat(fmt);
}

bool ImageBase::SaveToFile(const Text& path, std::string_view format,
                           const EncoderParameters* params) const {
  // An unknown format gives the all-zero clsid, which GDI+ rejects.
  CLSID clsid = GuidFromText(ClsidFor(format));
  FlatEncoderParameters block(params);
  std::wstring wide = Widen(path);
  return Record(flat::GdipSaveImageToFile(handle(), wide.c_str(), &clsid, block.get()));
}

ByteBuffer ImageBase::SaveToBytes(std::string_view format, const EncoderParameters* params) const {
  CLSID clsid = GuidFromText(ClsidFor(format));
  FlatEncoderParameters block(params);
  MemoryStream target;
  if (!target.OpenOnBytes(nullptr, 0)) return ByteBuffer();
  if (!Record(flat::GdipSaveImageToStream(handle(), target.stream(), &clsid, block.get())))
    return ByteBuffer();
  return target.ReadAll();
}

// --- Image -----------------------------------------------------------------------

bool Image::LoadFromFile(const Text& path, bool useIcm) {
  const std::wstring wide = Widen(path);
  return Make<Gdiplus::GpImage>([&](Gdiplus::GpImage** image) {
    return useIcm ? flat::GdipLoadImageFromFileICM(wide.c_str(), image) : flat::GdipLoadImageFromFile(wide.c_str(), image);
  });
}

bool Image::LoadFromBytes(const ByteBuffer& bytes, bool useIcm) {
  Release();
  MemoryStream stream;
  if (!stream.OpenOnBytes(bytes)) return Record(Gdiplus::OutOfMemory);
  IStream* source = stream.stream();
  return Make<Gdiplus::GpImage>(
      [&](Gdiplus::GpImage** image) {
        return useIcm ? flat::GdipLoadImageFromStreamICM(source, image) : flat::GdipLoadImageFromStream(source, image);
      },
      std::move(stream));
}

Image Image::Clone() const {
  Image copy;
  Gdiplus::GpImage* image = nullptr;
  if (Record(flat::GdipCloneImage(handle(), &image))) copy.Adopt(image);
  return copy;
}

// --- Bitmap ----------------------------------------------------------------------

namespace {
Gdiplus::GpImage* AsImage(Gdiplus::GpBitmap* b) { return reinterpret_cast<Gdiplus::GpImage*>(b); }
}  // namespace

bool Bitmap::LoadFromFile(const Text& path, bool useIcm) {
  const std::wstring wide = Widen(path);
  return Make<Gdiplus::GpBitmap>([&](Gdiplus::GpBitmap** bitmap) {
    return useIcm ? flat::GdipCreateBitmapFromFileICM(wide.c_str(), bitmap)
                  : flat::GdipCreateBitmapFromFile(wide.c_str(), bitmap);
  });
}

bool Bitmap::LoadFromBytes(const ByteBuffer& bytes, bool useIcm) {
  Release();
  MemoryStream stream;
  if (!stream.OpenOnBytes(bytes)) return Record(Gdiplus::OutOfMemory);
  IStream* source = stream.stream();
  return Make<Gdiplus::GpBitmap>(
      [&](Gdiplus::GpBitmap** bitmap) {
        return useIcm ? flat::GdipCreateBitmapFromStreamICM(source, bitmap)
                      : flat::GdipCreateBitmapFromStream(source, bitmap);
      },
      std::move(stream));
}

bool Bitmap::CreateEmpty(int width, int height, PixelFormat format) {
  return CreateFromScan0(width, height, 0, format, nullptr);
}

bool Bitmap::CreateFromScan0(int width, int height, int stride, PixelFormat format, BYTE* pixels) {
  return Make<Gdiplus::GpBitmap>([&](Gdiplus::GpBitmap** bitmap) {
    return flat::GdipCreateBitmapFromScan0(width, height, stride, format, pixels, bitmap);
  });
}

bool Bitmap::CreateFromHbitmap(HBITMAP hbitmap, HPALETTE palette) {
  return Make<Gdiplus::GpBitmap>(
      [&](Gdiplus::GpBitmap** bitmap) { return flat::GdipCreateBitmapFromHBITMAP(hbitmap, palette, bitmap); });
}

bool Bitmap::CreateFromHicon(HICON icon) {
  return Make<Gdiplus::GpBitmap>(
      [&](Gdiplus::GpBitmap** bitmap) { return flat::GdipCreateBitmapFromHICON(icon, bitmap); });
}

Bitmap Bitmap::Clone() const {
  Bitmap copy;
  Gdiplus::GpImage* image = nullptr;
  if (Record(flat::GdipCloneImage(handle(), &image))) copy.Adopt(image);
  return copy;
}

Bitmap Bitmap::CloneArea(const Rect& area, PixelFormat format) const {
  Bitmap copy;
  Gdiplus::GpBitmap* bitmap = nullptr;
  if (Record(flat::GdipCloneBitmapAreaI(area.X, area.Y, area.Width, area.Height, format, this->bitmap(),
                                        &bitmap)))
    copy.Adopt(AsImage(bitmap));
  return copy;
}

UniqueBitmap Bitmap::CreateHbitmap(ARGB background) const {
  HBITMAP hbm = nullptr;
  if (!Record(flat::GdipCreateHBITMAPFromBitmap(bitmap(), &hbm, background))) return UniqueBitmap();
  return UniqueBitmap(hbm);
}

ARGB Bitmap::GetPixel(int x, int y) const {
  ARGB c = 0;
  Record(flat::GdipBitmapGetPixel(bitmap(), x, y, &c));
  return c;
}

bool Bitmap::SetPixel(int x, int y, ARGB colour) {
  return Record(flat::GdipBitmapSetPixel(bitmap(), x, y, colour));
}

bool Bitmap::SetResolution(float dpiX, float dpiY) {
  return Record(flat::GdipBitmapSetResolution(bitmap(), dpiX, dpiY));
}

BitmapLock::BitmapLock(const Bitmap& bitmap, const Rect& area, UINT lockMode, PixelFormat format)
    : bitmap_(bitmap.bitmap()) {
  locked_ = Record(flat::GdipBitmapLockBits(bitmap_, &area, lockMode, format, &data_));
}

BitmapLock::~BitmapLock() {
  if (locked_) Record(flat::GdipBitmapUnlockBits(bitmap_, &data_));
}

// --- CachedBitmap ----------------------------------------------------------------

bool CachedBitmap::Create(const Bitmap& bitmap, const Graphics& graphics) {
  return GdiPlusObject::Create([&](Handle* out) {
    return flat::GdipCreateCachedBitmap(bitmap.bitmap(), graphics.handle(), out);
  });
}

}  // namespace gdip
