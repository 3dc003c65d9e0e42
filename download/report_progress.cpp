#include "download/report_progress.h"

#include "base/window_thread.h"
#include "download/download_job.h"

namespace {

constexpr DWORD kReportInterval = 50;  // ms: the progress is painted at most 20 times a second

// Window thread: shows the latest report of the running download, unless one was shown
// less than kReportInterval ago (it stays kept for the next look then).
void ShowLatest(const std::shared_ptr<DownloadSession>& session) {
  DownloadJob& job = TheDownloadJob();
  if (::GetTickCount() - job.lastReportShown < kReportInterval) return;
  std::optional<ProgressReport> report = session->TakeReport();
  if (!report || !job.window) return;
  ReportOnWindow(*job.window, *session, *report);
  job.lastReportShown = ::GetTickCount();
}

bool IsRunning(const std::shared_ptr<DownloadSession>& session) {
  return session == TheDownloadJob().session && !session->finishedOnWindow && !session->stopped();
}

// Window thread, every kReportInterval while `session` is the running download. A fast
// download is shown this way alone: its thread tells the window nothing (each telling
// is a call to the Wine server, and on a busy machine each such call waits its turn for
// a core).
void LookForReport(const std::shared_ptr<DownloadSession>& session) {
  if (!IsRunning(session)) return;
  ShowLatest(session);
  window_thread::PostAfter(kReportInterval, [session] { LookForReport(session); });
}

}  // namespace

void ReportProgress(DownloadSession& session, int64_t total, int64_t done, int32_t elapsed, int64_t newBytes) {
  // Only news for a window that found nothing new at its last look is told at once: the
  // pieces of a slow server show as they come, not up to a look later.
  if (session.PublishReport({total, done, elapsed, newBytes}))
    window_thread::Post([owned = session.shared_from_this()] {
      if (IsRunning(owned)) ShowLatest(owned);
    });
}

void ShowReportsOf(const std::shared_ptr<DownloadSession>& session) {
  window_thread::PostAfter(kReportInterval, [session] { LookForReport(session); });
}

void ReportOnWindow(Components& window, const DownloadSession& session, const ProgressReport& report) {
  // The whole text is set at once; it is what setting the first line and appending
  // each further line to the label would leave there.
  window.SetComponentText(ids::状态, ProgressStatusText(session.inputs().address, report));
  window.SetProgressPosition(ids::进度条1, ProgressBarPosition(report));
}

void FinishOnWindow(Components& window, DownloadSession& session, bool showLastReport) {
  std::optional<ProgressReport> last = session.TakeReport();
  if (last && showLastReport && !session.stopped() && !session.finishedOnWindow) ReportOnWindow(window, session, *last);
  session.finishedOnWindow = true;
}
