#include "uiengine/render/button_tracker.h"

#include <vector>

#include "base/display_scale.h"

namespace {

// Steps highlight through 20, 40, ... (or down from 80) while `state` stays put;
// another message changing buttonState from under the loop ends it early.
void Fade(ButtonStates& s, ButtonAnimator& a, ButtonState state, bool in) {
  FramePacer pacer(a.Clock());
  pacer.Play(std::vector<double>(5, kFadeStepMs), [&](size_t step) {
    if (s.buttonState != state) return false;
    const int i = static_cast<int>(step) + 1;
    s.highlight = in ? 20 * i : 100 - 20 * i;
    a.Present();
    return true;
  });
}

}  // namespace

ButtonRect CloseButtonRect(int boxWidth, int, int dpi) {
  return {boxWidth - ScaleToDpi(55, dpi), ScaleToDpi(7, dpi), ScaleToDpi(48, dpi), ScaleToDpi(22, dpi)};
}
ButtonRect OkButtonRect(int boxWidth, int boxHeight, int dpi) {
  return {boxWidth - ScaleToDpi(91, dpi), boxHeight - ScaleToDpi(38, dpi), ScaleToDpi(75, dpi), ScaleToDpi(28, dpi)};
}

bool StrictlyInside(const ButtonRect& r, int px, int py) {
  return r.x < px && px < r.x + r.width && r.y < py && py < r.y + r.height;
}

HotButton ButtonAt(int px, int py, int boxWidth, int boxHeight, int dpi) {
  if (StrictlyInside(CloseButtonRect(boxWidth, boxHeight, dpi), px, py)) return kCloseButton;
  if (StrictlyInside(OkButtonRect(boxWidth, boxHeight, dpi), px, py)) return kOkButton;
  return kNoButton;
}

LRESULT TrackHover(ButtonStates& s, ButtonAnimator& a, int px, int py, int boxWidth, int boxHeight, int dpi) {
  HotButton hit = ButtonAt(px, py, boxWidth, boxHeight, dpi);
  if (hit != kNoButton) {
    if (s.hotButton != hit) {
      s.hotButton = hit;
      s.buttonState = kButtonHover;
      Fade(s, a, kButtonHover, true);
    }
    return HTCLIENT;
  }
  if (s.hotButton != kNoButton) {
    s.buttonState = kButtonHover;
    Fade(s, a, kButtonHover, false);
    s.hotButton = kNoButton;
  }
  return HTCAPTION;
}

int PressButton(ButtonStates& s, ButtonAnimator& a, int px, int py, int boxWidth, int boxHeight, int dpi) {
  if (ButtonAt(px, py, boxWidth, boxHeight, dpi) == kNoButton) return -1;
  s.buttonState = kButtonPressed;
  Fade(s, a, kButtonPressed, true);
  return 0;
}

bool ReleaseButton(ButtonStates& s) {
  s.buttonState = kButtonIdle;
  bool close = s.pressed && (s.hotButton == kCloseButton || s.hotButton == kOkButton);
  s.pressed = false;
  return close;
}
