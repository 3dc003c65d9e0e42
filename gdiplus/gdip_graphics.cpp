#include "gdiplus/gdip_graphics.h"

#include "base/codepage.h"
#include "gdiplus/gdip_brush.h"
#include "gdiplus/gdip_font.h"
#include "gdiplus/gdip_image.h"
#include "gdiplus/gdip_image_attributes.h"
#include "gdiplus/gdip_path.h"
#include "gdiplus/gdip_string_format.h"

namespace gdip {
namespace {
Gdiplus::GpStringFormat* HandleOf(const StringFormat* f) { return f ? f->handle() : nullptr; }
Gdiplus::GpImageAttributes* HandleOf(const ImageAttributes* a) { return a ? a->handle() : nullptr; }
}  // namespace

bool Graphics::CreateForImage(const ImageBase& image) {
  return Create([&](Handle* out) { return flat::GdipGetImageGraphicsContext(image.handle(), out); });
}

bool Graphics::CreateForHdc(HDC dc, HANDLE device) {
  return Create([&](Handle* out) {
    return device ? flat::GdipCreateFromHDC2(dc, device, out) : flat::GdipCreateFromHDC(dc, out);
  });
}

bool Graphics::CreateForHwnd(HWND window, bool useIcm) {
  return Create([&](Handle* out) {
    return useIcm ? flat::GdipCreateFromHWNDICM(window, out) : flat::GdipCreateFromHWND(window, out);
  });
}

bool Graphics::SetCompositingMode(Gdiplus::CompositingMode mode) {
  return Record(flat::GdipSetCompositingMode(handle(), mode));
}
bool Graphics::SetCompositingQuality(Gdiplus::CompositingQuality quality) {
  return Record(flat::GdipSetCompositingQuality(handle(), quality));
}
bool Graphics::SetSmoothingMode(Gdiplus::SmoothingMode mode) {
  return Record(flat::GdipSetSmoothingMode(handle(), mode));
}
Gdiplus::SmoothingMode Graphics::SmoothingMode() const {
  Gdiplus::SmoothingMode m = Gdiplus::SmoothingModeDefault;
  Record(flat::GdipGetSmoothingMode(handle(), &m));
  return m;
}
bool Graphics::SetInterpolationMode(Gdiplus::InterpolationMode mode) {
  return Record(flat::GdipSetInterpolationMode(handle(), mode));
}
Gdiplus::InterpolationMode Graphics::InterpolationMode() const {
  Gdiplus::InterpolationMode m = Gdiplus::InterpolationModeDefault;
  Record(flat::GdipGetInterpolationMode(handle(), &m));
  return m;
}
bool Graphics::SetPixelOffsetMode(Gdiplus::PixelOffsetMode mode) {
  return Record(flat::GdipSetPixelOffsetMode(handle(), mode));
}
bool Graphics::SetTextRenderingHint(Gdiplus::TextRenderingHint hint) {
  return Record(flat::GdipSetTextRenderingHint(handle(), hint));
}
bool Graphics::SetTextContrast(UINT contrast) { return Record(flat::GdipSetTextContrast(handle(), contrast)); }
bool Graphics::SetPageUnit(Gdiplus::Unit unit) { return Record(flat::GdipSetPageUnit(handle(), unit)); }
float Graphics::DpiX() const {
  float d = 0;
  Record(flat::GdipGetDpiX(handle(), &d));
  return d;
}
float Graphics::DpiY() const {
  float d = 0;
  Record(flat::GdipGetDpiY(handle(), &d));
  return d;
}

bool Graphics::SetTransform(const Matrix& matrix) {
  return Record(flat::GdipSetWorldTransform(handle(), matrix.handle()));
}
bool Graphics::ResetTransform() { return Record(flat::GdipResetWorldTransform(handle())); }
bool Graphics::TranslateTransform(float dx, float dy, Gdiplus::MatrixOrder order) {
  return Record(flat::GdipTranslateWorldTransform(handle(), dx, dy, order));
}
bool Graphics::ScaleTransform(float sx, float sy, Gdiplus::MatrixOrder order) {
  return Record(flat::GdipScaleWorldTransform(handle(), sx, sy, order));
}
bool Graphics::RotateTransform(float angle, Gdiplus::MatrixOrder order) {
  return Record(flat::GdipRotateWorldTransform(handle(), angle, order));
}

bool Graphics::SetClipRect(const RectF& r, Gdiplus::CombineMode mode) {
  return Record(flat::GdipSetClipRect(handle(), r.X, r.Y, r.Width, r.Height, mode));
}
bool Graphics::SetClipPath(const GraphicsPath& path, Gdiplus::CombineMode mode) {
  return Record(flat::GdipSetClipPath(handle(), path.handle(), mode));
}
bool Graphics::SetClipRegion(const Region& region, Gdiplus::CombineMode mode) {
  return Record(flat::GdipSetClipRegion(handle(), region.handle(), mode));
}
bool Graphics::SetClipHrgn(HRGN region, Gdiplus::CombineMode mode) {
  return Record(flat::GdipSetClipHrgn(handle(), region, mode));
}
bool Graphics::ResetClip() { return Record(flat::GdipResetClip(handle())); }
bool Graphics::TranslateClip(float dx, float dy) { return Record(flat::GdipTranslateClip(handle(), dx, dy)); }
RectF Graphics::ClipBounds() const {
  RectF r(0, 0, 0, 0);
  Record(flat::GdipGetClipBounds(handle(), &r));
  return r;
}
bool Graphics::IsClipEmpty() const {
  BOOL r = FALSE;
  Record(flat::GdipIsClipEmpty(handle(), &r));
  return r != FALSE;
}

Gdiplus::GraphicsState Graphics::Save() const {
  Gdiplus::GraphicsState state = 0;
  Record(flat::GdipSaveGraphics(handle(), &state));
  return state;
}
bool Graphics::Restore(Gdiplus::GraphicsState state) { return Record(flat::GdipRestoreGraphics(handle(), state)); }

bool Graphics::Clear(ARGB colour) { return Record(flat::GdipGraphicsClear(handle(), colour)); }
bool Graphics::DrawLine(const Pen& pen, float x1, float y1, float x2, float y2) {
  return Record(flat::GdipDrawLine(handle(), pen.handle(), x1, y1, x2, y2));
}
bool Graphics::DrawLines(const Pen& pen, const PointF* points, int count) {
  return Record(flat::GdipDrawLines(handle(), pen.handle(), points, count));
}
bool Graphics::DrawRectangle(const Pen& pen, const RectF& r) {
  return Record(flat::GdipDrawRectangle(handle(), pen.handle(), r.X, r.Y, r.Width, r.Height));
}
bool Graphics::DrawEllipse(const Pen& pen, const RectF& r) {
  return Record(flat::GdipDrawEllipse(handle(), pen.handle(), r.X, r.Y, r.Width, r.Height));
}
bool Graphics::DrawArc(const Pen& pen, const RectF& r, float startAngle, float sweepAngle) {
  return Record(flat::GdipDrawArc(handle(), pen.handle(), r.X, r.Y, r.Width, r.Height, startAngle, sweepAngle));
}
bool Graphics::DrawBezier(const Pen& pen, const PointF& p1, const PointF& p2, const PointF& p3, const PointF& p4) {
  return Record(flat::GdipDrawBezier(handle(), pen.handle(), p1.X, p1.Y, p2.X, p2.Y, p3.X, p3.Y, p4.X, p4.Y));
}
bool Graphics::DrawPolygon(const Pen& pen, const PointF* points, int count) {
  return Record(flat::GdipDrawPolygon(handle(), pen.handle(), points, count));
}
bool Graphics::DrawPath(const Pen& pen, const GraphicsPath& path) {
  return Record(flat::GdipDrawPath(handle(), pen.handle(), path.handle()));
}
bool Graphics::FillRectangle(const Brush& brush, const RectF& r) {
  return FillRectangle(brush, r.X, r.Y, r.Width, r.Height);
}
bool Graphics::FillRectangle(const Brush& brush, float x, float y, float width, float height) {
  return Record(flat::GdipFillRectangle(handle(), brush.handle(), x, y, width, height));
}
bool Graphics::FillEllipse(const Brush& brush, const RectF& r) {
  return Record(flat::GdipFillEllipse(handle(), brush.handle(), r.X, r.Y, r.Width, r.Height));
}
bool Graphics::FillPolygon(const Brush& brush, const PointF* points, int count, Gdiplus::FillMode mode) {
  return Record(flat::GdipFillPolygon(handle(), brush.handle(), points, count, mode));
}
bool Graphics::FillPie(const Brush& brush, const RectF& r, float startAngle, float sweepAngle) {
  return Record(flat::GdipFillPie(handle(), brush.handle(), r.X, r.Y, r.Width, r.Height, startAngle, sweepAngle));
}
bool Graphics::FillPath(const Brush& brush, const GraphicsPath& path) {
  return Record(flat::GdipFillPath(handle(), brush.handle(), path.handle()));
}
bool Graphics::FillRegion(const Brush& brush, const Region& region) {
  return Record(flat::GdipFillRegion(handle(), brush.handle(), region.handle()));
}

bool Graphics::DrawString(const Text& text, const Font& font, const RectF& layout, const StringFormat* format,
                          const Brush& brush) {
  std::wstring wide = Widen(text);
  return Record(flat::GdipDrawString(handle(), wide.c_str(), static_cast<INT>(wide.size()), font.handle(), &layout,
                                     HandleOf(format), brush.handle()));
}

bool Graphics::MeasureString(const Text& text, const Font& font, const RectF& layout, const StringFormat* format,
                             RectF& bounds, int* codepointsFitted, int* linesFilled) const {
  std::wstring wide = Widen(text);
  RectF box(0, 0, 0, 0);
  INT fitted = 0, lines = 0;
  bool ok = Record(flat::GdipMeasureString(handle(), wide.c_str(), static_cast<INT>(wide.size()), font.handle(),
                                           &layout, HandleOf(format), &box, &fitted, &lines));
  bounds = box;
  if (codepointsFitted) *codepointsFitted = fitted;
  if (linesFilled) *linesFilled = lines;
  return ok;
}

bool Graphics::DrawImage(const ImageBase& image, float x, float y) {
  return Record(flat::GdipDrawImage(handle(), image.handle(), x, y));
}
bool Graphics::DrawImage(const ImageBase& image, const RectF& d) {
  return Record(flat::GdipDrawImageRect(handle(), image.handle(), d.X, d.Y, d.Width, d.Height));
}
bool Graphics::DrawImage(const ImageBase& image, const RectF& d, const RectF& s, Gdiplus::Unit unit,
                         const ImageAttributes* attributes) {
  return Record(flat::GdipDrawImageRectRect(handle(), image.handle(), d.X, d.Y, d.Width, d.Height, s.X, s.Y,
                                            s.Width, s.Height, unit, HandleOf(attributes), nullptr, nullptr));
}
bool Graphics::DrawImagePoints(const ImageBase& image, const PointF points[3], const RectF& s, Gdiplus::Unit unit,
                               const ImageAttributes* attributes) {
  return Record(flat::GdipDrawImagePointsRect(handle(), image.handle(), points, 3, s.X, s.Y, s.Width, s.Height,
                                              unit, HandleOf(attributes), nullptr, nullptr));
}
bool Graphics::DrawCachedBitmap(const CachedBitmap& bitmap, int x, int y) {
  return Record(flat::GdipDrawCachedBitmap(handle(), bitmap.handle(), x, y));
}

HDC Graphics::GetDc() {
  HDC dc = nullptr;
  Record(flat::GdipGetDC(handle(), &dc));
  return dc;
}
bool Graphics::ReleaseDc(HDC dc) { return Record(flat::GdipReleaseDC(handle(), dc)); }
bool Graphics::Flush(Gdiplus::FlushIntention intention) { return Record(flat::GdipFlush(handle(), intention)); }

}  // namespace gdip
