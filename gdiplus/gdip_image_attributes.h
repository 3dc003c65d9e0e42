// Colour adjustments applied when an image is drawn.
#pragma once

#include "gdiplus/gdip_api.h"
#include "gdiplus/gdip_object.h"

namespace gdip {

struct ImageAttributesTraits {
  using Handle = Gdiplus::GpImageAttributes*;
  static Status Delete(Handle h) { return flat::GdipDisposeImageAttributes(h); }
};

// Each adjustment has a Set (enabled, with its values) and a Clear (disabled).
class ImageAttributes : public GdiPlusObject<ImageAttributesTraits> {
 public:
  bool Create();
  ImageAttributes Clone() const;
  bool SetToIdentity(Gdiplus::ColorAdjustType type = Gdiplus::ColorAdjustTypeDefault);
  bool Reset(Gdiplus::ColorAdjustType type = Gdiplus::ColorAdjustTypeDefault);

  bool SetColorMatrix(const ColorMatrix& matrix, Gdiplus::ColorMatrixFlags flags = Gdiplus::ColorMatrixFlagsDefault,
                      Gdiplus::ColorAdjustType type = Gdiplus::ColorAdjustTypeDefault);
  bool ClearColorMatrix(Gdiplus::ColorAdjustType type = Gdiplus::ColorAdjustTypeDefault);
  bool SetThreshold(float threshold, Gdiplus::ColorAdjustType type = Gdiplus::ColorAdjustTypeDefault);
  bool ClearThreshold(Gdiplus::ColorAdjustType type = Gdiplus::ColorAdjustTypeDefault);
  bool SetGamma(float gamma, Gdiplus::ColorAdjustType type = Gdiplus::ColorAdjustTypeDefault);
  bool ClearGamma(Gdiplus::ColorAdjustType type = Gdiplus::ColorAdjustTypeDefault);
  bool SetNoOp(Gdiplus::ColorAdjustType type = Gdiplus::ColorAdjustTypeDefault);
  bool ClearNoOp(Gdiplus::ColorAdjustType type = Gdiplus::ColorAdjustTypeDefault);
  bool SetColorKeys(ARGB low, ARGB high, Gdiplus::ColorAdjustType type = Gdiplus::ColorAdjustTypeDefault);
  bool ClearColorKeys(Gdiplus::ColorAdjustType type = Gdiplus::ColorAdjustTypeDefault);
  bool SetRemapTable(const Gdiplus::ColorMap* map, UINT count,
                     Gdiplus::ColorAdjustType type = Gdiplus::ColorAdjustTypeDefault);
  bool ClearRemapTable(Gdiplus::ColorAdjustType type = Gdiplus::ColorAdjustTypeDefault);
  bool SetWrapMode(Gdiplus::WrapMode wrap, ARGB colour = 0, bool clamp = false);
};

// The colour matrix that scales alpha by `alpha` and keeps the colours.
ColorMatrix AlphaScaleMatrix(float alpha);

}  // namespace gdip
