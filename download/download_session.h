// What one download shares between its thread and the window thread: the stop
// request, the open partial file, the message box the download thread shows, and
// the latest progress report waiting to be shown.
#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>

#include "base/text.h"
#include "base/unique_handle.h"
#include "download/progress_text.h"
#include "net/outcome.h"

// The four inputs as the user typed them, read when Download was pressed.
struct DownloadInputs {
  Text address;
  Text drive;
  Text name;
  Text extension;
};

class DownloadSession : public std::enable_shared_from_this<DownloadSession> {
 public:
  explicit DownloadSession(DownloadInputs inputs);
  DownloadSession(const DownloadSession&) = delete;
  DownloadSession& operator=(const DownloadSession&) = delete;

  const DownloadInputs& inputs() const { return inputs_; }

  // Window thread. From here on the download shows nothing more and writes nothing
  // more: the partial file is closed with every byte written so far, a message box
  // of the download thread is closed, and a transfer waiting on the network wakes up.
  void Stop();
  bool stopped() const { return stopped_.load(); }
  const std::atomic<bool>& stoppedFlag() const { return stopped_; }
  // Signalled by Stop; the transfer waits on it beside the network.
  HANDLE stopEvent() const { return stopEvent_.get(); }

  // Download thread: every change to the user's files goes through these. Each runs
  // under the lock Stop takes, after the check for Stop, so a Stop lands either before
  // the change (nothing changes) or after it (the change is whole), never in between.
  // Runs `open` (which may create, truncate or position the partial file) and keeps
  // the file it returns for Write.
  Outcome OpenFile(const std::function<UniqueFile()>& open);
  // Closes the partial file, then runs `change` (the rename that publishes it).
  Outcome CloseFileAndChange(const std::function<bool()>& change);
  // Runs after the partial file is closed, whoever closes it (the transfer, or Stop on
  // the window thread), while the file is as it will stay: notes its identity.
  void SetAfterFileClosed(std::function<void()> action);
  Outcome Write(const void* data, DWORD size);
  void CloseFile();

  // Download thread: a message box (through ShowMessage) that Stop can close. Returns
  // the button pressed, or 0 when Stop came first or closed the box.
  int ShowMessageUnlessStopped(std::string_view text, unsigned flags = 0, std::string_view caption = {});

  // Download thread: keeps the latest report for the window thread. True when the
  // window thread's last look found nothing new (it waits for news: tell it).
  bool PublishReport(const ProgressReport& report);
  // Window thread: the report to show, if one arrived since the last call.
  std::optional<ProgressReport> TakeReport();

  // Window thread only: set when the download has given the window back, after
  // which no report of it is shown.
  bool finishedOnWindow = false;

 private:
  friend struct SessionBoxHook;
  void NoteBoxCreated(HWND box);
  void CloseFileLocked();

  const DownloadInputs inputs_;
  std::atomic<bool> stopped_{false};
  UniqueKernelHandle stopEvent_;

  std::mutex mutex_;  // guards the four below
  UniqueFile file_;
  std::function<void()> afterFileClosed_;
  HWND box_ = nullptr;
  WPARAM boxCloseCommand_ = IDOK;

  // Apart from the file's lock: the window thread takes reports while the download
  // thread writes, closes or renames a large file, and must not wait for that.
  std::mutex reportMutex_;  // guards the two below
  std::optional<ProgressReport> latest_;
  bool windowWaits_ = true;  // the window has taken every report so far
};
