// The progress callback of the transfer and what it shows on the window.
#pragma once

#include <cstdint>

#include "download/progress_text.h"

// Download thread, after every block: keeps the report for the window thread.
void ReportProgress(int32_t total, int32_t done, int32_t elapsed, int32_t newBytes);

// Window thread: writes one report into "状态" and "进度条1".
void ReportOnWindow(const ProgressReport& report);
