// The Stop button: ends the running download as the user sees it, at once.
#include "download/download_commands.h"
#include "download/download_job.h"
#include "download/report_progress.h"

void OnStopClicked(Components& window) {
  DownloadJob& job = TheDownloadJob();
  if (job.session) {
    // The download thread is asked to end rather than killed: killing it could leave
    // a lock of the allocator or of the window taken. It writes, shows and renames
    // nothing from here on.
    job.session->Stop();
    FinishOnWindow(window, *job.session, false);
  }
  GiveWindowBack(window);
}
