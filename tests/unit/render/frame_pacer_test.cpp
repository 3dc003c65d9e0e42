#include <gtest/gtest.h>

#include <cmath>
#include <numeric>
#include <vector>

#include "uiengine/render/effect_frames.h"
#include "uiengine/render/frame_pacer.h"

namespace {

// A clock that moves only when waited on or when a frame takes time. Its waits can
// behave like real ones: end late by a fixed amount, or only on ticks of a coarse
// timer (as Sleep does on a system timer of 15.6 ms).
struct FakeClock : FrameClock {
  double now = 5000;
  double late = 0;
  double tick = 0;
  int waits = 0;
  double NowMs() override { return now; }
  void WaitMs(double ms) override {
    ++waits;
    now += ms + late;
    if (tick > 0) now = std::ceil(now / tick) * tick;
  }
};

struct Played {
  std::vector<double> starts;  // since the pacer began
  double total = 0;
};

// Plays `budgets` with each frame taking `work(i)` milliseconds of drawing.
template <typename Work>
Played Play(FakeClock& clock, const std::vector<double>& budgets, Work work, double preparation = 0) {
  Played p;
  const double begin = clock.now;
  FramePacer pacer(clock);
  clock.now += preparation;
  pacer.Play(budgets, [&](size_t i) {
    p.starts.push_back(clock.now - begin);
    clock.now += work(i);
    return true;
  });
  p.total = clock.now - begin;
  return p;
}

double Sum(const std::vector<double>& v) { return std::accumulate(v.begin(), v.end(), 0.0); }

// Every frame is presented, none before its planned start, and the effect lasts
// its plan to within 5% whatever the waits do, as long as frames fit their budgets.
TEST(FramePacer, EachEffectKeepsItsPlanWithEveryFramePresented) {
  struct Effect {
    const char* name;
    std::vector<double> budgets;
  };
  const Effect effects[] = {{"zoom in", BudgetsOf(ZoomInFrames(405, 175))},
                            {"zoom out", BudgetsOf(ZoomOutFrames(405, 175))},
                            {"drop in", BudgetsOf(DropInFrames(405, 175))}};
  struct Waits {
    const char* name;
    double late, tick, work;
  };
  const Waits waits[] = {{"exact", 0, 0, 0},
                         {"each wait 3 ms late", 3, 0, 1.5},
                         {"a 15.6 ms system tick", 0, 15.625, 4},
                         {"a 1 ms tick", 0, 1, 4.7}};
  for (const Effect& e : effects)
    for (const Waits& w : waits) {
      FakeClock clock;
      clock.late = w.late;
      clock.tick = w.tick;
      const double work = std::min(w.work, e.budgets.front() - 0.1);
      Played p = Play(clock, e.budgets, [&](size_t) { return work; });
      const double plan = Sum(e.budgets);
      ASSERT_EQ(p.starts.size(), e.budgets.size()) << e.name << ", " << w.name;
      double planned = 0;
      for (size_t i = 0; i < p.starts.size(); ++i) {
        EXPECT_GE(p.starts[i], planned) << e.name << ", " << w.name << ": frame " << i << " early";
        planned += e.budgets[i];
      }
      EXPECT_GE(p.total, plan) << e.name << ", " << w.name;
      // A coarse tick can only make the last wait end late, by less than a tick.
      EXPECT_LE(p.total, plan + std::max(w.late, w.tick) + 0.001) << e.name << ", " << w.name;
      EXPECT_LE(p.total, plan * 1.05) << e.name << ", " << w.name;
    }
}

TEST(FramePacer, ALateFrameIsFollowedAtOnceAndTheRestKeepThePlan) {
  FakeClock clock;
  const std::vector<double> budgets(8, 30.0);
  // Frame 2 takes 70 ms instead of at most 30: frames 3 and 4 come without a wait.
  Played p = Play(clock, budgets, [](size_t i) { return i == 2 ? 70.0 : 1.0; });
  EXPECT_EQ(p.starts, (std::vector<double>{0, 30, 60, 130, 131, 150, 180, 210}));
  EXPECT_EQ(p.total, 240.0);
}

TEST(FramePacer, PreparationIsPartOfTheEffectsTime) {
  FakeClock clock;
  Played p = Play(clock, {30, 30, 20}, [](size_t) { return 0.0; }, 12);
  EXPECT_EQ(p.starts, (std::vector<double>{12, 30, 60}));
  EXPECT_EQ(p.total, 80.0);

  // Slower than the whole plan: every frame is still shown, without waits.
  FakeClock slow;
  Played q = Play(slow, {10, 10, 10}, [](size_t) { return 25.0; });
  EXPECT_EQ(q.starts, (std::vector<double>{0, 25, 50}));
  EXPECT_EQ(q.total, 75.0);
  EXPECT_EQ(slow.waits, 0);
}

TEST(FramePacer, AnEffectEndedEarlyWaitsNoMore) {
  FakeClock clock;
  int presented = 0;
  FramePacer pacer(clock);
  pacer.Play({40, 40, 40, 40, 40}, [&](size_t i) {
    if (i == 2) return false;
    ++presented;
    return true;
  });
  EXPECT_EQ(presented, 2);
  EXPECT_EQ(pacer.Elapsed(), 80.0);
}

}  // namespace
