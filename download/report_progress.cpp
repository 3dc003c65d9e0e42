#include "download/report_progress.h"

#include "base/window_thread.h"
#include "download/download_job.h"

namespace {

constexpr DWORD kReportInterval = 50;  // ms between two looks at the latest report (20 a second)

// Window thread, every kReportInterval while `session` is the running download: shows
// its latest report, if a new one came. The download thread only keeps its reports;
// telling this thread about each would cost it a call to the Wine server per piece,
// and on a busy machine every such call waits its turn for a core.
void LookForReport(const std::shared_ptr<DownloadSession>& session) {
  DownloadJob& job = TheDownloadJob();
  if (session != job.session || session->finishedOnWindow || session->stopped()) return;
  std::optional<ProgressReport> report = session->TakeReport();
  if (report && job.window) ReportOnWindow(*job.window, *session, *report);
  window_thread::PostAfter(kReportInterval, [session] { LookForReport(session); });
}

}  // namespace

void ReportProgress(DownloadSession& session, int64_t total, int64_t done, int32_t elapsed, int64_t newBytes) {
  session.PublishReport({total, done, elapsed, newBytes});
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
