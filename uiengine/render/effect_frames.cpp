#include "uiengine/render/effect_frames.h"

#include "base/display_scale.h"

namespace {

// A frame of drawn size (w, h) centred in the margin-enlarged surface.
EffectFrame Centred(int width, int height, int margin, int drawnWidth, int drawnHeight, int alpha, DWORD budget) {
  EffectFrame f;
  f.width = static_cast<float>(drawnWidth);
  f.height = static_cast<float>(drawnHeight);
  f.left = (width + 2 * margin) * 0.5f - drawnWidth * 0.5f;
  f.top = (height + 2 * margin) * 0.5f - drawnHeight * 0.5f;
  f.alpha = alpha;
  f.budgetMs = budget;
  return f;
}

struct Phase {
  int frames;
  int sizeStep;
  int alphaStep;
  DWORD budgetMs;
};

std::vector<EffectFrame> Play(int width, int height, int dpi, int startShrink, int startAlpha,
                              std::initializer_list<Phase> phases) {
  std::vector<EffectFrame> frames;
  const int margin = ZoomMargin(dpi);
  int dw = width - ScaleToDpi(startShrink, dpi), dh = height - ScaleToDpi(startShrink, dpi), alpha = startAlpha;
  for (const Phase& p : phases) {
    const int step = ScaleToDpi(p.sizeStep, dpi);
    for (int i = 0; i < p.frames; ++i) {
      dw += step;
      dh += step;
      alpha += p.alphaStep;
      frames.push_back(Centred(width, height, margin, dw, dh, alpha, p.budgetMs));
    }
  }
  return frames;
}

}  // namespace

int ZoomMargin(int dpi) { return ScaleToDpi(kZoomMargin, dpi); }

std::vector<EffectFrame> ZoomInFrames(int width, int height, int dpi) {
  return Play(width, height, dpi, 20, 120, {{8, +6, +10, 30}, {4, -6, +10, 20}});
}

std::vector<EffectFrame> ZoomOutFrames(int width, int height, int dpi) {
  return Play(width, height, dpi, 0, 255, {{2, -5, -10, 30}, {6, +5, -10, 30}, {8, -12, -20, 30}});
}

std::vector<EffectFrame> DropInFrames(int width, int height, int dpi) {
  std::vector<EffectFrame> frames;
  // As many frames as at 96 DPI, each step scaled.
  const int baseHeight = dpi == kBaseDpi ? height : ScaleBetweenDpis(height, dpi, kBaseDpi);
  int n = static_cast<int>(baseHeight / 2.0 - 1);  // truncated toward zero
  for (int i = 1; i <= n; ++i) {
    EffectFrame f;
    f.left = 0;
    f.top = static_cast<float>(ScaleToDpi(2 * (i - 1), dpi));
    f.width = static_cast<float>(width);
    f.height = static_cast<float>(height);
    f.alpha = 255;
    f.budgetMs = 5;
    frames.push_back(f);
  }
  return frames;
}

std::vector<double> BudgetsOf(const std::vector<EffectFrame>& frames) {
  std::vector<double> budgets;
  for (const EffectFrame& f : frames) budgets.push_back(static_cast<double>(f.budgetMs));
  return budgets;
}
