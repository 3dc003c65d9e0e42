#include "gdiplus/gdip_font.h"

#include <cstring>

#include "base/codepage.h"
#include "base/unique_handle.h"
#include "gdiplus/gdip_graphics.h"

namespace gdip {

bool FontFamily::CreateFromName(const Text& name, Gdiplus::GpFontCollection* collection) {
  std::wstring wide = Widen(name);
  return Create([&](Handle* out) { return flat::GdipCreateFontFamilyFromName(wide.c_str(), collection, out); });
}

bool FontFamily::CreateGenericSansSerif() {
  return Create([](Handle* out) { return flat::GdipGetGenericFontFamilySansSerif(out); });
}
bool FontFamily::CreateGenericSerif() {
  return Create([](Handle* out) { return flat::GdipGetGenericFontFamilySerif(out); });
}
bool FontFamily::CreateGenericMonospace() {
  return Create([](Handle* out) { return flat::GdipGetGenericFontFamilyMonospace(out); });
}

FontFamily FontFamily::Clone() const {
  FontFamily copy;
  Handle h = handle();
  copy.Create([&](Handle* out) { return flat::GdipCloneFontFamily(h, out); });
  return copy;
}

Text FontFamily::Name() const {
  WCHAR name[LF_FACESIZE] = {};
  if (!Record(flat::GdipGetFamilyName(handle(), name, 0))) return Text();
  name[LF_FACESIZE - 1] = 0;
  return Narrow(name);
}

bool FontFamily::IsStyleAvailable(int style) const {
  BOOL available = FALSE;
  Record(flat::GdipIsStyleAvailable(handle(), style, &available));
  return available != FALSE;
}

UINT16 FontFamily::EmHeight(int style) const {
  UINT16 v = 0;
  Record(flat::GdipGetEmHeight(handle(), style, &v));
  return v;
}
UINT16 FontFamily::CellAscent(int style) const {
  UINT16 v = 0;
  Record(flat::GdipGetCellAscent(handle(), style, &v));
  return v;
}
UINT16 FontFamily::CellDescent(int style) const {
  UINT16 v = 0;
  Record(flat::GdipGetCellDescent(handle(), style, &v));
  return v;
}
UINT16 FontFamily::LineSpacing(int style) const {
  UINT16 v = 0;
  Record(flat::GdipGetLineSpacing(handle(), style, &v));
  return v;
}

// --- Font ------------------------------------------------------------------------

bool Font::Create(const FontFamily& family, float size, int style, Gdiplus::Unit unit) {
  return GdiPlusObject::Create(
      [&](Handle* out) { return flat::GdipCreateFont(family.handle(), size, style, unit, out); });
}

bool Font::CreateFromName(const Text& familyName, float size, int style, Gdiplus::Unit unit) {
  FontFamily family;
  if (!family.CreateFromName(familyName)) {
    Status s = LastStatus();
    Release();
    return Record(s);
  }
  return Create(family, size, style, unit);
}

bool Font::CreateFromDefaultGuiFont() {
  LOGFONTA logfont{};
  if (::GetObjectA(::GetStockObject(DEFAULT_GUI_FONT), sizeof logfont, &logfont) != sizeof logfont) {
    Release();
    return false;
  }
  WindowDc screen(nullptr);
  return CreateFromLogfont(screen.get(), logfont);
}

bool Font::CreateFromHdc(HDC dc) {
  return GdiPlusObject::Create([&](Handle* out) { return flat::GdipCreateFontFromDC(dc, out); });
}

bool Font::CreateFromHdcAndFont(HDC dc, HFONT font) {
  LOGFONTA logfont{};
  if (font && ::GetObjectA(font, sizeof logfont, &logfont) == sizeof logfont) return CreateFromLogfont(dc, logfont);
  return CreateFromHdc(dc);
}

bool Font::CreateFromLogfont(HDC dc, const LOGFONTA& logfont) {
  return GdiPlusObject::Create([&](Handle* out) { return flat::GdipCreateFontFromLogfontA(dc, &logfont, out); });
}

Font Font::Clone() const {
  Font copy;
  Handle h = handle();
  copy.GdiPlusObject::Create([&](Handle* out) { return flat::GdipCloneFont(h, out); });
  return copy;
}

FontFamily Font::Family() const {
  FontFamily family;
  Gdiplus::GpFontFamily* f = nullptr;
  // GdipGetFamily hands out a new family object that the caller deletes.
  if (Record(flat::GdipGetFamily(handle(), &f))) family.Reset(f);
  return family;
}

int Font::Style() const {
  INT style = 0;
  Record(flat::GdipGetFontStyle(handle(), &style));
  return style;
}

float Font::Size() const {
  float size = 0;
  Record(flat::GdipGetFontSize(handle(), &size));
  return size;
}

Gdiplus::Unit Font::SizeUnit() const {
  Gdiplus::Unit unit = Gdiplus::UnitWorld;
  Record(flat::GdipGetFontUnit(handle(), &unit));
  return unit;
}

float Font::Height(const Graphics* graphics) const {
  float h = 0;
  Record(flat::GdipGetFontHeight(handle(), graphics ? graphics->handle() : nullptr, &h));
  return h;
}

float Font::HeightGivenDpi(float dpi) const {
  float h = 0;
  Record(flat::GdipGetFontHeightGivenDPI(handle(), dpi, &h));
  return h;
}

bool Font::GetLogfont(const Graphics* graphics, LOGFONTA& out) const {
  LOGFONTA logfont{};
  bool ok = Record(flat::GdipGetLogFontA(handle(), graphics ? graphics->handle() : nullptr, &logfont));
  out = logfont;
  out.lfFaceName[LF_FACESIZE - 1] = 0;
  return ok;
}

}  // namespace gdip
