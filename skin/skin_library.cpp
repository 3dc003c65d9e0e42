// SkinH_EL.dll: our skin library. The program hands it a ".SHE" skin and it
// takes over the look of the program's windows (see skin/FORMAT.md).
#include <windows.h>

#include <memory>

#include "skin/aero_effect.h"
#include "skin/skin_format.h"
#include "skin/skin_theme.h"
#include "skin/window_skinning.h"

// Attaches a skin to the calling program: its windows, existing and later ones,
// take the skin's colours. `data`/`length` are the skin's bytes; `text` and the
// three integers are reserved (the program passes "", 0, 0, 0) and ignored.
// A null pointer, length 0 or a skin that cannot be read gives back the default
// look. Attaching again replaces the previous skin. Returns 1 when a skin was
// attached, 0 otherwise.
extern "C" int __stdcall SkinH_AttachRes(const unsigned char* data, int length, const char* /*text*/, int /*reserved1*/,
                                         int /*reserved2*/, int /*reserved3*/) {
  const skin::ParseResult parsed =
      length > 0 ? skin::ParseSkin(data, static_cast<size_t>(length)) : skin::ParseResult{skin::ParseError::kNoData, {}};
  skin::ThemePtr theme = parsed.palette ? std::make_shared<const skin::Theme>(*parsed.palette) : nullptr;
  const bool attached = theme != nullptr;
  skin::SetCurrentTheme(std::move(theme));
  if (attached) {
    skin::PinLibrary();
    skin::HookThread(::GetCurrentThreadId());
    skin::SkinExistingWindows();
  }
  skin::RefreshSkinnedWindows();
  return attached ? 1 : 0;
}

// Non-zero asks for the desktop window manager's glass frame and soft shadow on
// skinned windows, zero gives the plain frame back. Returns 1 when the desktop
// is composed (the effect shows), 0 where there is no composition (nothing changes).
extern "C" int __stdcall SkinH_SetAero(int on) {
  skin::SetAeroWanted(on != 0);
  return skin::DesktopCompositionEnabled() ? 1 : 0;
}

// Nothing here takes a lock: DllMain runs under the loader's lock.
BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) skin::SetLibraryModule(instance);
  return TRUE;
}
