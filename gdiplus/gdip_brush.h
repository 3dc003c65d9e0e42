// Brushes and pens.
#pragma once

#include "gdiplus/gdip_api.h"
#include "gdiplus/gdip_object.h"

namespace gdip {

class Matrix;

struct BrushTraits {
  using Handle = Gdiplus::GpBrush*;
  static Status Delete(Handle h) { return flat::GdipDeleteBrush(h); }
};

// Any brush; Graphics fills take this.
class Brush : public GdiPlusObject<BrushTraits> {
 public:
  Gdiplus::BrushType Type() const;
};

class SolidBrush : public Brush {
 public:
  SolidBrush() = default;
  explicit SolidBrush(ARGB colour) { CreateSolid(colour); }

  bool CreateSolid(ARGB colour);
  bool SetColour(ARGB colour);
  ARGB Colour() const;
  SolidBrush Clone() const;
};

class LinearGradientBrush : public Brush {
 public:
  Gdiplus::GpLineGradient* line() const noexcept { return reinterpret_cast<Gdiplus::GpLineGradient*>(handle()); }

  // From `from` (colour `start`) to `to` (colour `end`).
  bool CreateFromPoints(const PointF& from, const PointF& to, ARGB start, ARGB end,
                        Gdiplus::WrapMode wrap = Gdiplus::WrapModeTile);
  // Across `rect` in `mode` (0 horizontal, 1 vertical, 2 forward diagonal, 3 backward).
  bool CreateFromRect(const RectF& rect, ARGB start, ARGB end, Gdiplus::LinearGradientMode mode,
                      Gdiplus::WrapMode wrap = Gdiplus::WrapModeTile);
  bool CreateFromRectWithAngle(const RectF& rect, ARGB start, ARGB end, float angle, bool scalable,
                               Gdiplus::WrapMode wrap = Gdiplus::WrapModeTile);

  bool SetColours(ARGB start, ARGB end);
  bool Colours(ARGB& start, ARGB& end) const;
  RectF GradientRect() const;
  bool SetWrapMode(Gdiplus::WrapMode wrap);
  bool SetGammaCorrection(bool on);
  bool SetLinearBlend(float focus, float scale);
  bool SetSigmaBlend(float focus, float scale);
  bool SetBlend(const float* factors, const float* positions, int count);
  bool SetPresetBlend(const ARGB* colours, const float* positions, int count);
  bool SetTransform(const Matrix& matrix);
  bool ResetTransform();
  bool TranslateTransform(float dx, float dy, Gdiplus::MatrixOrder order = Gdiplus::MatrixOrderPrepend);
  bool ScaleTransform(float sx, float sy, Gdiplus::MatrixOrder order = Gdiplus::MatrixOrderPrepend);
  bool RotateTransform(float angle, Gdiplus::MatrixOrder order = Gdiplus::MatrixOrderPrepend);
  LinearGradientBrush Clone() const;
};

struct PenTraits {
  using Handle = Gdiplus::GpPen*;
  static Status Delete(Handle h) { return flat::GdipDeletePen(h); }
};

class Pen : public GdiPlusObject<PenTraits> {
 public:
  Pen() = default;
  Pen(ARGB colour, float width, Gdiplus::Unit unit = Gdiplus::UnitWorld) { Create(colour, width, unit); }

  bool Create(ARGB colour, float width, Gdiplus::Unit unit = Gdiplus::UnitWorld);
  bool CreateFromBrush(const Brush& brush, float width, Gdiplus::Unit unit = Gdiplus::UnitWorld);
  Pen Clone() const;

  float Width() const;
  bool SetWidth(float width);
  ARGB Colour() const;
  bool SetColour(ARGB colour);
  bool SetBrush(const Brush& brush);
  bool SetLineCap(Gdiplus::LineCap start, Gdiplus::LineCap end, Gdiplus::DashCap dash);
  bool SetStartCap(Gdiplus::LineCap cap);
  bool SetEndCap(Gdiplus::LineCap cap);
  bool SetLineJoin(Gdiplus::LineJoin join);
  bool SetMiterLimit(float limit);
  bool SetAlignment(Gdiplus::PenAlignment alignment);
  bool SetDashStyle(Gdiplus::DashStyle style);
  bool SetDashOffset(float offset);
  bool SetDashArray(const float* dashes, int count);
  bool SetCompoundArray(const float* parts, int count);
  bool SetTransform(const Matrix& matrix);
  bool ResetTransform();
};

}  // namespace gdip
