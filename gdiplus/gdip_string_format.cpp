#include "gdiplus/gdip_string_format.h"

namespace gdip {

bool StringFormat::Create(int flags, LANGID language) {
  return GdiPlusObject::Create([&](Handle* out) { return flat::GdipCreateStringFormat(flags, language, out); });
}

bool StringFormat::CreateGenericDefault() {
  return GdiPlusObject::Create([](Handle* out) {
    Handle generic = nullptr;
    Status s = flat::GdipStringFormatGetGenericDefault(&generic);
    return s == Gdiplus::Ok ? flat::GdipCloneStringFormat(generic, out) : s;
  });
}

bool StringFormat::CreateGenericTypographic() {
  return GdiPlusObject::Create([](Handle* out) {
    Handle generic = nullptr;
    Status s = flat::GdipStringFormatGetGenericTypographic(&generic);
    return s == Gdiplus::Ok ? flat::GdipCloneStringFormat(generic, out) : s;
  });
}

StringFormat StringFormat::Clone() const {
  StringFormat copy;
  Handle h = handle();
  copy.GdiPlusObject::Create([&](Handle* out) { return flat::GdipCloneStringFormat(h, out); });
  return copy;
}

bool StringFormat::SetFlags(int flags) { return Record(flat::GdipSetStringFormatFlags(handle(), flags)); }
int StringFormat::Flags() const {
  INT f = 0;
  Record(flat::GdipGetStringFormatFlags(handle(), &f));
  return f;
}
bool StringFormat::SetAlign(Gdiplus::StringAlignment align) {
  return Record(flat::GdipSetStringFormatAlign(handle(), align));
}
Gdiplus::StringAlignment StringFormat::Align() const {
  Gdiplus::StringAlignment a = Gdiplus::StringAlignmentNear;
  Record(flat::GdipGetStringFormatAlign(handle(), &a));
  return a;
}
bool StringFormat::SetLineAlign(Gdiplus::StringAlignment align) {
  return Record(flat::GdipSetStringFormatLineAlign(handle(), align));
}
Gdiplus::StringAlignment StringFormat::LineAlign() const {
  Gdiplus::StringAlignment a = Gdiplus::StringAlignmentNear;
  Record(flat::GdipGetStringFormatLineAlign(handle(), &a));
  return a;
}
bool StringFormat::SetTrimming(Gdiplus::StringTrimming trimming) {
  return Record(flat::GdipSetStringFormatTrimming(handle(), trimming));
}
bool StringFormat::SetHotkeyPrefix(int prefix) {
  return Record(flat::GdipSetStringFormatHotkeyPrefix(handle(), prefix));
}
bool StringFormat::SetTabStops(float firstOffset, const float* stops, int count) {
  return Record(flat::GdipSetStringFormatTabStops(handle(), firstOffset, count, stops));
}
bool StringFormat::SetMeasurableCharacterRanges(const Gdiplus::CharacterRange* ranges, int count) {
  return Record(flat::GdipSetStringFormatMeasurableCharacterRanges(handle(), count, ranges));
}

}  // namespace gdip
