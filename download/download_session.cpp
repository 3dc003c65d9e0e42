#include "download/download_session.h"

#include "base/show_message.h"

namespace {

// The command that ends a message box with the given buttons as its "no" or "cancel" would.
WPARAM CloseCommandFor(unsigned flags) {
  switch (flags & MB_TYPEMASK) {
    case MB_YESNO: return IDNO;
    case MB_OKCANCEL:
    case MB_YESNOCANCEL:
    case MB_RETRYCANCEL: return IDCANCEL;
    default: return IDOK;
  }
}

void CloseBox(HWND box, WPARAM command) { ::PostMessageW(box, WM_COMMAND, MAKEWPARAM(command, BN_CLICKED), 0); }

}  // namespace

// Learns the window of the message box this thread opens, so that Stop can close it.
struct SessionBoxHook {
  static thread_local DownloadSession* session;

  static LRESULT CALLBACK Proc(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_CREATEWND && session) {
      HWND hwnd = reinterpret_cast<HWND>(wParam);
      wchar_t cls[16] = {};
      ::GetClassNameW(hwnd, cls, 15);
      if (::GetParent(hwnd) == nullptr && lstrcmpW(cls, L"#32770") == 0) session->NoteBoxCreated(hwnd);
    }
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
  }
};
thread_local DownloadSession* SessionBoxHook::session = nullptr;

DownloadSession::DownloadSession(DownloadInputs inputs)
    : inputs_(std::move(inputs)), stopEvent_(::CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}

void DownloadSession::Stop() {
  std::lock_guard<std::mutex> lock(mutex_);
  stopped_ = true;
  ::SetEvent(stopEvent_.get());
  CloseFileLocked();
  if (box_) CloseBox(box_, boxCloseCommand_);
}

Outcome DownloadSession::OpenFile(const std::function<UniqueFile()>& open) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (stopped_) return Outcome::Stopped;
  file_ = open();
  return file_ ? Outcome::Done : Outcome::Failed;
}

Outcome DownloadSession::CloseFileAndChange(const std::function<bool()>& change) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (stopped_) return Outcome::Stopped;
  CloseFileLocked();
  return change() ? Outcome::Done : Outcome::Failed;
}

Outcome DownloadSession::Write(const void* data, DWORD size) {
  // Under the lock, so Stop never closes the file in the middle of a write.
  std::lock_guard<std::mutex> lock(mutex_);
  if (stopped_ || !file_) return Outcome::Stopped;
  DWORD written = 0;
  if (!::WriteFile(file_.get(), data, size, &written, nullptr) || written != size) return Outcome::Failed;
  return Outcome::Done;
}

void DownloadSession::CloseFile() {
  std::lock_guard<std::mutex> lock(mutex_);
  CloseFileLocked();
}

void DownloadSession::SetAfterFileClosed(std::function<void()> action) {
  std::lock_guard<std::mutex> lock(mutex_);
  afterFileClosed_ = std::move(action);
}

void DownloadSession::CloseFileLocked() {
  if (!file_) return;
  file_.reset();
  if (afterFileClosed_) afterFileClosed_();
}

int DownloadSession::ShowMessageUnlessStopped(std::string_view text, unsigned flags, std::string_view caption) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (stopped_) return 0;
    boxCloseCommand_ = CloseCommandFor(flags);
  }
  SessionBoxHook::session = this;
  UniqueHook hook(::SetWindowsHookExW(WH_CBT, SessionBoxHook::Proc, nullptr, ::GetCurrentThreadId()));
  int answer = ShowMessage(text, flags, caption);
  hook.reset();
  SessionBoxHook::session = nullptr;

  std::lock_guard<std::mutex> lock(mutex_);
  box_ = nullptr;
  return stopped_ ? 0 : answer;
}

void DownloadSession::NoteBoxCreated(HWND box) {
  std::lock_guard<std::mutex> lock(mutex_);
  box_ = box;
  // Stop came between the check before the box and its creation: close it at once.
  if (stopped_) CloseBox(box_, boxCloseCommand_);
}

bool DownloadSession::PublishReport(const ProgressReport& report) {
  std::lock_guard<std::mutex> lock(reportMutex_);
  latest_ = report;
  return std::exchange(windowWaits_, false);
}

std::optional<ProgressReport> DownloadSession::TakeReport() {
  std::lock_guard<std::mutex> lock(reportMutex_);
  windowWaits_ = !latest_;
  return std::exchange(latest_, std::nullopt);
}

