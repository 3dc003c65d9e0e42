// The frame sequences of the message box's show and close effects, as plain data:
// where the box image is drawn inside the effect's surface, at which constant alpha,
// and how long each frame may take. The compositor plays them; tests read them.
#pragma once

#include <windows.h>

#include <vector>

struct EffectFrame {
  float left = 0, top = 0, width = 0, height = 0;  // drawn rectangle inside the surface
  int alpha = 255;                                 // SourceConstantAlpha of the frame
  DWORD budgetMs = 0;                              // the frame's share of the effect's time
};

// The effects draw into a surface 20 pixels larger than the box on every side.
constexpr int kZoomMargin = 20;

// At a display's DPI the box (width x height, in its pixels) and every step and
// margin are scaled; the frames, their alphas and their times stay the same.
int ZoomMargin(int dpi);

// Grow past the box, settle back: 8 frames of 30 ms then 4 of 20 ms.
std::vector<EffectFrame> ZoomInFrames(int width, int height, int dpi = 96);
// Bounce a little, then shrink and fade: 16 frames of 30 ms.
std::vector<EffectFrame> ZoomOutFrames(int width, int height, int dpi = 96);
// Slide down inside a surface twice the box's height: (height at 96 DPI) / 2 - 1
// frames of 5 ms.
std::vector<EffectFrame> DropInFrames(int width, int height, int dpi = 96);

// The frames' budgets in order, as the pacer takes them.
std::vector<double> BudgetsOf(const std::vector<EffectFrame>& frames);
