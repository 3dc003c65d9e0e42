// Paths, matrices and regions.
#pragma once

#include <array>

#include "base/text.h"
#include "base/unique_handle.h"
#include "gdiplus/gdip_api.h"
#include "gdiplus/gdip_object.h"

namespace gdip {

class FontFamily;
class Graphics;
class Pen;
class StringFormat;

struct MatrixTraits {
  using Handle = Gdiplus::GpMatrix*;
  static Status Delete(Handle h) { return flat::GdipDeleteMatrix(h); }
};

class Matrix : public GdiPlusObject<MatrixTraits> {
 public:
  bool CreateIdentity();
  bool Create(float m11, float m12, float m21, float m22, float dx, float dy);
  // Maps `rect` onto the parallelogram of three points (top-left, top-right, bottom-left).
  bool CreateFromRect(const RectF& rect, const PointF points[3]);
  Matrix Clone() const;

  bool SetElements(float m11, float m12, float m21, float m22, float dx, float dy);
  std::array<float, 6> Elements() const;
  float OffsetX() const { return Elements()[4]; }
  float OffsetY() const { return Elements()[5]; }
  bool Reset() { return SetElements(1, 0, 0, 1, 0, 0); }
  bool Multiply(const Matrix& other, Gdiplus::MatrixOrder order = Gdiplus::MatrixOrderPrepend);
  bool Translate(float dx, float dy, Gdiplus::MatrixOrder order = Gdiplus::MatrixOrderPrepend);
  bool Scale(float sx, float sy, Gdiplus::MatrixOrder order = Gdiplus::MatrixOrderPrepend);
  bool Rotate(float angle, Gdiplus::MatrixOrder order = Gdiplus::MatrixOrderPrepend);
  bool Shear(float sx, float sy, Gdiplus::MatrixOrder order = Gdiplus::MatrixOrderPrepend);
  bool Invert();
  bool TransformPoints(PointF* points, int count) const;
  bool IsInvertible() const;
  bool IsIdentity() const;
};

struct PathTraits {
  using Handle = Gdiplus::GpPath*;
  static Status Delete(Handle h) { return flat::GdipDeletePath(h); }
};

class GraphicsPath : public GdiPlusObject<PathTraits> {
 public:
  bool Create(Gdiplus::FillMode fillMode = Gdiplus::FillModeAlternate);
  bool CreateFromPoints(const PointF* points, const BYTE* types, int count,
                        Gdiplus::FillMode fillMode = Gdiplus::FillModeAlternate);
  GraphicsPath Clone() const;

  bool Reset();
  bool SetFillMode(Gdiplus::FillMode mode);
  bool StartFigure();
  bool CloseFigure();
  bool CloseAllFigures();
  bool AddLine(float x1, float y1, float x2, float y2);
  bool AddLines(const PointF* points, int count);
  bool AddArc(float x, float y, float width, float height, float startAngle, float sweepAngle);
  bool AddBezier(float x1, float y1, float x2, float y2, float x3, float y3, float x4, float y4);
  bool AddRectangle(const RectF& rect);
  bool AddEllipse(const RectF& rect);
  bool AddPie(const RectF& rect, float startAngle, float sweepAngle);
  bool AddPolygon(const PointF* points, int count);
  bool AddPath(const GraphicsPath& other, bool connect);
  // The outline of `text` in `family` at em size `emSize`, laid out in `layout`.
  bool AddString(const Text& text, const FontFamily& family, int style, float emSize, const RectF& layout,
                 const StringFormat* format);
  bool Transform(const Matrix& matrix);
  bool Flatten(const Matrix* matrix = nullptr, float flatness = 0.25f);
  // Replaces the path by the area a stroke of `pen` along it covers.
  bool Widen(const Pen& pen, const Matrix* matrix = nullptr, float flatness = 0.25f);
  bool Reverse();

  int PointCount() const;
  RectF Bounds(const Matrix* matrix = nullptr, const Pen* pen = nullptr) const;
  bool IsVisible(float x, float y, const Graphics* graphics = nullptr) const;
  bool IsOutlineVisible(float x, float y, const Pen& pen, const Graphics* graphics = nullptr) const;
};

struct RegionTraits {
  using Handle = Gdiplus::GpRegion*;
  static Status Delete(Handle h) { return flat::GdipDeleteRegion(h); }
};

class Region : public GdiPlusObject<RegionTraits> {
 public:
  bool CreateInfinite();
  bool CreateFromRect(const RectF& rect);
  bool CreateFromPath(const GraphicsPath& path);
  bool CreateFromHrgn(HRGN region);
  Region Clone() const;

  bool SetInfinite();
  bool SetEmpty();
  bool CombineRect(const RectF& rect, Gdiplus::CombineMode mode);
  bool CombinePath(const GraphicsPath& path, Gdiplus::CombineMode mode);
  bool CombineRegion(const Region& other, Gdiplus::CombineMode mode);
  bool Translate(float dx, float dy);
  bool Transform(const Matrix& matrix);

  RectF Bounds(const Graphics& graphics) const;
  // A GDI region of the same area; null for an infinite region or on failure.
  UniqueRegion GetHrgn(const Graphics& graphics) const;
  bool IsEmpty(const Graphics& graphics) const;
  bool IsInfinite(const Graphics& graphics) const;
  bool IsVisible(float x, float y, const Graphics* graphics = nullptr) const;
};

}  // namespace gdip
