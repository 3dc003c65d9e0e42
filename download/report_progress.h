// The progress callback of the transfer and what it shows on the window. The
// download thread only keeps its latest report, and tells nobody: the window thread
// looks for a new one 20 times a second and shows it, so the download never waits
// for painting nor for the window thread. Whatever a stopped download still reports
// is dropped there.
#pragma once

#include <cstdint>
#include <memory>

#include "base/components.h"
#include "download/download_session.h"
#include "download/progress_text.h"

// Download thread, after every block: keeps the report for the window thread.
void ReportProgress(DownloadSession& session, int64_t total, int64_t done, int32_t elapsed, int64_t newBytes);

// Window thread, when the download starts: from now until the session gives the
// window back (or is stopped or replaced), its latest report is shown every 50 ms.
void ShowReportsOf(const std::shared_ptr<DownloadSession>& session);

// Window thread: writes one report of `session` into "状态" and "进度条1".
void ReportOnWindow(Components& window, const DownloadSession& session, const ProgressReport& report);

// Window thread: the session gives the window back. A report still waiting is shown
// first when the transfer ended by itself, so the bar ends where the transfer did;
// after Stop it is dropped.
void FinishOnWindow(Components& window, DownloadSession& session, bool showLastReport);
