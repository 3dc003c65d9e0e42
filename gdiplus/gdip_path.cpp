#include "gdiplus/gdip_path.h"

#include "base/codepage.h"
#include "gdiplus/gdip_brush.h"
#include "gdiplus/gdip_font.h"
#include "gdiplus/gdip_graphics.h"
#include "gdiplus/gdip_string_format.h"

namespace gdip {
namespace {
Gdiplus::GpGraphics* HandleOf(const Graphics* g) { return g ? g->handle() : nullptr; }
Gdiplus::GpMatrix* HandleOf(const Matrix* m) { return m ? m->handle() : nullptr; }
Gdiplus::GpPen* HandleOf(const Pen* p) { return p ? p->handle() : nullptr; }
}  // namespace

// --- Matrix ----------------------------------------------------------------------

bool Matrix::CreateIdentity() {
  return GdiPlusObject::Create([](Handle* out) { return flat::GdipCreateMatrix(out); });
}

bool Matrix::Create(float m11, float m12, float m21, float m22, float dx, float dy) {
  return GdiPlusObject::Create(
      [&](Handle* out) { return flat::GdipCreateMatrix2(m11, m12, m21, m22, dx, dy, out); });
}

bool Matrix::CreateFromRect(const RectF& rect, const PointF points[3]) {
  return GdiPlusObject::Create([&](Handle* out) { return flat::GdipCreateMatrix3(&rect, points, out); });
}

Matrix Matrix::Clone() const {
  Matrix copy;
  Handle h = handle();
  copy.GdiPlusObject::Create([&](Handle* out) { return flat::GdipCloneMatrix(h, out); });
  return copy;
}

bool Matrix::SetElements(float m11, float m12, float m21, float m22, float dx, float dy) {
  return Record(flat::GdipSetMatrixElements(handle(), m11, m12, m21, m22, dx, dy));
}

std::array<float, 6> Matrix::Elements() const {
  std::array<float, 6> e{};
  Record(flat::GdipGetMatrixElements(handle(), e.data()));
  return e;
}

bool Matrix::Multiply(const Matrix& other, Gdiplus::MatrixOrder order) {
  return Record(flat::GdipMultiplyMatrix(handle(), other.handle(), order));
}
bool Matrix::Translate(float dx, float dy, Gdiplus::MatrixOrder order) {
  return Record(flat::GdipTranslateMatrix(handle(), dx, dy, order));
}
bool Matrix::Scale(float sx, float sy, Gdiplus::MatrixOrder order) {
  return Record(flat::GdipScaleMatrix(handle(), sx, sy, order));
}
bool Matrix::Rotate(float angle, Gdiplus::MatrixOrder order) {
  return Record(flat::GdipRotateMatrix(handle(), angle, order));
}
bool Matrix::Shear(float sx, float sy, Gdiplus::MatrixOrder order) {
  return Record(flat::GdipShearMatrix(handle(), sx, sy, order));
}
bool Matrix::Invert() { return Record(flat::GdipInvertMatrix(handle())); }
bool Matrix::TransformPoints(PointF* points, int count) const {
  return Record(flat::GdipTransformMatrixPoints(handle(), points, count));
}
bool Matrix::IsInvertible() const {
  BOOL r = FALSE;
  Record(flat::GdipIsMatrixInvertible(handle(), &r));
  return r != FALSE;
}
bool Matrix::IsIdentity() const {
  BOOL r = FALSE;
  Record(flat::GdipIsMatrixIdentity(handle(), &r));
  return r != FALSE;
}

// --- GraphicsPath ----------------------------------------------------------------

bool GraphicsPath::Create(Gdiplus::FillMode fillMode) {
  return GdiPlusObject::Create([&](Handle* out) { return flat::GdipCreatePath(fillMode, out); });
}

bool GraphicsPath::CreateFromPoints(const PointF* points, const BYTE* types, int count, Gdiplus::FillMode fillMode) {
  return GdiPlusObject::Create(
      [&](Handle* out) { return flat::GdipCreatePath2(points, types, count, fillMode, out); });
}

GraphicsPath GraphicsPath::Clone() const {
  GraphicsPath copy;
  Handle h = handle();
  copy.GdiPlusObject::Create([&](Handle* out) { return flat::GdipClonePath(h, out); });
  return copy;
}

bool GraphicsPath::Reset() { return Record(flat::GdipResetPath(handle())); }
bool GraphicsPath::SetFillMode(Gdiplus::FillMode mode) { return Record(flat::GdipSetPathFillMode(handle(), mode)); }
bool GraphicsPath::StartFigure() { return Record(flat::GdipStartPathFigure(handle())); }
bool GraphicsPath::CloseFigure() { return Record(flat::GdipClosePathFigure(handle())); }
bool GraphicsPath::CloseAllFigures() { return Record(flat::GdipClosePathFigures(handle())); }
bool GraphicsPath::AddLine(float x1, float y1, float x2, float y2) {
  return Record(flat::GdipAddPathLine(handle(), x1, y1, x2, y2));
}
bool GraphicsPath::AddLines(const PointF* points, int count) {
  return Record(flat::GdipAddPathLine2(handle(), points, count));
}
bool GraphicsPath::AddArc(float x, float y, float width, float height, float startAngle, float sweepAngle) {
  return Record(flat::GdipAddPathArc(handle(), x, y, width, height, startAngle, sweepAngle));
}
bool GraphicsPath::AddBezier(float x1, float y1, float x2, float y2, float x3, float y3, float x4, float y4) {
  return Record(flat::GdipAddPathBezier(handle(), x1, y1, x2, y2, x3, y3, x4, y4));
}
bool GraphicsPath::AddRectangle(const RectF& r) {
  return Record(flat::GdipAddPathRectangle(handle(), r.X, r.Y, r.Width, r.Height));
}
bool GraphicsPath::AddEllipse(const RectF& r) {
  return Record(flat::GdipAddPathEllipse(handle(), r.X, r.Y, r.Width, r.Height));
}
bool GraphicsPath::AddPie(const RectF& r, float startAngle, float sweepAngle) {
  return Record(flat::GdipAddPathPie(handle(), r.X, r.Y, r.Width, r.Height, startAngle, sweepAngle));
}
bool GraphicsPath::AddPolygon(const PointF* points, int count) {
  return Record(flat::GdipAddPathPolygon(handle(), points, count));
}
bool GraphicsPath::AddPath(const GraphicsPath& other, bool connect) {
  return Record(flat::GdipAddPathPath(handle(), other.handle(), connect));
}

bool GraphicsPath::AddString(const Text& text, const FontFamily& family, int style, float emSize,
                             const RectF& layout, const StringFormat* format) {
  std::wstring wide = ::Widen(text);
  return Record(flat::GdipAddPathString(handle(), wide.c_str(), static_cast<INT>(wide.size()), family.handle(),
                                        style, emSize, &layout, format ? format->handle() : nullptr));
}

bool GraphicsPath::Transform(const Matrix& matrix) {
  return Record(flat::GdipTransformPath(handle(), matrix.handle()));
}
bool GraphicsPath::Flatten(const Matrix* matrix, float flatness) {
  return Record(flat::GdipFlattenPath(handle(), HandleOf(matrix), flatness));
}
bool GraphicsPath::Widen(const Pen& pen, const Matrix* matrix, float flatness) {
  return Record(flat::GdipWidenPath(handle(), pen.handle(), HandleOf(matrix), flatness));
}
bool GraphicsPath::Reverse() { return Record(flat::GdipReversePath(handle())); }

int GraphicsPath::PointCount() const {
  INT n = 0;
  Record(flat::GdipGetPointCount(handle(), &n));
  return n;
}

RectF GraphicsPath::Bounds(const Matrix* matrix, const Pen* pen) const {
  RectF r(0, 0, 0, 0);
  Record(flat::GdipGetPathWorldBounds(handle(), &r, HandleOf(matrix), HandleOf(pen)));
  return r;
}

bool GraphicsPath::IsVisible(float x, float y, const Graphics* graphics) const {
  BOOL r = FALSE;
  Record(flat::GdipIsVisiblePathPoint(handle(), x, y, HandleOf(graphics), &r));
  return r != FALSE;
}

bool GraphicsPath::IsOutlineVisible(float x, float y, const Pen& pen, const Graphics* graphics) const {
  BOOL r = FALSE;
  Record(flat::GdipIsOutlineVisiblePathPoint(handle(), x, y, pen.handle(), HandleOf(graphics), &r));
  return r != FALSE;
}

// --- Region ----------------------------------------------------------------------

bool Region::CreateInfinite() {
  return GdiPlusObject::Create([](Handle* out) { return flat::GdipCreateRegion(out); });
}
bool Region::CreateFromRect(const RectF& rect) {
  return GdiPlusObject::Create([&](Handle* out) { return flat::GdipCreateRegionRect(&rect, out); });
}
bool Region::CreateFromPath(const GraphicsPath& path) {
  return GdiPlusObject::Create([&](Handle* out) { return flat::GdipCreateRegionPath(path.handle(), out); });
}
bool Region::CreateFromHrgn(HRGN region) {
  return GdiPlusObject::Create([&](Handle* out) { return flat::GdipCreateRegionHrgn(region, out); });
}

Region Region::Clone() const {
  Region copy;
  Handle h = handle();
  copy.GdiPlusObject::Create([&](Handle* out) { return flat::GdipCloneRegion(h, out); });
  return copy;
}

bool Region::SetInfinite() { return Record(flat::GdipSetInfinite(handle())); }
bool Region::SetEmpty() { return Record(flat::GdipSetEmpty(handle())); }
bool Region::CombineRect(const RectF& rect, Gdiplus::CombineMode mode) {
  return Record(flat::GdipCombineRegionRect(handle(), &rect, mode));
}
bool Region::CombinePath(const GraphicsPath& path, Gdiplus::CombineMode mode) {
  return Record(flat::GdipCombineRegionPath(handle(), path.handle(), mode));
}
bool Region::CombineRegion(const Region& other, Gdiplus::CombineMode mode) {
  return Record(flat::GdipCombineRegionRegion(handle(), other.handle(), mode));
}
bool Region::Translate(float dx, float dy) { return Record(flat::GdipTranslateRegion(handle(), dx, dy)); }
bool Region::Transform(const Matrix& matrix) { return Record(flat::GdipTransformRegion(handle(), matrix.handle())); }

RectF Region::Bounds(const Graphics& graphics) const {
  RectF r(0, 0, 0, 0);
  Record(flat::GdipGetRegionBounds(handle(), graphics.handle(), &r));
  return r;
}

UniqueRegion Region::GetHrgn(const Graphics& graphics) const {
  HRGN rgn = nullptr;
  if (!Record(flat::GdipGetRegionHRgn(handle(), graphics.handle(), &rgn))) return UniqueRegion();
  return UniqueRegion(rgn);
}

bool Region::IsEmpty(const Graphics& graphics) const {
  BOOL r = FALSE;
  Record(flat::GdipIsEmptyRegion(handle(), graphics.handle(), &r));
  return r != FALSE;
}
bool Region::IsInfinite(const Graphics& graphics) const {
  BOOL r = FALSE;
  Record(flat::GdipIsInfiniteRegion(handle(), graphics.handle(), &r));
  return r != FALSE;
}
bool Region::IsVisible(float x, float y, const Graphics* graphics) const {
  BOOL r = FALSE;
  Record(flat::GdipIsVisibleRegionPoint(handle(), x, y, HandleOf(graphics), &r));
  return r != FALSE;
}

}  // namespace gdip
