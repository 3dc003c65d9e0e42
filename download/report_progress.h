// The progress callback of the transfer and what it shows on the window. The
// download thread only keeps its latest report; the window thread shows the latest
// one soon, at most about 20 times a second, so the download never waits for
// painting. Whatever a stopped download still reports is dropped there.
#pragma once

#include <cstdint>

#include "base/components.h"
#include "download/download_session.h"
#include "download/progress_text.h"

// Download thread, after every block: keeps the report for the window thread.
void ReportProgress(DownloadSession& session, int64_t total, int64_t done, int32_t elapsed, int64_t newBytes);

// Window thread: writes one report of `session` into "状态" and "进度条1".
void ReportOnWindow(Components& window, const DownloadSession& session, const ProgressReport& report);

// Window thread: the session gives the window back. A report still waiting is shown
// first when the transfer ended by itself, so the bar ends where the transfer did;
// after Stop it is dropped.
void FinishOnWindow(Components& window, DownloadSession& session, bool showLastReport);
