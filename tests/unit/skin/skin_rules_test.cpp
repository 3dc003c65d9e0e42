#include <gtest/gtest.h>

#include "skin/skin_rules.h"

using skin::ControlKind;

TEST(SkinRules, WhichTopLevelWindowsAreSkinned) {
  constexpr DWORD kFramed = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
  struct Case {
    const wchar_t* cls;
    DWORD style;
    DWORD exStyle;
    bool skinned;
  };
  const Case cases[] = {
      {L"LanshiMainWindow", kFramed, 0, true},
      {L"SomeWindow", WS_OVERLAPPED, 0, true},  // overlapped windows always get a caption
      {L"SomeWindow", WS_POPUP | WS_CAPTION, 0, true},
      {L"SomeWindow", WS_POPUP, 0, false},  // caption-less pop-ups (splashes, drop-downs)
      {L"SomeWindow", WS_CHILD | WS_CAPTION, 0, false},
      {L"SomeWindow", kFramed, WS_EX_LAYERED, false},
      {L"MyWindow", kFramed, 0, false},  // the UI engine's own windows
      {L"mywindow", WS_POPUP, WS_EX_LAYERED, false},
      {L"#32770", WS_POPUP | WS_CAPTION | WS_SYSMENU, 0, false},  // message boxes
      {L"#32768", WS_POPUP, 0, false},
      {L"tooltips_class32", WS_POPUP, 0, false},
      {L"IME", WS_POPUP | WS_CAPTION, 0, false},
  };
  for (const Case& c : cases)
    EXPECT_EQ(skin::IsSkinnableFrame(c.cls, c.style, c.exStyle), c.skinned) << std::wstring(c.cls).size() << " "
                                                                            << std::hex << c.style;
}

TEST(SkinRules, WhichControlsAreDrawnByTheSkin) {
  struct Case {
    const wchar_t* cls;
    DWORD style;
    ControlKind kind;
  };
  const Case cases[] = {
      {L"Button", WS_CHILD | BS_PUSHBUTTON, ControlKind::kPushButton},
      {L"BUTTON", WS_CHILD | BS_DEFPUSHBUTTON, ControlKind::kPushButton},
      {L"Button", WS_CHILD | BS_AUTOCHECKBOX, ControlKind::kNone},
      {L"Button", WS_CHILD | BS_GROUPBOX, ControlKind::kNone},
      {L"Button", WS_CHILD | BS_OWNERDRAW, ControlKind::kNone},  // the program draws it itself
      {L"Edit", WS_CHILD | ES_AUTOHSCROLL, ControlKind::kEdit},
      {L"msctls_progress32", WS_CHILD, ControlKind::kProgress},
      {L"Static", WS_CHILD, ControlKind::kNone},
      {L"Edit", WS_POPUP, ControlKind::kNone},
  };
  for (const Case& c : cases) EXPECT_EQ(skin::ClassifyControl(c.cls, c.style), c.kind) << std::hex << c.style;
}

TEST(SkinRules, ProgressFillCoversThePositionsShare) {
  struct Case {
    long long position, minimum, maximum;
    int extent, filled;
  };
  const Case cases[] = {
      {0, 0, 10000, 209, 0},      {10000, 0, 10000, 209, 209}, {5000, 0, 10000, 209, 104},
      {-5, 0, 100, 100, 0},       {500, 0, 100, 100, 100},     {50, 100, 100, 100, 0},  // empty range
      {50, 100, 0, 100, 0},       {1, 0, 3, 0, 0},             {-50, -100, 0, 100, 50},
      {2147483647LL, -2147483648LL, 2147483647LL, 1000, 1000},
  };
  for (const Case& c : cases)
    EXPECT_EQ(skin::ProgressFillLength(c.position, c.minimum, c.maximum, c.extent), c.filled)
        << c.position << " in " << c.minimum << ".." << c.maximum;
}

TEST(SkinRules, ButtonStateAndGradient) {
  EXPECT_EQ(skin::ChooseButtonState(true, true, true), skin::kButtonDisabled);
  EXPECT_EQ(skin::ChooseButtonState(false, true, true), skin::kButtonPressed);
  EXPECT_EQ(skin::ChooseButtonState(false, false, true), skin::kButtonHot);
  EXPECT_EQ(skin::ChooseButtonState(false, false, false), skin::kButtonNormal);

  EXPECT_EQ(skin::GradientColour(0x102030, 0x506070, 0, 5), 0x102030u);
  EXPECT_EQ(skin::GradientColour(0x102030, 0x506070, 4, 5), 0x506070u);
  EXPECT_EQ(skin::GradientColour(0x102030, 0x506070, 2, 5), 0x304050u);
  EXPECT_EQ(skin::GradientColour(0xFF0000, 0x0000FF, 0, 1), 0xFF0000u);
}
