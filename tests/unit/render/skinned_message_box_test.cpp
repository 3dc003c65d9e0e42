#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "render_test_support.h"
#include "uiengine/core/host_window.h"
#include "uiengine/core/theme_state.h"
#include "uiengine/render/frame_recorder.h"
#include "uiengine/render/skinned_message_box.h"

namespace {

constexpr int W = SkinnedMessageBox::kWidth, H = SkinnedMessageBox::kHeight;

struct Recorder : FrameRecorder {
  std::vector<FrameRecord> frames;
  void OnFrame(const FrameRecord& r) override { frames.push_back(r); }
  std::vector<FrameRecord> Of(EffectKind kind) const {
    std::vector<FrameRecord> out;
    for (const auto& f : frames)
      if (f.effect == kind) out.push_back(f);
    return out;
  }
};

void PumpMessages() {
  MSG msg;
  while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    ::TranslateMessage(&msg);
    ::DispatchMessageW(&msg);
  }
}

LPARAM Point(int x, int y) { return MAKELPARAM(x, y); }

struct MessageBoxTest : ::testing::Test {
  Recorder recorder;
  HWND owner = nullptr;
  SkinnedMessageBox box;

  void SetUp() override {
    RegisterHostWindowClass();
    ThemeState& theme = Theme();
    theme.fontFamily = "宋体";
    theme.textHaloEnabled = true;
    theme.colours.img_rgb = RGB(60, 120, 200);
    theme.colours.text_rgb1 = 0;
    theme.colours.text_rgb2 = 0xFFFFFF;
    owner = ::CreateWindowExW(0, L"Static", L"owner", WS_POPUP | WS_VISIBLE, 100, 100, 469, 298, nullptr, nullptr,
                              nullptr, nullptr);
    SetFrameRecorder(&recorder);
  }
  void TearDown() override {
    SetFrameRecorder(nullptr);
    ::DestroyWindow(owner);
  }
  void Show() { box.ShowMessageBox(owner, true, "恭喜", "当前已近是最新版本", MB_ICONINFORMATION, 0); }
  // Screen position of a box-relative point.
  LPARAM Screen(int x, int y) {
    RECT rc;
    ::GetWindowRect(box.hwnd(), &rc);
    return Point(rc.left + x, rc.top + y);
  }
};

TEST_F(MessageBoxTest, ShowsCentredOnItsOwnerWithTheZoomIn) {
  Show();
  HWND hwnd = box.hwnd();
  ASSERT_NE(hwnd, nullptr);
  // x = 100 + (469 / 2 - 202.5) = 132; y = (298 / 2 - 87.5) + 100 = 161.5, truncated.
  const POINT at = {132, 161};

  auto zoom = recorder.Of(EffectKind::ZoomIn);
  ASSERT_EQ(zoom.size(), 12u);
  for (size_t i = 0; i < zoom.size(); ++i) {
    EXPECT_EQ(zoom[i].destination.x, at.x - 20);
    EXPECT_EQ(zoom[i].destination.y, at.y - 20);
    EXPECT_EQ(zoom[i].surface.cx, W + 40);
    EXPECT_EQ(zoom[i].surface.cy, H + 40);
    EXPECT_EQ(zoom[i].frame.alpha, 130 + 10 * static_cast<int>(i));
    // Hidden until the first frame has reached the window, then visible.
    EXPECT_EQ(zoom[i].visibleBefore, i > 0) << i;
    EXPECT_EQ(zoom[i].showsWindow, i == 0) << i;
  }
  auto presents = recorder.Of(EffectKind::Present);
  ASSERT_EQ(presents.size(), 1u);
  EXPECT_EQ(presents[0].destination.x, at.x);
  EXPECT_EQ(presents[0].destination.y, at.y);
  EXPECT_EQ(presents[0].surface.cx, W);
  EXPECT_EQ(presents[0].surface.cy, H);
  EXPECT_EQ(recorder.frames.back().effect, EffectKind::Present);

  RECT rc;
  ::GetWindowRect(hwnd, &rc);
  EXPECT_EQ(rc.left, at.x);
  EXPECT_EQ(rc.top, at.y);
  EXPECT_EQ(rc.right - rc.left, W);
  EXPECT_EQ(rc.bottom - rc.top, H);
  // Layered; the system may add the edge bit that goes with the sizing border.
  EXPECT_EQ(::GetWindowLongPtrW(hwnd, GWL_EXSTYLE) & ~WS_EX_WINDOWEDGE, WS_EX_LAYERED);
  EXPECT_EQ(static_cast<DWORD>(::GetWindowLongPtrW(hwnd, GWL_STYLE)) & WS_POPUP, static_cast<DWORD>(WS_POPUP));
  wchar_t title[16] = {};
  ::GetWindowTextW(hwnd, title, 16);
  EXPECT_STREQ(title, L"\u606D\u559C");  // 恭喜
  const auto& themed = ThemedWindows();
  EXPECT_NE(std::find(themed.begin(), themed.end(), hwnd), themed.end());
  EXPECT_EQ(box.messageText(), "当前已近是最新版本");
  EXPECT_TRUE(box.hasCachedBackground());
  ::DestroyWindow(hwnd);
}

TEST_F(MessageBoxTest, OnlyOneBoxAtATime) {
  Show();
  HWND first = box.hwnd();
  size_t frames = recorder.frames.size();
  Show();
  EXPECT_EQ(box.hwnd(), first);
  EXPECT_EQ(recorder.frames.size(), frames);
  ::DestroyWindow(first);
}

TEST_F(MessageBoxTest, ALaterPresentUsesTheWindowsPlaceAgain) {
  Show();
  ::SetWindowPos(box.hwnd(), nullptr, 300, 250, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  recorder.frames.clear();
  ::SendMessageW(box.hwnd(), kThemeChangedMessage, 0, 0);  // a theme change re-presents the cache
  ASSERT_EQ(recorder.frames.size(), 1u);
  EXPECT_EQ(recorder.frames[0].effect, EffectKind::Present);
  EXPECT_EQ(recorder.frames[0].destination.x, 300);
  EXPECT_EQ(recorder.frames[0].destination.y, 250);
  ::DestroyWindow(box.hwnd());
}

TEST_F(MessageBoxTest, HitTestingDragsTheBodyAndTracksTheButtons) {
  Show();
  HWND hwnd = box.hwnd();
  EXPECT_EQ(::SendMessageW(hwnd, WM_NCHITTEST, 0, Screen(100, 100)), HTCAPTION);
  EXPECT_EQ(box.buttons().hotButton, kNoButton);
  recorder.frames.clear();
  EXPECT_EQ(::SendMessageW(hwnd, WM_NCHITTEST, 0, Screen(W - 50, H - 20)), HTCLIENT);
  EXPECT_EQ(box.buttons().hotButton, kOkButton);
  EXPECT_EQ(recorder.Of(EffectKind::Present).size(), 5u);  // the fade-in, one frame a step
  EXPECT_EQ(::SendMessageW(hwnd, WM_MOUSEMOVE, 0, Point(W - 30, 15)), HTCLIENT);
  EXPECT_EQ(box.buttons().hotButton, kCloseButton);
  ::DestroyWindow(hwnd);
}

TEST_F(MessageBoxTest, AClickOnOkZoomsOutAndCloses) {
  Show();
  HWND hwnd = box.hwnd();
  ::SendMessageW(hwnd, WM_NCHITTEST, 0, Screen(W - 50, H - 20));
  EXPECT_EQ(::SendMessageW(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, Point(W - 50, H - 20)), 0);
  EXPECT_TRUE(box.buttons().pressed);
  EXPECT_EQ(box.buttons().buttonState, kButtonPressed);
  RECT rc;
  ::GetWindowRect(hwnd, &rc);
  recorder.frames.clear();
  ::SendMessageW(hwnd, WM_LBUTTONUP, 0, Point(W - 50, H - 20));
  auto out = recorder.Of(EffectKind::ZoomOut);
  ASSERT_EQ(out.size(), 16u);
  EXPECT_EQ(out.front().destination.x, rc.left - 20);
  EXPECT_EQ(out.front().destination.y, rc.top - 20);
  EXPECT_EQ(out.back().frame.alpha, 15);
  EXPECT_TRUE(box.useStoredPosition());
  EXPECT_TRUE(::IsWindow(hwnd));  // closed by the posted WM_CLOSE, not here
  PumpMessages();
  EXPECT_FALSE(::IsWindow(hwnd));
  EXPECT_EQ(box.hwnd(), nullptr);
  EXPECT_FALSE(box.hasCachedBackground());
  const auto& themed = ThemedWindows();
  EXPECT_EQ(std::find(themed.begin(), themed.end(), hwnd), themed.end());

  // A later box is built afresh.
  recorder.frames.clear();
  Show();
  EXPECT_NE(box.hwnd(), nullptr);
  EXPECT_EQ(recorder.Of(EffectKind::ZoomIn).size(), 12u);
  ::DestroyWindow(box.hwnd());
}

TEST_F(MessageBoxTest, PressesThatDoNotCloseTheBox) {
  Show();
  HWND hwnd = box.hwnd();
  // Outside both buttons: not handled, nothing pressed.
  ::SendMessageW(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, Point(100, 100));
  EXPECT_FALSE(box.buttons().pressed);
  ::SendMessageW(hwnd, WM_LBUTTONUP, 0, Point(100, 100));
  // Pressed on the close button, then dragged off it before letting go.
  ::SendMessageW(hwnd, WM_NCHITTEST, 0, Screen(W - 30, 15));
  ::SendMessageW(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, Point(W - 30, 15));
  EXPECT_TRUE(box.buttons().pressed);
  ::SendMessageW(hwnd, WM_NCHITTEST, 0, Screen(100, 100));
  EXPECT_EQ(box.buttons().hotButton, kNoButton);
  recorder.frames.clear();
  ::SendMessageW(hwnd, WM_LBUTTONUP, 0, Point(100, 100));
  EXPECT_TRUE(recorder.Of(EffectKind::ZoomOut).empty());
  PumpMessages();
  EXPECT_TRUE(::IsWindow(hwnd));
  EXPECT_FALSE(box.buttons().pressed);
  ::DestroyWindow(hwnd);
}

TEST_F(MessageBoxTest, DropInLandsOnTheTaskbarCorner) {
  box.ShowMessageBox(nullptr, false, "t", "m", MB_ICONHAND, 1);
  auto drop = recorder.Of(EffectKind::DropIn);
  ASSERT_EQ(drop.size(), 86u);
  const POINT first = drop.front().destination;
  for (const auto& f : drop) {
    EXPECT_EQ(f.destination.x, first.x);
    EXPECT_EQ(f.destination.y, first.y);
    EXPECT_EQ(f.surface.cy, 2 * H);
    EXPECT_EQ(f.frame.alpha, 255);
  }
  EXPECT_TRUE(drop.front().showsWindow);
  auto presents = recorder.Of(EffectKind::Present);
  ASSERT_EQ(presents.size(), 1u);
  EXPECT_EQ(presents[0].destination.x, first.x);
  EXPECT_EQ(presents[0].destination.y, first.y + H);
  ::DestroyWindow(box.hwnd());
}

}  // namespace

namespace {

TEST_F(MessageBoxTest, DestroyingTheObjectClosesItsBoxCleanly) {
  auto other = std::make_unique<SkinnedMessageBox>();
  other->ShowMessageBox(owner, true, "t", "m", MB_ICONQUESTION, 0);
  HWND hwnd = other->hwnd();
  ASSERT_NE(hwnd, nullptr);
  other.reset();
  EXPECT_FALSE(::IsWindow(hwnd));
  const auto& themed = ThemedWindows();
  EXPECT_EQ(std::find(themed.begin(), themed.end(), hwnd), themed.end());
}

TEST_F(MessageBoxTest, ANewBoxStartsWithNoButtonHot) {
  Show();
  HWND hwnd = box.hwnd();
  ::SendMessageW(hwnd, WM_NCHITTEST, 0, Screen(W - 30, 15));  // the close button is hot
  ::DestroyWindow(hwnd);
  Show();
  EXPECT_EQ(box.buttons().hotButton, kNoButton);
  EXPECT_EQ(box.buttons().buttonState, kButtonIdle);
  recorder.frames.clear();
  // Hovering the close button again fades it in: nothing stale is left from the last box.
  ::SendMessageW(box.hwnd(), WM_NCHITTEST, 0, Screen(W - 30, 15));
  EXPECT_EQ(recorder.Of(EffectKind::Present).size(), 5u);
  ::DestroyWindow(box.hwnd());
}

}  // namespace

namespace {

TEST_F(MessageBoxTest, EnterSpaceAndEscCloseTheBoxLikeItsButtons) {
  for (WPARAM key : {VK_RETURN, VK_SPACE, VK_ESCAPE}) {
    Show();
    HWND hwnd = box.hwnd();
    recorder.frames.clear();
    EXPECT_EQ(::SendMessageW(hwnd, WM_KEYDOWN, key, 0), 0);
    EXPECT_EQ(recorder.Of(EffectKind::ZoomOut).size(), 16u) << key;
    PumpMessages();
    EXPECT_FALSE(::IsWindow(hwnd)) << key;
  }
  // Other keys do nothing.
  Show();
  ::SendMessageW(box.hwnd(), WM_KEYDOWN, 'A', 0);
  PumpMessages();
  EXPECT_NE(box.hwnd(), nullptr);
  ::DestroyWindow(box.hwnd());
}

}  // namespace

// Wine has one DPI for every monitor and never sends WM_DPICHANGED: the message a
// move to a monitor of another scale brings is sent here by hand.
TEST_F(MessageBoxTest, MovedToAMonitorOfAnotherScaleItComposesAgainThere) {
  Show();
  ASSERT_NE(box.hwnd(), nullptr);
  EXPECT_EQ(box.dpi(), ::GetDeviceCaps(::GetDC(nullptr), LOGPIXELSY));
  RECT suggested = {300, 200, 300 + 608, 200 + 263};
  ::SendMessageW(box.hwnd(), WM_DPICHANGED, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&suggested));
  EXPECT_EQ(box.dpi(), 144);
  EXPECT_EQ(box.size().cx, 608);
  EXPECT_EQ(box.size().cy, 263);
  RECT rc;
  ::GetWindowRect(box.hwnd(), &rc);
  EXPECT_EQ(rc.left, 300);
  EXPECT_EQ(rc.top, 200);
  EXPECT_EQ(rc.right - rc.left, 608);
  EXPECT_EQ(rc.bottom - rc.top, 263);
  // The OK button answers where it is drawn at the new scale.
  const LPARAM ok = Screen(608 - 91 * 3 / 2 + 20, 263 - 38 * 3 / 2 + 10);
  EXPECT_EQ(::SendMessageW(box.hwnd(), WM_NCHITTEST, 0, ok), HTCLIENT);
}
