#include "skin/aero_effect.h"

#include <dwmapi.h>

#include <string>

#include "base/unique_handle.h"

namespace skin {
namespace {

struct DwmFunctions {
  UniqueModule module;
  decltype(&::DwmIsCompositionEnabled) isCompositionEnabled = nullptr;
  decltype(&::DwmSetWindowAttribute) setWindowAttribute = nullptr;
};

// Loaded once, from the system folder only, and kept for the process's life.
const DwmFunctions& Dwm() {
  static DwmFunctions* dwm = [] {
    auto* f = new DwmFunctions();
    wchar_t system[MAX_PATH] = {};
    const UINT length = ::GetSystemDirectoryW(system, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return f;
    const std::wstring path = std::wstring(system) + L"\\dwmapi.dll";
    f->module.reset(::LoadLibraryW(path.c_str()));
    if (!f->module) return f;
    f->isCompositionEnabled = reinterpret_cast<decltype(&::DwmIsCompositionEnabled)>(
        reinterpret_cast<void*>(::GetProcAddress(f->module.get(), "DwmIsCompositionEnabled")));
    f->setWindowAttribute = reinterpret_cast<decltype(&::DwmSetWindowAttribute)>(
        reinterpret_cast<void*>(::GetProcAddress(f->module.get(), "DwmSetWindowAttribute")));
    return f;
  }();
  return *dwm;
}

}  // namespace

bool DesktopCompositionEnabled() {
  const DwmFunctions& dwm = Dwm();
  BOOL enabled = FALSE;
  return dwm.isCompositionEnabled && SUCCEEDED(dwm.isCompositionEnabled(&enabled)) && enabled;
}

void ApplyAeroFrame(HWND frame, bool on) {
  if (!DesktopCompositionEnabled() || !Dwm().setWindowAttribute) return;
  const DWMNCRENDERINGPOLICY policy = on ? DWMNCRP_ENABLED : DWMNCRP_USEWINDOWSTYLE;
  Dwm().setWindowAttribute(frame, DWMWA_NCRENDERING_POLICY, &policy, sizeof(policy));
}

}  // namespace skin
