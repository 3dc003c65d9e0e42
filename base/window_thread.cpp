#include "base/window_thread.h"

#include <atomic>
#include <map>
#include <memory>

namespace window_thread {
namespace {

constexpr UINT kPostedWork = WM_APP + 1;  // lParam: an owned std::function<void()>*
constexpr UINT kSentWork = WM_APP + 2;    // lParam: the sender's std::function<void()>*

std::atomic<HWND> g_window{nullptr};
std::atomic<DWORD> g_threadId{0};
// Window thread only: the work waiting for its timer, by timer id.
std::map<UINT_PTR, std::function<void()>> g_delayed;
UINT_PTR g_nextTimer = 1;

LRESULT CALLBACK WorkProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case kPostedWork: {
      std::unique_ptr<std::function<void()>> work(reinterpret_cast<std::function<void()>*>(lParam));
      (*work)();
      return 0;
    }
    case kSentWork:
      (*reinterpret_cast<const std::function<void()>*>(lParam))();
      return 1;
    case WM_TIMER: {
      ::KillTimer(hwnd, wParam);
      auto it = g_delayed.find(wParam);
      if (it == g_delayed.end()) return 0;
      std::function<void()> work = std::move(it->second);
      g_delayed.erase(it);
      work();
      return 0;
    }
    default:
      return ::DefWindowProcW(hwnd, msg, wParam, lParam);
  }
}

}  // namespace

bool Start() {
  if (g_window.load()) return IsCurrent();
  WNDCLASSEXW wc = {};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = WorkProc;
  wc.hInstance = ::GetModuleHandleW(nullptr);
  wc.lpszClassName = L"LanshiWindowThreadWork";
  ::RegisterClassExW(&wc);
  // A message-only window: it lives as long as the process and is never shown.
  HWND hwnd = ::CreateWindowExW(0, wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
  if (!hwnd) return false;
  g_threadId = ::GetCurrentThreadId();
  g_window = hwnd;
  return true;
}

bool IsCurrent() { return g_window.load() && ::GetCurrentThreadId() == g_threadId.load(); }

bool Post(std::function<void()> work) {
  HWND hwnd = g_window.load();
  if (!hwnd) return false;
  auto owned = std::make_unique<std::function<void()>>(std::move(work));
  if (!::PostMessageW(hwnd, kPostedWork, 0, reinterpret_cast<LPARAM>(owned.get()))) return false;
  owned.release();  // the window thread deletes it after running it
  return true;
}

bool PostAfter(DWORD delayMs, std::function<void()> work) {
  HWND hwnd = g_window.load();
  if (!hwnd || !IsCurrent()) return false;
  const UINT_PTR id = g_nextTimer++;
  if (!::SetTimer(hwnd, id, delayMs, nullptr)) return false;
  g_delayed.emplace(id, std::move(work));
  return true;
}

bool Run(const std::function<void()>& work) {
  if (IsCurrent()) {
    work();
    return true;
  }
  HWND hwnd = g_window.load();
  if (!hwnd) return false;
  return ::SendMessageW(hwnd, kSentWork, 0, reinterpret_cast<LPARAM>(&work)) != 0;
}

}  // namespace window_thread
