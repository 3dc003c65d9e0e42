// The Stop button: ends the running download as the user sees it, at once.
#include "app/components.h"
#include "app/event_handlers.h"
#include "download/download_job.h"
#include "download/window_bridge.h"

void OnStopClicked() {
  DownloadJob& job = TheDownloadJob();
  if (job.session) {
    // The download thread is asked to end rather than killed: killing it could leave
    // a lock of the allocator or of the window taken. It writes, shows and renames
    // nothing from here on.
    job.session->Stop();
    FinishOnWindow(*job.session, false);
  }
  GiveWindowBack();
}
