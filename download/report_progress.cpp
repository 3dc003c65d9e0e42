#include "download/report_progress.h"

#include "base/window_thread.h"
#include "download/download_job.h"

namespace {

constexpr DWORD kMinReportInterval = 50;  // ms between two paints of the progress (20 a second)

void ShowReport(DownloadSession& session) {
  std::optional<ProgressReport> report = session.TakeReport();
  DownloadJob& job = TheDownloadJob();
  if (!report || session.stopped() || session.finishedOnWindow || !job.window) return;
  ReportOnWindow(*job.window, session, *report);
  job.lastReportShown = ::GetTickCount();
}

void OnReportNotice(const std::shared_ptr<DownloadSession>& session) {
  DownloadJob& job = TheDownloadJob();
  if (session != job.session) {
    session->TakeReport();  // a session that is no longer current shows nothing
    return;
  }
  if (::GetTickCount() - job.lastReportShown >= kMinReportInterval) {
    ShowReport(*session);
  } else if (!job.reportShowLater) {
    // Shown a little later; the notice stays pending until then, so the download
    // thread posts nothing more meanwhile.
    job.reportShowLater = window_thread::PostAfter(kMinReportInterval, [] {
      DownloadJob& job = TheDownloadJob();
      job.reportShowLater = false;
      if (job.session) ShowReport(*job.session);
    });
  }
}

}  // namespace

void ReportProgress(DownloadSession& session, int64_t total, int64_t done, int32_t elapsed, int64_t newBytes) {
  // The window thread shows the latest report when it gets to it; this thread does
  // not wait for the label to be repainted.
  if (session.PublishReport({total, done, elapsed, newBytes}))
    window_thread::Post([owned = session.shared_from_this()] { OnReportNotice(owned); });
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
