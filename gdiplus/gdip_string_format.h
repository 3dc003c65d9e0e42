// Text layout options for drawing and measuring strings.
#pragma once

#include "gdiplus/gdip_api.h"
#include "gdiplus/gdip_object.h"

namespace gdip {

struct StringFormatTraits {
  using Handle = Gdiplus::GpStringFormat*;
  static Status Delete(Handle h) { return flat::GdipDeleteStringFormat(h); }
};

class StringFormat : public GdiPlusObject<StringFormatTraits> {
 public:
  // flags: StringFormatFlags bits (0x1000 no-wrap, 0x2000 line limit, 2 vertical, 1 right to left).
  bool Create(int flags = 0, LANGID language = 0);
  // Own copies of the two generic formats (the generic objects themselves belong to GDI+).
  bool CreateGenericDefault();
  bool CreateGenericTypographic();
  StringFormat Clone() const;

  bool SetFlags(int flags);
  int Flags() const;
  bool SetAlign(Gdiplus::StringAlignment align);
  Gdiplus::StringAlignment Align() const;
  bool SetLineAlign(Gdiplus::StringAlignment align);
  Gdiplus::StringAlignment LineAlign() const;
  bool SetTrimming(Gdiplus::StringTrimming trimming);
  bool SetHotkeyPrefix(int prefix);
  bool SetTabStops(float firstOffset, const float* stops, int count);
  bool SetMeasurableCharacterRanges(const Gdiplus::CharacterRange* ranges, int count);
};

}  // namespace gdip
