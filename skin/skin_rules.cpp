#include "skin/skin_rules.h"

#include <cwctype>

namespace skin {
namespace {

bool SameClass(std::wstring_view a, std::wstring_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (std::towlower(a[i]) != std::towlower(b[i])) return false;
  return true;
}

constexpr std::wstring_view kLeftAlone[] = {
    L"MyWindow",          // the program's UI engine draws these itself (per-pixel alpha)
    L"#32770",            // message boxes and dialogs stay as the system draws them
    L"#32768",            // menus
    L"tooltips_class32",
    L"IME",
    L"MSCTFIME UI",
};

}  // namespace

bool IsSkinnableFrame(std::wstring_view className, DWORD style, DWORD exStyle) {
  if (style & WS_CHILD) return false;
  if (exStyle & WS_EX_LAYERED) return false;
  // Overlapped windows always get a caption; pop-ups only when they ask for one.
  const bool overlapped = (style & WS_POPUP) == 0;
  if (!overlapped && (style & WS_CAPTION) != WS_CAPTION) return false;
  for (std::wstring_view name : kLeftAlone)
    if (SameClass(className, name)) return false;
  return true;
}

ControlKind ClassifyControl(std::wstring_view className, DWORD style) {
  if (!(style & WS_CHILD)) return ControlKind::kNone;
  if (SameClass(className, L"Button")) {
    const DWORD type = style & BS_TYPEMASK;
    return (type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON) ? ControlKind::kPushButton : ControlKind::kNone;
  }
  if (SameClass(className, L"Edit")) return ControlKind::kEdit;
  if (SameClass(className, L"msctls_progress32")) return ControlKind::kProgress;
  return ControlKind::kNone;
}

}  // namespace skin

namespace skin {

ButtonState ChooseButtonState(bool disabled, bool pressed, bool hot) {
  if (disabled) return kButtonDisabled;
  if (pressed) return kButtonPressed;
  if (hot) return kButtonHot;
  return kButtonNormal;
}

int ProgressFillLength(long long position, long long minimum, long long maximum, int extent) {
  if (extent <= 0 || maximum <= minimum) return 0;
  if (position < minimum) position = minimum;
  if (position > maximum) position = maximum;
  return static_cast<int>((position - minimum) * extent / (maximum - minimum));
}

unsigned long GradientColour(unsigned long top, unsigned long bottom, int y, int rows) {
  if (rows <= 1 || y <= 0) return top & 0xFFFFFFul;
  if (y >= rows - 1) return bottom & 0xFFFFFFul;
  unsigned long out = 0;
  for (int shift = 0; shift < 24; shift += 8) {
    const long a = static_cast<long>((top >> shift) & 0xFF);
    const long b = static_cast<long>((bottom >> shift) & 0xFF);
    const long v = a + (b - a) * y / (rows - 1);
    out |= static_cast<unsigned long>(v) << shift;
  }
  return out;
}

}  // namespace skin
