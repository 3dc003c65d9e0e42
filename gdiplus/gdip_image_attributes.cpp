#include "gdiplus/gdip_image_attributes.h"

namespace gdip {

bool ImageAttributes::Create() {
  return GdiPlusObject::Create([](Handle* out) { return flat::GdipCreateImageAttributes(out); });
}

ImageAttributes ImageAttributes::Clone() const {
  ImageAttributes copy;
  Handle h = handle();
  copy.GdiPlusObject::Create([&](Handle* out) { return flat::GdipCloneImageAttributes(h, out); });
  return copy;
}

bool ImageAttributes::SetToIdentity(Gdiplus::ColorAdjustType type) {
  return Record(flat::GdipSetImageAttributesToIdentity(handle(), type));
}
bool ImageAttributes::Reset(Gdiplus::ColorAdjustType type) {
  return Record(flat::GdipResetImageAttributes(handle(), type));
}

bool ImageAttributes::SetColorMatrix(const ColorMatrix& matrix, Gdiplus::ColorMatrixFlags flags,
                                     Gdiplus::ColorAdjustType type) {
  return Record(flat::GdipSetImageAttributesColorMatrix(handle(), type, TRUE, &matrix, nullptr, flags));
}
bool ImageAttributes::ClearColorMatrix(Gdiplus::ColorAdjustType type) {
  return Record(flat::GdipSetImageAttributesColorMatrix(handle(), type, FALSE, nullptr, nullptr,
                                                        Gdiplus::ColorMatrixFlagsDefault));
}
bool ImageAttributes::SetThreshold(float threshold, Gdiplus::ColorAdjustType type) {
  return Record(flat::GdipSetImageAttributesThreshold(handle(), type, TRUE, threshold));
}
bool ImageAttributes::ClearThreshold(Gdiplus::ColorAdjustType type) {
  return Record(flat::GdipSetImageAttributesThreshold(handle(), type, FALSE, 0));
}
bool ImageAttributes::SetGamma(float gamma, Gdiplus::ColorAdjustType type) {
  return Record(flat::GdipSetImageAttributesGamma(handle(), type, TRUE, gamma));
}
bool ImageAttributes::ClearGamma(Gdiplus::ColorAdjustType type) {
  return Record(flat::GdipSetImageAttributesGamma(handle(), type, FALSE, 0));
}
bool ImageAttributes::SetNoOp(Gdiplus::ColorAdjustType type) {
  return Record(flat::GdipSetImageAttributesNoOp(handle(), type, TRUE));
}
bool ImageAttributes::ClearNoOp(Gdiplus::ColorAdjustType type) {
  return Record(flat::GdipSetImageAttributesNoOp(handle(), type, FALSE));
}
bool ImageAttributes::SetColorKeys(ARGB low, ARGB high, Gdiplus::ColorAdjustType type) {
  return Record(flat::GdipSetImageAttributesColorKeys(handle(), type, TRUE, low, high));
}
bool ImageAttributes::ClearColorKeys(Gdiplus::ColorAdjustType type) {
  return Record(flat::GdipSetImageAttributesColorKeys(handle(), type, FALSE, 0, 0));
}
bool ImageAttributes::SetRemapTable(const Gdiplus::ColorMap* map, UINT count, Gdiplus::ColorAdjustType type) {
  return Record(flat::GdipSetImageAttributesRemapTable(handle(), type, TRUE, count, map));
}
bool ImageAttributes::ClearRemapTable(Gdiplus::ColorAdjustType type) {
  return Record(flat::GdipSetImageAttributesRemapTable(handle(), type, FALSE, 0, nullptr));
}
bool ImageAttributes::SetWrapMode(Gdiplus::WrapMode wrap, ARGB colour, bool clamp) {
  return Record(flat::GdipSetImageAttributesWrapMode(handle(), wrap, colour, clamp));
}

ColorMatrix AlphaScaleMatrix(float alpha) {
  ColorMatrix m{};
  m.m[0][0] = m.m[1][1] = m.m[2][2] = m.m[4][4] = 1.0f;
  m.m[3][3] = alpha;
  return m;
}

}  // namespace gdip
