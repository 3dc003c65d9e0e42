// A drawing surface: an image, a device context or a window.
#pragma once

#include "base/text.h"
#include "gdiplus/gdip_api.h"
#include "gdiplus/gdip_object.h"

namespace gdip {

class Brush;
class CachedBitmap;
class Font;
class GraphicsPath;
class ImageAttributes;
class ImageBase;
class Matrix;
class Pen;
class Region;
class StringFormat;

struct GraphicsTraits {
  using Handle = Gdiplus::GpGraphics*;
  static Status Delete(Handle h) { return flat::GdipDeleteGraphics(h); }
};

class Graphics : public GdiPlusObject<GraphicsTraits> {
 public:
  bool CreateForImage(const ImageBase& image);
  bool CreateForHdc(HDC dc, HANDLE device = nullptr);
  bool CreateForHwnd(HWND window, bool useIcm = false);

  // Quality settings.
  bool SetCompositingMode(Gdiplus::CompositingMode mode);
  bool SetCompositingQuality(Gdiplus::CompositingQuality quality);
  bool SetSmoothingMode(Gdiplus::SmoothingMode mode);
  Gdiplus::SmoothingMode SmoothingMode() const;
  bool SetInterpolationMode(Gdiplus::InterpolationMode mode);
  Gdiplus::InterpolationMode InterpolationMode() const;
  bool SetPixelOffsetMode(Gdiplus::PixelOffsetMode mode);
  bool SetTextRenderingHint(Gdiplus::TextRenderingHint hint);
  bool SetTextContrast(UINT contrast);
  bool SetPageUnit(Gdiplus::Unit unit);
  float DpiX() const;
  float DpiY() const;

  // World transform.
  bool SetTransform(const Matrix& matrix);
  bool ResetTransform();
  bool TranslateTransform(float dx, float dy, Gdiplus::MatrixOrder order = Gdiplus::MatrixOrderPrepend);
  bool ScaleTransform(float sx, float sy, Gdiplus::MatrixOrder order = Gdiplus::MatrixOrderPrepend);
  bool RotateTransform(float angle, Gdiplus::MatrixOrder order = Gdiplus::MatrixOrderPrepend);

  // Clip.
  bool SetClipRect(const RectF& rect, Gdiplus::CombineMode mode = Gdiplus::CombineModeReplace);
  bool SetClipPath(const GraphicsPath& path, Gdiplus::CombineMode mode = Gdiplus::CombineModeReplace);
  bool SetClipRegion(const Region& region, Gdiplus::CombineMode mode = Gdiplus::CombineModeReplace);
  bool SetClipHrgn(HRGN region, Gdiplus::CombineMode mode = Gdiplus::CombineModeReplace);
  bool ResetClip();
  bool TranslateClip(float dx, float dy);
  RectF ClipBounds() const;
  bool IsClipEmpty() const;

  // Saved states.
  Gdiplus::GraphicsState Save() const;
  bool Restore(Gdiplus::GraphicsState state);

  // Lines and shapes.
  bool Clear(ARGB colour);
  bool DrawLine(const Pen& pen, float x1, float y1, float x2, float y2);
  bool DrawLines(const Pen& pen, const PointF* points, int count);
  bool DrawRectangle(const Pen& pen, const RectF& rect);
  bool DrawEllipse(const Pen& pen, const RectF& rect);
  bool DrawArc(const Pen& pen, const RectF& rect, float startAngle, float sweepAngle);
  bool DrawBezier(const Pen& pen, const PointF& p1, const PointF& p2, const PointF& p3, const PointF& p4);
  bool DrawPolygon(const Pen& pen, const PointF* points, int count);
  bool DrawPath(const Pen& pen, const GraphicsPath& path);
  bool FillRectangle(const Brush& brush, const RectF& rect);
  bool FillRectangle(const Brush& brush, float x, float y, float width, float height);
  bool FillEllipse(const Brush& brush, const RectF& rect);
  bool FillPolygon(const Brush& brush, const PointF* points, int count,
                   Gdiplus::FillMode mode = Gdiplus::FillModeAlternate);
  bool FillPie(const Brush& brush, const RectF& rect, float startAngle, float sweepAngle);
  bool FillPath(const Brush& brush, const GraphicsPath& path);
  bool FillRegion(const Brush& brush, const Region& region);

  // Text (GBK texts, converted with code page 936).
  bool DrawString(const Text& text, const Font& font, const RectF& layout, const StringFormat* format,
                  const Brush& brush);
  // The bounding box the text needs in `layout`; false (and an empty box) on failure.
  bool MeasureString(const Text& text, const Font& font, const RectF& layout, const StringFormat* format,
                     RectF& bounds, int* codepointsFitted = nullptr, int* linesFilled = nullptr) const;

  // Images.
  bool DrawImage(const ImageBase& image, float x, float y);
  bool DrawImage(const ImageBase& image, const RectF& dest);
  // Draws `source` (in `unit`) of the image into `dest`, through `attributes` when given.
  bool DrawImage(const ImageBase& image, const RectF& dest, const RectF& source,
                 Gdiplus::Unit unit = Gdiplus::UnitPixel, const ImageAttributes* attributes = nullptr);
  // Three points: the destination's top-left, top-right and bottom-left corners.
  bool DrawImagePoints(const ImageBase& image, const PointF points[3], const RectF& source,
                       Gdiplus::Unit unit = Gdiplus::UnitPixel, const ImageAttributes* attributes = nullptr);
  bool DrawCachedBitmap(const CachedBitmap& bitmap, int x, int y);

  // A device context for GDI drawing on this surface; give it back with ReleaseDc.
  HDC GetDc();
  bool ReleaseDc(HDC dc);
  bool Flush(Gdiplus::FlushIntention intention = Gdiplus::FlushIntentionFlush);
};

// Hands a Graphics' device context back when it goes out of scope.
class GraphicsDc {
 public:
  explicit GraphicsDc(Graphics& graphics) : graphics_(graphics), dc_(graphics.GetDc()) {}
  ~GraphicsDc() {
    if (dc_) graphics_.ReleaseDc(dc_);
  }
  GraphicsDc(const GraphicsDc&) = delete;
  GraphicsDc& operator=(const GraphicsDc&) = delete;
  HDC get() const noexcept { return dc_; }

 private:
  Graphics& graphics_;
  HDC dc_;
};

}  // namespace gdip
