// Hover and press handling of the message box's two buttons, apart from the
// window: the box supplies how to present a frame and how to wait, the tracker
// decides which button is hot, what state it is drawn in and how bright.
#pragma once

#include <windows.h>

#include "uiengine/render/frame_pacer.h"

enum HotButton { kNoButton = 0, kCloseButton = 1, kOkButton = 2 };
enum ButtonState { kButtonIdle = 0, kButtonHover = 2, kButtonPressed = 3 };

struct ButtonRect {
  int x, y, width, height;
};

// At a display's DPI the rectangles keep their distance from the box's right and
// bottom edges, scaled like everything else.
ButtonRect CloseButtonRect(int boxWidth, int boxHeight, int dpi = 96);
ButtonRect OkButtonRect(int boxWidth, int boxHeight, int dpi = 96);

// Strictly inside on all four sides: a point on a button's edge misses it.
bool StrictlyInside(const ButtonRect& r, int px, int py);
// Which button a box-relative point is on.
HotButton ButtonAt(int px, int py, int boxWidth, int boxHeight, int dpi = 96);

struct ButtonStates {
  bool pressed = false;     // a left-button press landed on a button
  int highlight = 100;      // 0..100, strength of the drawn highlight
  ButtonState buttonState = kButtonIdle;
  HotButton hotButton = kNoButton;
};

class ButtonAnimator {
 public:
  virtual ~ButtonAnimator() = default;
  virtual void Present() = 0;
  // Paces the fades: five steps of kFadeStepMs each.
  virtual FrameClock& Clock() = 0;
};

constexpr double kFadeStepMs = 40;

// Box-relative point; returns the hit-test code: HTCLIENT on a button, HTCAPTION
// elsewhere so the rest of the box drags the window.
LRESULT TrackHover(ButtonStates& s, ButtonAnimator& a, int px, int py, int boxWidth, int boxHeight, int dpi = 96);
// Returns 0 when the point was on a button (it is then drawn pressed), -1 otherwise.
int PressButton(ButtonStates& s, ButtonAnimator& a, int px, int py, int boxWidth, int boxHeight, int dpi = 96);
// The mouse button went up: true when the box is to close (a press began on a
// button and a button is still hot).
bool ReleaseButton(ButtonStates& s);
