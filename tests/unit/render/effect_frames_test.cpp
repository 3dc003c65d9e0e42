#include <gtest/gtest.h>

#include <vector>

#include "uiengine/render/effect_frames.h"

namespace {

std::vector<int> Widths(const std::vector<EffectFrame>& frames, int base) {
  std::vector<int> out;
  for (const auto& f : frames) out.push_back(static_cast<int>(f.width) - base);
  return out;
}
std::vector<int> Heights(const std::vector<EffectFrame>& frames, int base) {
  std::vector<int> out;
  for (const auto& f : frames) out.push_back(static_cast<int>(f.height) - base);
  return out;
}
std::vector<int> Alphas(const std::vector<EffectFrame>& frames) {
  std::vector<int> out;
  for (const auto& f : frames) out.push_back(f.alpha);
  return out;
}
DWORD Total(const std::vector<EffectFrame>& frames) {
  DWORD t = 0;
  for (const auto& f : frames) t += f.budgetMs;
  return t;
}

TEST(EffectFrames, ZoomInGrowsPastTheBoxAndSettles) {
  auto frames = ZoomInFrames(405, 175);
  const std::vector<int> sizes = {-14, -8, -2, 4, 10, 16, 22, 28, 22, 16, 10, 4};
  EXPECT_EQ(Widths(frames, 405), sizes);
  EXPECT_EQ(Heights(frames, 175), sizes);
  EXPECT_EQ(Alphas(frames), (std::vector<int>{130, 140, 150, 160, 170, 180, 190, 200, 210, 220, 230, 240}));
  for (size_t i = 0; i < frames.size(); ++i) EXPECT_EQ(frames[i].budgetMs, i < 8 ? 30u : 20u) << i;
  EXPECT_EQ(Total(frames), 320u);
}

TEST(EffectFrames, ZoomOutBouncesThenShrinksAndFades) {
  auto frames = ZoomOutFrames(405, 175);
  const std::vector<int> sizes = {-5, -10, -5, 0, 5, 10, 15, 20, 8, -4, -16, -28, -40, -52, -64, -76};
  EXPECT_EQ(Widths(frames, 405), sizes);
  EXPECT_EQ(Heights(frames, 175), sizes);
  EXPECT_EQ(Alphas(frames),
            (std::vector<int>{245, 235, 225, 215, 205, 195, 185, 175, 155, 135, 115, 95, 75, 55, 35, 15}));
  EXPECT_EQ(Total(frames), 480u);
}

TEST(EffectFrames, ZoomFramesAreCentredInTheMarginSurfaceWithoutRounding) {
  // Surface 445 x 215: centre (222.5, 107.5). First zoom-in frame: 391 x 161.
  EffectFrame first = ZoomInFrames(405, 175).front();
  EXPECT_FLOAT_EQ(first.left, 222.5f - 195.5f);
  EXPECT_FLOAT_EQ(first.top, 107.5f - 80.5f);
  for (const auto& f : ZoomOutFrames(405, 175)) {
    EXPECT_FLOAT_EQ(f.left + f.width / 2, 222.5f);
    EXPECT_FLOAT_EQ(f.top + f.height / 2, 107.5f);
  }
}

TEST(EffectFrames, DropInSlidesTwoPixelsAFrame) {
  auto frames = DropInFrames(405, 175);
  ASSERT_EQ(frames.size(), 86u);  // 175 / 2 - 1 = 86.5, truncated
  for (size_t i = 0; i < frames.size(); ++i) {
    EXPECT_EQ(frames[i].top, 2.0f * i);
    EXPECT_EQ(frames[i].left, 0.0f);
    EXPECT_EQ(frames[i].alpha, 255);
    EXPECT_EQ(frames[i].budgetMs, 5u);
  }
  EXPECT_EQ(DropInFrames(405, 3).size(), 0u);  // 0.5 truncates to 0
}

}  // namespace
