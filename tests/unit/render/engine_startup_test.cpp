#include <gtest/gtest.h>

#include "base/process_state.h"
#include "uiengine/core/event_dispatch.h"
#include "uiengine/core/host_window.h"
#include "uiengine/core/theme_state.h"
#include "uiengine/render/engine_startup.h"
#include "uiengine/render/os_generation.h"
#include "uiengine/render/process_message_box.h"
#include "uiengine/render/skinned_message_box.h"

namespace {

ByteBuffer EmbeddedBackground() {
  HRSRC r = ::FindResourceW(nullptr, MAKEINTRESOURCEW(2000), MAKEINTRESOURCEW(10));
  const auto* data = static_cast<const unsigned char*>(::LockResource(::LoadResource(nullptr, r)));
  return data ? ByteBuffer(data, data + ::SizeofResource(nullptr, r)) : ByteBuffer();
}

// One test: the start-up happens once per process, as in the program.
TEST(EngineStartup, StartsInOrderAndTheExitStepReleasesEverything) {
  ASSERT_EQ(ProcessMessageBox(), nullptr);
  StartUiEngine();

  SkinnedMessageBox* box = ProcessMessageBox();
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(box->hwnd(), nullptr);
  EXPECT_EQ(box->buttons().highlight, 100);
  EXPECT_EQ(box->buttons().buttonState, kButtonIdle);

  WNDCLASSEXW cls = {sizeof(cls)};
  EXPECT_TRUE(::GetClassInfoExW(::GetModuleHandleW(nullptr), L"MyWindow", &cls));

  const ThemeState& theme = Theme();
  EXPECT_TRUE(theme.settingsWritingEnabled);
  EXPECT_TRUE(theme.textHaloEnabled);
  // The test prefix maps 微软雅黑 to an installed family, so the probe finds it.
  EXPECT_EQ(theme.fontFamily, "微软雅黑");
  ByteBuffer embedded = EmbeddedBackground();
  ASSERT_GT(embedded.size(), 4u);
  EXPECT_EQ(embedded[0], 0xFF);
  EXPECT_EQ(embedded[1], 0xD8);
  EXPECT_EQ(theme.picture, embedded);
  EXPECT_TRUE(theme.background.valid());
  EXPECT_TRUE(ThemedWindows().empty());

  // On a system without the DWM's blur (anything but 6.1) the box never loads dwmapi.
  ASSERT_EQ(::GetModuleHandleW(L"dwmapi.dll"), nullptr);
  OverrideOsGenerationCode(8);
  EXPECT_TRUE(ShowProcessMessageBox(nullptr, false, "恭喜", "当前已近是最新版本", MB_ICONINFORMATION, 0));
  EXPECT_FALSE(box->blurCapable());
  ::SendMessageW(box->hwnd(), WM_NCHITTEST, 0, 0);
  ::DestroyWindow(box->hwnd());
  EXPECT_EQ(::GetModuleHandleW(L"dwmapi.dll"), nullptr);
  OverrideOsGenerationCode(-1);

  // The box works on what start-up made.
  EXPECT_TRUE(ShowProcessMessageBox(nullptr, false, "恭喜", "当前已近是最新版本", MB_ICONINFORMATION, 0));
  EXPECT_FALSE(ShowProcessMessageBox(nullptr, false, "again", "", MB_ICONINFORMATION, 0));
  HWND hwnd = box->hwnd();
  ASSERT_NE(hwnd, nullptr);
  if (OsGenerationCode() == 9) EXPECT_NE(::GetModuleHandleW(L"dwmapi.dll"), nullptr);  // blur asked for
  ::DestroyWindow(hwnd);

  RunExitStep();
  EXPECT_EQ(ProcessMessageBox(), nullptr);
  EXPECT_TRUE(Theme().picture.empty());
  EXPECT_FALSE(Theme().background.valid());
  RunExitStep();  // runs once: a second call finds nothing registered
  EXPECT_EQ(ShowProcessMessageBox(nullptr, false, "late", "", 0, 0), false);
}

}  // namespace
