// The one DownloadJob of the process: the download thread most recently started and
// its session. Used on the window thread only.
#pragma once

#include <memory>

#include "base/components.h"
#include "base/unique_handle.h"
#include "download/download_session.h"

struct DownloadJob {
  UniqueKernelHandle thread;
  std::shared_ptr<DownloadSession> session;
  Components* window = nullptr;  // the window the downloads report to
  DWORD lastReportShown = 0;     // GetTickCount when the progress was last painted

  // At exit, a download still running is stopped and given a moment to let go of its
  // connection, so the process never ends in the middle of its transfer.
  ~DownloadJob();
};

DownloadJob& TheDownloadJob();

// The inputs and buttons a download locks, in the order they are locked and given back.
void LockInputs(Components& window);
// Window thread: the download has ended (or was stopped): "就绪", inputs and Download back.
void GiveWindowBack(Components& window);
