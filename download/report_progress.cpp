#include "download/report_progress.h"

#include "app/components.h"
#include "download/download_session.h"
#include "download/window_bridge.h"

void ReportProgress(int32_t total, int32_t done, int32_t elapsed, int32_t newBytes) {
  DownloadSession* session = CurrentDownloadSession();
  if (!session) return;
  // The window thread shows the latest report when it gets to it; this thread does
  // not wait for the label to be repainted.
  if (session->PublishReport({total, done, elapsed, newBytes})) NotifyReport(session->shared_from_this());
}

void ReportOnWindow(const ProgressReport& report) {
  // The whole text is set at once; it is what setting the first line and appending
  // each further line to the label would leave there.
  SetComponentText(ids::状态, ProgressStatusText(GetComponentText(ids::编辑框_地址), report));
  SetProgressPosition(ids::进度条1, ProgressBarPosition(report));
}
