// The one DownloadJob of the process: the download thread most recently started and
// its session. Used on the window thread only (the click handlers and the bridge).
#pragma once

#include <memory>

#include "base/unique_handle.h"
#include "download/download_session.h"

struct DownloadJob {
  UniqueKernelHandle thread;
  std::shared_ptr<DownloadSession> session;
};

DownloadJob& TheDownloadJob();

// The inputs and buttons a download locks, in the order they are locked and given back.
void LockInputs();
// Window thread: the download has ended (or was stopped): "就绪", inputs and Download back.
void GiveWindowBack();
