#include "gdiplus/gdip_status.h"

#include <atomic>

namespace gdip {
namespace {
std::atomic<int> g_lastStatus{Gdiplus::Ok};
}

Status LastStatus() { return static_cast<Status>(g_lastStatus.load(std::memory_order_relaxed)); }

bool Record(Status status) {
  g_lastStatus.store(status, std::memory_order_relaxed);
  return status == Gdiplus::Ok;
}

}  // namespace gdip
