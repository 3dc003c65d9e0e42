// The progress callback of the transfer and what it shows on the window. The
// download thread only keeps its latest report; the window thread looks for it 20
// times a second and is told at once only when its last look found nothing new (a
// slow server's pieces show as they come), so a fast download tells the window
// nothing and never waits for painting nor for the window thread. Whatever a stopped
// download still reports is dropped there.
#pragma once

#include <cstdint>
#include <memory>

#include "base/components.h"
#include "download/download_session.h"
#include "download/progress_text.h"

// Download thread, after every block: keeps the report for the window thread.
void ReportProgress(DownloadSession& session, int64_t total, int64_t done, int32_t elapsed, int64_t newBytes);

// Window thread, when the download starts: from now until the session gives the
// window back (or is stopped or replaced), its latest report is looked for every 50 ms.
void ShowReportsOf(const std::shared_ptr<DownloadSession>& session);

// Window thread: writes one report of `session` into "状态" and "进度条1".
void ReportOnWindow(Components& window, const DownloadSession& session, const ProgressReport& report);

// Window thread: the session gives the window back. A report still waiting is shown
// first when the transfer ended by itself, so the bar ends where the transfer did;
// after Stop it is dropped.
void FinishOnWindow(Components& window, DownloadSession& session, bool showLastReport);
