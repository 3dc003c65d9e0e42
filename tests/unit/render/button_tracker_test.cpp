#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "uiengine/render/button_tracker.h"

namespace {

constexpr int W = 405, H = 175;
// Points well inside each button and one on the plain box.
constexpr POINT kOnClose = {W - 30, 15};
constexpr POINT kOnOk = {W - 50, H - 20};
constexpr POINT kOnBody = {100, 100};

// Records the highlight of every presented frame; time passes only in waits
// (and where a test's present takes some).
struct FakeAnimator : ButtonAnimator, FrameClock {
  ButtonStates* states = nullptr;
  std::vector<int> highlights;
  std::vector<int> hotAtPresent;
  double now = 1000;
  double slept = 0;
  std::function<void()> onPresent;
  void Present() override {
    highlights.push_back(states->highlight);
    hotAtPresent.push_back(states->hotButton);
    if (onPresent) onPresent();
  }
  FrameClock& Clock() override { return *this; }
  double NowMs() override { return now; }
  void WaitMs(double ms) override {
    slept += ms;
    now += ms;
  }
};

struct Tracker : ::testing::Test {
  ButtonStates s;
  FakeAnimator a;
  void SetUp() override { a.states = &s; }
  LRESULT Hover(POINT p) { return TrackHover(s, a, p.x, p.y, W, H); }
  int Press(POINT p) { return PressButton(s, a, p.x, p.y, W, H); }
};

TEST(ButtonRects, EdgesAreOutside) {
  struct Case {
    int x, y;
    HotButton expected;
  };
  const Case cases[] = {
      {W - 55, 15, kNoButton}, {W - 54, 15, kCloseButton}, {W - 8, 15, kCloseButton}, {W - 7, 15, kNoButton},
      {W - 30, 7, kNoButton},  {W - 30, 8, kCloseButton},  {W - 30, 28, kCloseButton}, {W - 30, 29, kNoButton},
      {W - 91, H - 20, kNoButton}, {W - 90, H - 20, kOkButton}, {W - 17, H - 20, kOkButton},
      {W - 16, H - 20, kNoButton}, {W - 50, H - 38, kNoButton}, {W - 50, H - 11, kOkButton},
      {W - 50, H - 10, kNoButton},
  };
  for (const Case& c : cases) EXPECT_EQ(ButtonAt(c.x, c.y, W, H), c.expected) << c.x << "," << c.y;
}

TEST_F(Tracker, HoverFadesInOnceAndAnswersClient) {
  EXPECT_EQ(Hover(kOnOk), HTCLIENT);
  EXPECT_EQ(s.hotButton, kOkButton);
  EXPECT_EQ(s.buttonState, kButtonHover);
  EXPECT_EQ(a.highlights, (std::vector<int>{20, 40, 60, 80, 100}));
  EXPECT_EQ(a.slept, 5 * kFadeStepMs);
  // Moving within the same button presents nothing more.
  EXPECT_EQ(Hover({kOnOk.x + 3, kOnOk.y}), HTCLIENT);
  EXPECT_EQ(a.highlights.size(), 5u);
}

TEST_F(Tracker, MovingStraightOntoTheOtherButtonFadesInWithoutFadingOut) {
  Hover(kOnClose);
  a.highlights.clear();
  a.hotAtPresent.clear();
  EXPECT_EQ(Hover(kOnOk), HTCLIENT);
  EXPECT_EQ(s.hotButton, kOkButton);
  EXPECT_EQ(a.highlights, (std::vector<int>{20, 40, 60, 80, 100}));
  EXPECT_EQ(a.hotAtPresent, (std::vector<int>(5, kOkButton)));
}

TEST_F(Tracker, LeavingAButtonFadesOutThenClearsTheHotButton) {
  Hover(kOnClose);
  a.highlights.clear();
  a.hotAtPresent.clear();
  EXPECT_EQ(Hover(kOnBody), HTCAPTION);
  EXPECT_EQ(a.highlights, (std::vector<int>{80, 60, 40, 20, 0}));
  EXPECT_EQ(a.hotAtPresent, (std::vector<int>(5, kCloseButton)));  // the fade is drawn on the old button
  EXPECT_EQ(s.hotButton, kNoButton);
}

TEST_F(Tracker, LeavingWithNothingHotDoesNothingButStillDrags) {
  EXPECT_EQ(Hover(kOnBody), HTCAPTION);
  EXPECT_TRUE(a.highlights.empty());
  EXPECT_EQ(s.buttonState, kButtonIdle);
}

TEST_F(Tracker, AFadeStopsWhenTheStateChangesUnderIt) {
  a.onPresent = [this] {
    if (a.highlights.size() == 2) s.buttonState = kButtonPressed;
  };
  Hover(kOnOk);
  EXPECT_EQ(a.highlights, (std::vector<int>{20, 40}));
}

TEST_F(Tracker, ASlowPresentIsNotFollowedByAWait) {
  a.onPresent = [this] { a.now += 100; };
  Hover(kOnOk);
  EXPECT_EQ(a.slept, 0.0);
}

TEST_F(Tracker, PressOnAButtonThenReleaseCloses) {
  Hover(kOnOk);
  a.highlights.clear();
  EXPECT_EQ(Press(kOnOk), 0);
  s.pressed = true;  // the window procedure marks the press
  EXPECT_EQ(s.buttonState, kButtonPressed);
  EXPECT_EQ(a.highlights, (std::vector<int>{20, 40, 60, 80, 100}));
  EXPECT_EQ(s.hotButton, kOkButton);  // pressing does not change the hot button
  EXPECT_TRUE(ReleaseButton(s));
  EXPECT_EQ(s.buttonState, kButtonIdle);
  EXPECT_FALSE(s.pressed);
}

TEST_F(Tracker, PressingOutsideBothButtonsIsNotHandled) {
  EXPECT_EQ(Press(kOnBody), -1);
  EXPECT_EQ(s.buttonState, kButtonIdle);
  EXPECT_TRUE(a.highlights.empty());
  EXPECT_FALSE(ReleaseButton(s));
}

TEST_F(Tracker, ReleasingOnAButtonNoLongerHotDoesNotClose) {
  Hover(kOnClose);
  ASSERT_EQ(Press(kOnClose), 0);
  s.pressed = true;
  Hover(kOnBody);  // dragged off: fade-out, nothing hot
  EXPECT_FALSE(ReleaseButton(s));
  EXPECT_FALSE(s.pressed);
}

}  // namespace
