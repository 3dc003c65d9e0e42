// The Download button: the command runs on a thread of its own, from the inputs
// to the published file.
#include <windows.h>

#include "base/codepage.h"
#include "base/path_lookup.h"
#include "base/unique_handle.h"
#include "base/window_thread.h"
#include "download/download_commands.h"
#include "download/download_job.h"
#include "download/download_paths.h"
#include "download/report_progress.h"
#include "download/resume_records.h"
#include "download/test_hold.h"
#include "download/transfer_worker.h"

namespace {

// Renames the partial file to the final path, replacing a file already there. Both
// lie in one folder, so this is a rename on one volume: never a copy, which could
// publish a file that another writer still changes.
bool PublishPartialFile(const Text& partialPath, const Text& finalPath) {
  return ::MoveFileExW(Widen(partialPath).c_str(), Widen(finalPath).c_str(), MOVEFILE_REPLACE_EXISTING) != FALSE;
}

// The drive is there (no "insert a disk" box for an empty one) and the path is short
// enough for the classic file functions, which refuse longer ones on every system.
bool CanHoldFile(const Text& drive, const Text& partialPath) {
  if (Widen(partialPath).size() >= MAX_PATH) return false;
  DWORD oldMode = 0;
  ::SetThreadErrorMode(SEM_FAILCRITICALERRORS, &oldMode);
  const DWORD root = ::GetFileAttributesW(Widen(JoinTexts({drive, ":\\"})).c_str());
  ::SetThreadErrorMode(oldMode, nullptr);
  return root != INVALID_FILE_ATTRIBUTES && (root & FILE_ATTRIBUTE_DIRECTORY);
}

Text RenameFailedText(const Text& partialPath, const Text& finalPath) {
  return JoinTexts({"文件已下载到", partialPath, "，但不能改名为", finalPath, "!"});
}

// The download is over: "就绪" and the inputs back, on the window thread where Stop
// also runs (a download stopped meanwhile gives nothing back). False when Stop came
// first, or the window thread is gone (the program is closing: no window to give back).
bool GiveWindowBackAfter(const std::shared_ptr<DownloadSession>& session) {
  bool gaveBack = false;
  window_thread::Run([&] {
    DownloadJob& job = TheDownloadJob();
    if (session->stopped() || !job.window) return;
    FinishOnWindow(*job.window, *session, true);
    GiveWindowBack(*job.window);
    gaveBack = true;
  });
  return gaveBack;
}

void RunDownload(const std::shared_ptr<DownloadSession>& session) {
  const DownloadInputs& in = session->inputs();
  const Text finalPath = FinalPath(in.drive, in.name, in.extension);
  const Text partialPath = PartialPath(finalPath);

  // A drive that is not one letter, or a name Windows reads as a folder, a stream, a
  // wildcard or a device, is no file of the user's: refused before anything is asked,
  // sent or opened.
  if (!IsPlainTarget(in.drive, in.name, in.extension) || !CanHoldFile(in.drive, partialPath)) {
    session->ShowMessageUnlessStopped(transfer_messages::kCannotOpenLocalFile);
    GiveWindowBackAfter(session);
    return;
  }

  PruneStaleValidators();

  bool resume = false;
  int64_t resumeOffset = 0;
  // A directory lookup of the partial path; its size as the directory entry gives it.
  const PathEntry partial = LookUpPath(partialPath);
  if (!partial.exists) ForgetValidator(partialPath);  // whatever was kept belonged to a file now gone
  if (partial.exists) {
    int answer = session->ShowMessageUnlessStopped("文件已存在，是否断点续传？", MB_YESNO | MB_ICONQUESTION, "提示：");
    if (session->stopped()) return;
    // No answer at all (the box could not be shown): the partial file is not emptied
    // on a question nobody saw.
    if (answer != IDYES && answer != IDNO) {
      GiveWindowBackAfter(session);
      return;
    }
    if (answer == IDYES) {
      resume = true;
      resumeOffset = partial.size;
    }
  }

  Outcome result = TransferUrlToFile(in.address, partialPath, ReportProgress, resumeOffset, resume, *session);
  if (session->stopped()) return;
  bool published = false;
  if (result == Outcome::Done) {
    HoldForTest("publish");
    // Fenced from Stop: a Stop pressed before the rename leaves the partial file.
    const Outcome renamed = session->CloseFileAndChange([&] { return PublishPartialFile(partialPath, finalPath); });
    if (renamed == Outcome::Stopped) return;
    published = renamed == Outcome::Done;
    if (published) ForgetValidator(partialPath);
  }

  if (!GiveWindowBackAfter(session)) return;
  if (result != Outcome::Done) return;
  if (published)
    session->ShowMessageUnlessStopped(SuccessMessageText(in.drive, in.name, in.extension), MB_ICONINFORMATION,
                                      "下载成功");
  else
    session->ShowMessageUnlessStopped(RenameFailedText(partialPath, finalPath));
}

DWORD WINAPI RunDownloadCommand(void* parameter) {
  std::unique_ptr<std::shared_ptr<DownloadSession>> owned(static_cast<std::shared_ptr<DownloadSession>*>(parameter));
  RunDownload(*owned);
  return 0;
}

}  // namespace

void OnDownloadClicked(Components& window) {
  DownloadJob& job = TheDownloadJob();
  const bool running = job.thread && ::WaitForSingleObject(job.thread.get(), 0) == WAIT_TIMEOUT;
  if (running && job.session && !job.session->stopped() && !job.session->finishedOnWindow) return;  // one at a time

  job.window = &window;
  LockInputs(window);
  DownloadInputs inputs{window.GetComponentText(ids::编辑框_地址), window.GetComponentText(ids::硬盘),
                        window.GetComponentText(ids::名字), window.GetComponentText(ids::格式)};
  auto session = std::make_shared<DownloadSession>(std::move(inputs));
  auto parameter = std::make_unique<std::shared_ptr<DownloadSession>>(session);
  UniqueKernelHandle thread(::CreateThread(nullptr, 0, RunDownloadCommand, parameter.get(), 0, nullptr));
  if (!thread) {
    GiveWindowBack(window);
    return;
  }
  parameter.release();  // the thread owns it now
  job.thread = std::move(thread);
  job.session = std::move(session);
  ShowReportsOf(job.session);
}
