// Font families and fonts. Family names are GBK texts (converted with code page 936).
#pragma once

#include "base/text.h"
#include "gdiplus/gdip_api.h"
#include "gdiplus/gdip_object.h"

namespace gdip {

class Graphics;

struct FontFamilyTraits {
  using Handle = Gdiplus::GpFontFamily*;
  static Status Delete(Handle h) { return flat::GdipDeleteFontFamily(h); }
};

class FontFamily : public GdiPlusObject<FontFamilyTraits> {
 public:
  // A family of the installed fonts (or of `collection` when given). Fails with
  // FontFamilyNotFound (14) when no such family exists.
  bool CreateFromName(const Text& name, Gdiplus::GpFontCollection* collection = nullptr);
  bool CreateGenericSansSerif();
  bool CreateGenericSerif();
  bool CreateGenericMonospace();
  FontFamily Clone() const;

  Text Name() const;
  bool IsStyleAvailable(int style) const;
  UINT16 EmHeight(int style) const;
  UINT16 CellAscent(int style) const;
  UINT16 CellDescent(int style) const;
  UINT16 LineSpacing(int style) const;
};

struct FontTraits {
  using Handle = Gdiplus::GpFont*;
  static Status Delete(Handle h) { return flat::GdipDeleteFont(h); }
};

class Font : public GdiPlusObject<FontTraits> {
 public:
  // style: FontStyle bits (0 regular, 1 bold, 2 italic, ...); unit: Unit (0 world).
  bool Create(const FontFamily& family, float size, int style = 0, Gdiplus::Unit unit = Gdiplus::UnitWorld);
  // Through a temporary family of that name.
  bool CreateFromName(const Text& familyName, float size, int style = 0, Gdiplus::Unit unit = Gdiplus::UnitWorld);
  // The system's DEFAULT_GUI_FONT on the screen.
  bool CreateFromDefaultGuiFont();
  bool CreateFromHdc(HDC dc);
  // From a GDI font selected for `dc`; the DC's own font when `font` gives no LOGFONT.
  bool CreateFromHdcAndFont(HDC dc, HFONT font);
  bool CreateFromLogfont(HDC dc, const LOGFONTA& logfont);
  Font Clone() const;

  FontFamily Family() const;
  int Style() const;
  float Size() const;
  Gdiplus::Unit SizeUnit() const;
  float Height(const Graphics* graphics) const;
  float HeightGivenDpi(float dpi) const;
  bool GetLogfont(const Graphics* graphics, LOGFONTA& out) const;
};

}  // namespace gdip
