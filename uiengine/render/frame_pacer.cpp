#include "uiengine/render/frame_pacer.h"

#include <mmsystem.h>

namespace {

// Below this much time left, a Sleep(1) could overshoot the frame: yield instead.
constexpr double kYieldBelowMs = 2.0;

}  // namespace

PerformanceClock::PerformanceClock() {
  LARGE_INTEGER frequency;
  ::QueryPerformanceFrequency(&frequency);
  msPerCount_ = 1000.0 / static_cast<double>(frequency.QuadPart);
}

double PerformanceClock::NowMs() {
  LARGE_INTEGER now;
  ::QueryPerformanceCounter(&now);
  return static_cast<double>(now.QuadPart) * msPerCount_;
}

void PerformanceClock::WaitMs(double ms) {
  // Sleep whole milliseconds short of the mark, then give the rest of the time slice
  // away until it is reached.
  ::Sleep(ms >= kYieldBelowMs ? static_cast<DWORD>(ms - 1.0) : 0);
}

FineTimerPeriod::FineTimerPeriod() : held_(::timeBeginPeriod(1) == TIMERR_NOERROR) {}

FineTimerPeriod::~FineTimerPeriod() {
  if (held_) ::timeEndPeriod(1);
}

FramePacer::FramePacer(FrameClock& clock) : clock_(clock), start_(clock.NowMs()) {}

double FramePacer::Elapsed() { return clock_.NowMs() - start_; }

void FramePacer::WaitUntil(double plannedMs) {
  for (double left = plannedMs - Elapsed(); left > 0; left = plannedMs - Elapsed()) clock_.WaitMs(left);
}

void FramePacer::Play(const std::vector<double>& budgetsMs, const std::function<bool(size_t)>& present) {
  double planned = 0;
  for (size_t i = 0; i < budgetsMs.size(); ++i) {
    WaitUntil(planned);
    if (!present(i)) return;
    planned += budgetsMs[i];
  }
  WaitUntil(planned);
}
