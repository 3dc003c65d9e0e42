// Paces an effect's frames on a clock finer than a millisecond. Frame i is
// presented at the effect's start plus the budgets of the frames before it, and
// the effect ends when every budget has passed: waits are measured against that
// plan, not frame by frame, so neither a coarse clock nor a wait that overshoots
// adds up over the frames. A late frame is presented at once, never skipped, and
// the frames after it keep to the plan.
#pragma once

#include <windows.h>

#include <functional>
#include <vector>

class FrameClock {
 public:
  virtual ~FrameClock() = default;
  // Milliseconds on a monotonic clock.
  virtual double NowMs() = 0;
  // Waits about `ms` (> 0); may wake early or late: the pacer looks at the time again.
  virtual void WaitMs(double ms) = 0;
};

// QueryPerformanceCounter; waits sleep whole milliseconds, then yield.
class PerformanceClock final : public FrameClock {
 public:
  PerformanceClock();
  double NowMs() override;
  void WaitMs(double ms) override;

 private:
  double msPerCount_;
};

// While it exists the system timer ticks every millisecond, so that a Sleep ends
// close to when it was asked to (the default tick is up to 16 ms). Held for an
// effect only: a finer tick costs the whole system power.
class FineTimerPeriod {
 public:
  FineTimerPeriod();
  ~FineTimerPeriod();
  FineTimerPeriod(const FineTimerPeriod&) = delete;
  FineTimerPeriod& operator=(const FineTimerPeriod&) = delete;

 private:
  bool held_;
};

class FramePacer {
 public:
  // The schedule starts now: what the effect prepares before its first frame is
  // part of its time.
  explicit FramePacer(FrameClock& clock);

  // Calls present(i) for each frame at its planned start, then waits out the last
  // budget. present returns false to end the effect there (nothing more is waited for).
  void Play(const std::vector<double>& budgetsMs, const std::function<bool(size_t)>& present);

  // Milliseconds since the schedule started.
  double Elapsed();

 private:
  void WaitUntil(double plannedMs);

  FrameClock& clock_;
  double start_;
};
