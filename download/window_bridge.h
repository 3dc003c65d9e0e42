// The download thread reaches the window through the window thread, where Stop also
// runs: whatever a stopped download still asks for is dropped there, so nothing of
// it appears after Stop, and the download thread never waits for painting.
#pragma once

#include <functional>
#include <memory>

#include "download/download_session.h"

// Window thread, before the first download starts.
void CreateWindowBridge();

// Download thread: runs `step` on the window thread unless the session was stopped,
// and waits for it. False when the session was stopped.
bool RunOnWindowThread(const std::shared_ptr<DownloadSession>& session, const std::function<void()>& step);

// Download thread: the session has a new report; the window thread shows the latest
// one soon, at most about 20 times a second.
void NotifyReport(const std::shared_ptr<DownloadSession>& session);

// Window thread: the session gives the window back. A report still waiting is shown
// first when the transfer ended by itself, so the bar ends where the transfer did;
// after Stop it is dropped.
void FinishOnWindow(DownloadSession& session, bool showLastReport);
