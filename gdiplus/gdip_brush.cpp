#include "gdiplus/gdip_brush.h"

#include "gdiplus/gdip_path.h"

namespace gdip {

Gdiplus::BrushType Brush::Type() const {
  Gdiplus::BrushType t = Gdiplus::BrushTypeSolidColor;
  Record(flat::GdipGetBrushType(handle(), &t));
  return t;
}

// --- SolidBrush ------------------------------------------------------------------

bool SolidBrush::CreateSolid(ARGB colour) {
  return Create([&](Handle* out) {
    return flat::GdipCreateSolidFill(colour, reinterpret_cast<Gdiplus::GpSolidFill**>(out));
  });
}

bool SolidBrush::SetColour(ARGB colour) {
  return Record(flat::GdipSetSolidFillColor(reinterpret_cast<Gdiplus::GpSolidFill*>(handle()), colour));
}

ARGB SolidBrush::Colour() const {
  ARGB c = 0;
  Record(flat::GdipGetSolidFillColor(reinterpret_cast<Gdiplus::GpSolidFill*>(handle()), &c));
  return c;
}

SolidBrush SolidBrush::Clone() const {
  SolidBrush copy;
  Handle h = handle();
  copy.Create([&](Handle* out) { return flat::GdipCloneBrush(h, out); });
  return copy;
}

// --- LinearGradientBrush ---------------------------------------------------------

namespace {
Gdiplus::GpLineGradient** AsLine(Gdiplus::GpBrush** out) {
  return reinterpret_cast<Gdiplus::GpLineGradient**>(out);
}
}  // namespace

bool LinearGradientBrush::CreateFromPoints(const PointF& from, const PointF& to, ARGB start, ARGB end,
                                           Gdiplus::WrapMode wrap) {
  return Create([&](Handle* out) { return flat::GdipCreateLineBrush(&from, &to, start, end, wrap, AsLine(out)); });
}

bool LinearGradientBrush::CreateFromRect(const RectF& rect, ARGB start, ARGB end,
                                         Gdiplus::LinearGradientMode mode, Gdiplus::WrapMode wrap) {
  return Create(
      [&](Handle* out) { return flat::GdipCreateLineBrushFromRect(&rect, start, end, mode, wrap, AsLine(out)); });
}

bool LinearGradientBrush::CreateFromRectWithAngle(const RectF& rect, ARGB start, ARGB end, float angle,
                                                  bool scalable, Gdiplus::WrapMode wrap) {
  return Create([&](Handle* out) {
    return flat::GdipCreateLineBrushFromRectWithAngle(&rect, start, end, angle, scalable, wrap, AsLine(out));
  });
}

bool LinearGradientBrush::SetColours(ARGB start, ARGB end) {
  return Record(flat::GdipSetLineColors(line(), start, end));
}

bool LinearGradientBrush::Colours(ARGB& start, ARGB& end) const {
  ARGB c[2] = {0, 0};
  bool ok = Record(flat::GdipGetLineColors(line(), c));
  start = c[0];
  end = c[1];
  return ok;
}

RectF LinearGradientBrush::GradientRect() const {
  RectF r(0, 0, 0, 0);
  Record(flat::GdipGetLineRect(line(), &r));
  return r;
}

bool LinearGradientBrush::SetWrapMode(Gdiplus::WrapMode wrap) {
  return Record(flat::GdipSetLineWrapMode(line(), wrap));
}
bool LinearGradientBrush::SetGammaCorrection(bool on) {
  return Record(flat::GdipSetLineGammaCorrection(line(), on));
}
bool LinearGradientBrush::SetLinearBlend(float focus, float scale) {
  return Record(flat::GdipSetLineLinearBlend(line(), focus, scale));
}
bool LinearGradientBrush::SetSigmaBlend(float focus, float scale) {
  return Record(flat::GdipSetLineSigmaBlend(line(), focus, scale));
}
bool LinearGradientBrush::SetBlend(const float* factors, const float* positions, int count) {
  return Record(flat::GdipSetLineBlend(line(), factors, positions, count));
}
bool LinearGradientBrush::SetPresetBlend(const ARGB* colours, const float* positions, int count) {
  return Record(flat::GdipSetLinePresetBlend(line(), colours, positions, count));
}
bool LinearGradientBrush::SetTransform(const Matrix& matrix) {
  return Record(flat::GdipSetLineTransform(line(), matrix.handle()));
}
bool LinearGradientBrush::ResetTransform() { return Record(flat::GdipResetLineTransform(line())); }
bool LinearGradientBrush::TranslateTransform(float dx, float dy, Gdiplus::MatrixOrder order) {
  return Record(flat::GdipTranslateLineTransform(line(), dx, dy, order));
}
bool LinearGradientBrush::ScaleTransform(float sx, float sy, Gdiplus::MatrixOrder order) {
  return Record(flat::GdipScaleLineTransform(line(), sx, sy, order));
}
bool LinearGradientBrush::RotateTransform(float angle, Gdiplus::MatrixOrder order) {
  return Record(flat::GdipRotateLineTransform(line(), angle, order));
}

LinearGradientBrush LinearGradientBrush::Clone() const {
  LinearGradientBrush copy;
  Handle h = handle();
  copy.Create([&](Handle* out) { return flat::GdipCloneBrush(h, out); });
  return copy;
}

// --- Pen -------------------------------------------------------------------------

bool Pen::Create(ARGB colour, float width, Gdiplus::Unit unit) {
  return GdiPlusObject::Create([&](Handle* out) { return flat::GdipCreatePen1(colour, width, unit, out); });
}

bool Pen::CreateFromBrush(const Brush& brush, float width, Gdiplus::Unit unit) {
  return GdiPlusObject::Create([&](Handle* out) { return flat::GdipCreatePen2(brush.handle(), width, unit, out); });
}

Pen Pen::Clone() const {
  Pen copy;
  Handle h = handle();
  copy.GdiPlusObject::Create([&](Handle* out) { return flat::GdipClonePen(h, out); });
  return copy;
}

float Pen::Width() const {
  float w = 0;
  Record(flat::GdipGetPenWidth(handle(), &w));
  return w;
}
bool Pen::SetWidth(float width) { return Record(flat::GdipSetPenWidth(handle(), width)); }
ARGB Pen::Colour() const {
  ARGB c = 0;
  Record(flat::GdipGetPenColor(handle(), &c));
  return c;
}
bool Pen::SetColour(ARGB colour) { return Record(flat::GdipSetPenColor(handle(), colour)); }
bool Pen::SetBrush(const Brush& brush) { return Record(flat::GdipSetPenBrushFill(handle(), brush.handle())); }
bool Pen::SetLineCap(Gdiplus::LineCap start, Gdiplus::LineCap end, Gdiplus::DashCap dash) {
  return Record(flat::GdipSetPenLineCap197819(handle(), start, end, dash));
}
bool Pen::SetStartCap(Gdiplus::LineCap cap) { return Record(flat::GdipSetPenStartCap(handle(), cap)); }
bool Pen::SetEndCap(Gdiplus::LineCap cap) { return Record(flat::GdipSetPenEndCap(handle(), cap)); }
bool Pen::SetLineJoin(Gdiplus::LineJoin join) { return Record(flat::GdipSetPenLineJoin(handle(), join)); }
bool Pen::SetMiterLimit(float limit) { return Record(flat::GdipSetPenMiterLimit(handle(), limit)); }
bool Pen::SetAlignment(Gdiplus::PenAlignment alignment) { return Record(flat::GdipSetPenMode(handle(), alignment)); }
bool Pen::SetDashStyle(Gdiplus::DashStyle style) { return Record(flat::GdipSetPenDashStyle(handle(), style)); }
bool Pen::SetDashOffset(float offset) { return Record(flat::GdipSetPenDashOffset(handle(), offset)); }
bool Pen::SetDashArray(const float* dashes, int count) {
  return Record(flat::GdipSetPenDashArray(handle(), dashes, count));
}
bool Pen::SetCompoundArray(const float* parts, int count) {
  return Record(flat::GdipSetPenCompoundArray(handle(), parts, count));
}
bool Pen::SetTransform(const Matrix& matrix) { return Record(flat::GdipSetPenTransform(handle(), matrix.handle())); }
bool Pen::ResetTransform() { return Record(flat::GdipResetPenTransform(handle())); }

}  // namespace gdip
