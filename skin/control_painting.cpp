#include "skin/control_painting.h"

#include <commctrl.h>

#include <string>

#include "base/window_text.h"
#include "skin/skin_rules.h"

namespace skin {
namespace {

// An off-screen copy of a rectangle, copied to the target in one go so a
// control never shows half-drawn.
class OffscreenCanvas {
 public:
  OffscreenCanvas(HDC target, int width, int height)
      : target_(target), width_(width), height_(height), dc_(::CreateCompatibleDC(target)),
        bitmap_(::CreateCompatibleBitmap(target, width > 0 ? width : 1, height > 0 ? height : 1)),
        selected_(dc_.get(), bitmap_.get()) {}
  HDC dc() const { return dc_.get(); }
  void CopyTo(int x, int y) const { ::BitBlt(target_, x, y, width_, height_, dc_.get(), 0, 0, SRCCOPY); }

 private:
  HDC target_;
  int width_;
  int height_;
  UniqueMemoryDc dc_;
  UniqueBitmap bitmap_;
  SelectedObject selected_;
};

void FillSolid(HDC dc, const RECT& rect, ColourRef colour) {
  UniqueBrush brush(::CreateSolidBrush(colour));
  ::FillRect(dc, &rect, brush.get());
}

// Fills with the parent's background so rounded corners blend into the window.
void FillParentBackground(HDC dc, const RECT& rect, HBRUSH background, POINT originInParent, ColourRef fallback) {
  if (!background) return FillSolid(dc, rect, fallback);
  POINT old;
  ::SetBrushOrgEx(dc, -originInParent.x, -originInParent.y, &old);
  ::FillRect(dc, &rect, background);
  ::SetBrushOrgEx(dc, old.x, old.y, nullptr);
}

// A rounded face: gradient inside, a border of `line` pixels around.
void DrawRoundedFace(HDC dc, const RECT& rect, int radius, int line, ColourRef top, ColourRef bottom, ColourRef border) {
  const int d = radius * 2;
  UniqueRegion shape(d > 0 ? ::CreateRoundRectRgn(rect.left, rect.top, rect.right + 1, rect.bottom + 1, d + 1, d + 1)
                           : ::CreateRectRgnIndirect(&rect));
  ::SelectClipRgn(dc, shape.get());
  FillVerticalGradient(dc, rect, top, bottom);
  ::SelectClipRgn(dc, nullptr);
  UniqueBrush borderBrush(::CreateSolidBrush(border));
  ::FrameRgn(dc, shape.get(), borderBrush.get(), line, line);
}

}  // namespace

void FillVerticalGradient(HDC dc, const RECT& rect, ColourRef top, ColourRef bottom) {
  const int rows = rect.bottom - rect.top;
  for (int y = 0; y < rows; ++y) {
    RECT line = {rect.left, rect.top + y, rect.right, rect.top + y + 1};
    FillSolid(dc, line, GradientColour(top, bottom, y, rows));
  }
}

UniqueBitmap MakeBackgroundBitmap(int width, int height, const Palette& palette) {
  WindowDc screen(nullptr);
  UniqueBitmap bitmap(::CreateCompatibleBitmap(screen.get(), width > 0 ? width : 1, height > 0 ? height : 1));
  if (!bitmap) return bitmap;
  UniqueMemoryDc dc(::CreateCompatibleDC(screen.get()));
  SelectedObject selected(dc.get(), bitmap.get());
  RECT all = {0, 0, width, height};
  FillVerticalGradient(dc.get(), all, palette.windowTop, palette.windowBottom);
  return bitmap;
}

void DrawPushButton(const DRAWITEMSTRUCT& item, const Palette& palette, const ButtonPaint& how) {
  const RECT& r = item.rcItem;
  const int width = r.right - r.left;
  const int height = r.bottom - r.top;
  if (width <= 0 || height <= 0) return;
  OffscreenCanvas canvas(item.hDC, width, height);
  HDC dc = canvas.dc();
  const RECT all = {0, 0, width, height};
  POINT origin = {how.originInParent.x + r.left, how.originInParent.y + r.top};
  FillParentBackground(dc, all, how.parentBackground, origin, palette.windowBottom);

  const bool disabled = (item.itemState & ODS_DISABLED) != 0;
  const bool pressed = (item.itemState & ODS_SELECTED) != 0;
  const ButtonLook& look = palette.button[ChooseButtonState(disabled, pressed, how.hot)];
  const FaceMetrics& f = how.faces;
  RECT face = {0, 0, width - 1, height - 1};
  DrawRoundedFace(dc, face, f.buttonRadius, f.lineWidth, look.faceTop, look.faceBottom, look.border);
  if (how.isDefault && !disabled) {
    // The default button carries a second, inner border.
    const int line = f.lineWidth;
    RECT inner = {line, line, width - 1 - line, height - 1 - line};
    const int d = f.buttonRadius > line ? (f.buttonRadius - line) * 2 + 1 : 0;
    UniqueRegion ring(d ? ::CreateRoundRectRgn(inner.left, inner.top, inner.right + 1, inner.bottom + 1, d, d)
                        : ::CreateRectRgnIndirect(&inner));
    UniqueBrush brush(::CreateSolidBrush(look.border));
    ::FrameRgn(dc, ring.get(), brush.get(), line, line);
  }

  RECT textRect = all;
  if (pressed) ::OffsetRect(&textRect, f.lineWidth, f.lineWidth);
  HFONT font = reinterpret_cast<HFONT>(::SendMessageW(item.hwndItem, WM_GETFONT, 0, 0));
  SelectedObject selectedFont(dc, font ? static_cast<HGDIOBJ>(font) : ::GetStockObject(DEFAULT_GUI_FONT));
  ::SetBkMode(dc, TRANSPARENT);
  ::SetTextColor(dc, look.text);
  UINT format = DT_CENTER | DT_VCENTER | DT_SINGLELINE;
  if (item.itemState & ODS_NOACCEL) format |= DT_HIDEPREFIX;
  const std::wstring text = WideWindowText(item.hwndItem);
  ::DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &textRect, format);

  if ((item.itemState & ODS_FOCUS) && !(item.itemState & ODS_NOFOCUSRECT)) {
    RECT focus = all;
    ::InflateRect(&focus, -f.focusInset, -f.focusInset);
    ::SetTextColor(dc, RGB(0, 0, 0));
    ::SetBkColor(dc, RGB(255, 255, 255));
    ::DrawFocusRect(dc, &focus);
  }
  canvas.CopyTo(r.left, r.top);
}

void PaintProgressBar(HWND bar, HDC target, const Palette& palette, const FaceMetrics& faces, HBRUSH parentBackground,
                      POINT originInParent) {
  RECT client;
  ::GetClientRect(bar, &client);
  const int width = client.right;
  const int height = client.bottom;
  if (width <= 0 || height <= 0) return;
  OffscreenCanvas canvas(target, width, height);
  HDC dc = canvas.dc();
  FillParentBackground(dc, client, parentBackground, originInParent, palette.windowBottom);

  RECT frame = {0, 0, width - 1, height - 1};
  DrawRoundedFace(dc, frame, faces.progressRadius, faces.lineWidth, palette.progressTrack, palette.progressTrack,
                  palette.progressBorder);

  PBRANGE range = {};
  ::SendMessageW(bar, PBM_GETRANGE, FALSE, reinterpret_cast<LPARAM>(&range));
  const long long position = static_cast<int>(::SendMessageW(bar, PBM_GETPOS, 0, 0));
  const bool vertical = (::GetWindowLongW(bar, GWL_STYLE) & PBS_VERTICAL) != 0;
  const int inset = faces.progressInset;
  RECT inner = {inset, inset, width - 1 - inset, height - 1 - inset};
  const int extent = vertical ? inner.bottom - inner.top : inner.right - inner.left;
  const int filled = ProgressFillLength(position, range.iLow, range.iHigh, extent);
  if (filled > 0) {
    RECT fill = inner;
    if (vertical) fill.top = fill.bottom - filled;
    else fill.right = fill.left + filled;
    const int gap = inset - faces.lineWidth > 0 ? inset - faces.lineWidth : 0;
    const int radius = faces.progressRadius > gap ? faces.progressRadius - gap : 0;
    const int d = radius * 2;
    UniqueRegion shape(d ? ::CreateRoundRectRgn(fill.left, fill.top, fill.right + 1, fill.bottom + 1, d + 1, d + 1)
                         : ::CreateRectRgnIndirect(&fill));
    ::SelectClipRgn(dc, shape.get());
    FillVerticalGradient(dc, fill, palette.progressFillTop, palette.progressFillBottom);
    ::SelectClipRgn(dc, nullptr);
  }
  canvas.CopyTo(0, 0);
}

void PaintEditBorder(HWND edit, const Palette& palette, const FaceMetrics& faces) {
  const LONG style = ::GetWindowLongW(edit, GWL_STYLE);
  const LONG exStyle = ::GetWindowLongW(edit, GWL_EXSTYLE);
  int ring = 0;
  if (exStyle & WS_EX_CLIENTEDGE) ring += ::GetSystemMetrics(SM_CXEDGE);
  if (style & WS_BORDER) ring += 1;
  if (ring <= 0) return;

  RECT window;
  ::GetWindowRect(edit, &window);
  ::OffsetRect(&window, -window.left, -window.top);
  WindowDc nonClient = WindowDc::WholeWindow(edit);
  HDC windowDc = nonClient.get();
  if (!windowDc) return;

  const bool enabled = ::IsWindowEnabled(edit) != FALSE;
  const bool focused = ::GetFocus() == edit;
  const ColourRef border = !enabled ? palette.editBorder : (focused ? palette.editFocusBorder : palette.editBorder);
  const ColourRef inside = enabled && !(style & ES_READONLY) ? palette.editBack : palette.editDisabledBack;

  RECT outer = window;
  const int borderWidth = ring < faces.editBorderWidth ? ring : faces.editBorderWidth;
  UniqueBrush borderBrush(::CreateSolidBrush(border));
  for (int i = 0; i < borderWidth; ++i) {
    ::FrameRect(windowDc, &outer, borderBrush.get());
    ::InflateRect(&outer, -1, -1);
  }
  UniqueBrush insideBrush(::CreateSolidBrush(inside));
  for (int i = borderWidth; i < ring; ++i) {
    ::FrameRect(windowDc, &outer, insideBrush.get());
    ::InflateRect(&outer, -1, -1);
  }
}

}  // namespace skin
