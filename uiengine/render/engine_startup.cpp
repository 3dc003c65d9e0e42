#include "uiengine/render/engine_startup.h"

#include <windows.h>

#include "base/embedded_data.h"
#include "base/process_state.h"
#include "gdiplus/gdip_api.h"
#include "resources/resource_ids.h"
#include "uiengine/core/event_dispatch.h"
#include "uiengine/core/host_window.h"
#include "uiengine/core/theme_state.h"
#include "uiengine/render/process_message_box.h"

void InitGlobals() {
  ThemedWindows().clear();
  CreateProcessMessageBox();
  dispatch::ClearRegistries();
}

void ReleaseGlobals() {
  // The box and the theme hold GDI+ objects: they go while GDI+ still runs (it is
  // never shut down; the process ends right after this step).
  DestroyProcessMessageBox();
  ReleaseTheme();
  dispatch::ClearRegistries();
}

ULONG_PTR StartGdiplus(UINT32 version) {
  Gdiplus::GdiplusStartupInput input;
  input.GdiplusVersion = version;
  input.DebugEventCallback = nullptr;
  input.SuppressBackgroundThread = FALSE;
  input.SuppressExternalCodecs = FALSE;
  ULONG_PTR token = 0;
  Gdiplus::GdiplusStartup(&token, &input, nullptr);  // a failure leaves the token 0
  return token;
}

void InitThemeDefaults() {
  StartGdiplus();
  ThemeState& theme = Theme();
  theme.settingsWritingEnabled = true;
  theme.textHaloEnabled = true;
  theme.fontFamily = "宋体";
  ProbeFont("微软雅黑");
  ApplyBackgroundPicture(EmbeddedDataCopy(IDR_BACKGROUND_JPEG));
}

void StartUiEngine() {
  InitGlobals();
  RegisterExitStep(ReleaseGlobals);
  RegisterHostWindowClass();
  InitThemeDefaults();
}
