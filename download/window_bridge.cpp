#include "download/window_bridge.h"

#include "app/components.h"
#include "app/main_window.h"
#include "download/download_job.h"
#include "download/report_progress.h"

namespace {

constexpr UINT kRunStepMessage = WM_APP + 1;    // wParam: step, lParam: session
constexpr UINT kReportMessage = WM_APP + 2;     // lParam: owned copy of the session pointer
constexpr UINT_PTR kReportTimer = 1;
constexpr DWORD kMinReportInterval = 50;        // ms between two paints of the progress (20 a second)

HWND g_bridge = nullptr;
DWORD g_lastShown = 0;
bool g_timerSet = false;

void ShowReport(DownloadSession& session) {
  std::optional<ProgressReport> report = session.TakeReport();
  if (!report || session.stopped() || session.finishedOnWindow) return;
  ReportOnWindow(*report);
  g_lastShown = ::GetTickCount();
}

void OnReportNotice(const std::shared_ptr<DownloadSession>& session) {
  if (session != TheDownloadJob().session) {
    session->TakeReport();  // a session that is no longer current shows nothing
    return;
  }
  if (::GetTickCount() - g_lastShown >= kMinReportInterval) {
    ShowReport(*session);
  } else if (!g_timerSet) {
    // Shown when the timer fires; the notice stays pending until then, so the
    // download thread posts nothing more meanwhile.
    ::SetTimer(g_bridge, kReportTimer, kMinReportInterval, nullptr);
    g_timerSet = true;
  }
}

LRESULT CALLBACK BridgeProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case kRunStepMessage: {
      auto* session = reinterpret_cast<DownloadSession*>(lParam);
      if (session->stopped()) return 0;
      (*reinterpret_cast<const std::function<void()>*>(wParam))();
      return 1;
    }
    case kReportMessage: {
      std::unique_ptr<std::shared_ptr<DownloadSession>> session(
          reinterpret_cast<std::shared_ptr<DownloadSession>*>(lParam));
      OnReportNotice(*session);
      return 0;
    }
    case WM_TIMER:
      if (wParam == kReportTimer) {
        ::KillTimer(hwnd, kReportTimer);
        g_timerSet = false;
        if (auto& session = TheDownloadJob().session) ShowReport(*session);
      }
      return 0;
    default:
      return ::DefWindowProcW(hwnd, msg, wParam, lParam);
  }
}

}  // namespace

void CreateWindowBridge() {
  if (g_bridge) return;
  WNDCLASSEXW wc = {};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = BridgeProc;
  wc.hInstance = ::GetModuleHandleW(nullptr);
  wc.lpszClassName = L"LanshiDownloadBridge";
  ::RegisterClassExW(&wc);
  g_bridge = ::CreateWindowExW(0, wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
}

bool RunOnWindowThread(const std::shared_ptr<DownloadSession>& session, const std::function<void()>& step) {
  if (session->stopped()) return false;
  return ::SendMessageW(g_bridge, kRunStepMessage, reinterpret_cast<WPARAM>(&step),
                        reinterpret_cast<LPARAM>(session.get())) != 0;
}

void NotifyReport(const std::shared_ptr<DownloadSession>& session) {
  auto copy = std::make_unique<std::shared_ptr<DownloadSession>>(session);
  if (::PostMessageW(g_bridge, kReportMessage, 0, reinterpret_cast<LPARAM>(copy.get()))) copy.release();
}

void FinishOnWindow(DownloadSession& session, bool showLastReport) {
  std::optional<ProgressReport> last = session.TakeReport();
  if (last && showLastReport && !session.stopped() && !session.finishedOnWindow) ReportOnWindow(*last);
  session.finishedOnWindow = true;
}
