#include "download/transfer_worker.h"

#include <windows.h>
#include <wininet.h>

#include <algorithm>

#include "base/codepage.h"
#include "base/unique_handle.h"
#include "download/http_answer.h"
#include "download/resume_records.h"
#include "download/resume_validator.h"
#include "download/test_hold.h"
#include "net/internet_connection.h"
#include "net/url.h"

namespace {


namespace msg = transfer_messages;

// Reload, no cache write, Pragma: no-cache: always the server's bytes, never the cache's.
constexpr DWORD kOpenUrlFlags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_PRAGMA_NOCACHE;

ServerAnswer ReadAnswer(const InternetConnection& connection) {
  ServerAnswer answer;
  answer.status = connection.StatusCode();
  ReadContentLengths(answer, connection.HeaderValues(HTTP_QUERY_CONTENT_LENGTH));
  if (auto range = connection.HeaderValue(HTTP_QUERY_CONTENT_RANGE)) answer.contentRange = ParseContentRange(*range);
  return answer;
}

// Size of the file now, -1 when it cannot be read.
int64_t SizeOfFile(const Text& path) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!::GetFileAttributesExW(Widen(path).c_str(), GetFileExInfoStandard, &data)) return -1;
  return (static_cast<int64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

// The partial file opened for writing, positioned at `offset` with anything after it
// cut off (offset 0 empties it). Others may read it but not write it: a second copy of
// the program aimed at the same file is refused instead of truncating or
// interleaving the bytes of this one.
UniqueFile OpenPartialFile(const Text& path, int64_t offset) {
  std::wstring wide = Widen(path);
  // Longer paths are refused as the classic file functions refuse them, on every system.
  if (wide.size() >= MAX_PATH) return UniqueFile();
  UniqueFile file(::CreateFileW(wide.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return file;
  LARGE_INTEGER position;
  position.QuadPart = offset;
  if (!::SetFilePointerEx(file.get(), position, nullptr, FILE_BEGIN) || !::SetEndOfFile(file.get()))
    return UniqueFile();
  return file;
}

class Transfer {
 public:
  Transfer(const Text& address, const Text& partialPath, ProgressCallback progress, DownloadSession& session)
      : address_(address), partialPath_(partialPath), progress_(progress), session_(session),
        connection_(session.stopEvent(), session.stoppedFlag()) {}

  TransferResult Run(int64_t resumeOffset, bool resume) {
    DWORD connectionFlags = 0;
    ::InternetGetConnectedState(&connectionFlags, 0);
    const Text agent = "Agent" + std::to_string(static_cast<int32_t>(::GetTickCount()));
    const DWORD access = (connectionFlags & INTERNET_CONNECTION_PROXY) ? INTERNET_OPEN_TYPE_PRECONFIG
                                                                       : INTERNET_OPEN_TYPE_PRECONFIG_WITH_NO_AUTOPROXY;
    if (!connection_.Open(agent, access)) return Fail(msg::kInternetError);

    if (!IsHttpAddress(address_)) return Fail(msg::kCannotOpenUrl);

    const int64_t partialSize = resume ? SizeOfFile(partialPath_) : 0;
    // The partial file shrank or vanished since it was measured: its bytes cannot be
    // continued at their own offset, so fetch the whole file.
    if (resume && partialSize < resumeOffset) resume = false;
    // The validator of the answer that started the partial file, if the file is still
    // the one it was kept with: the range is then asked of that version only.
    const std::optional<Text> sentValidator = resume ? ValidatorFor(partialPath_) : std::nullopt;
    if (Outcome o = connection_.OpenUrl(address_, RequestHeaderBlock(resume, resumeOffset, sentValidator),
                                        kOpenUrlFlags);
        o != Outcome::Done)
      return o == Outcome::Stopped ? TransferResult::Stopped : Fail(msg::kCannotOpenUrl);
    BodyPlan plan = PlanBody(ReadAnswer(connection_), resume, resumeOffset, partialSize);
    // A server that ignores If-Range but honours Range sends a piece of another version.
    if (plan.action == BodyAction::AppendAtOffset && sentValidator &&
        !AnswerKeepsValidator(*sentValidator, connection_.HeaderValue(HTTP_QUERY_ETAG),
                              connection_.HeaderValue(HTTP_QUERY_LAST_MODIFIED)))
      plan.action = BodyAction::AskAgainWithoutRange;
    keptValidator_ = sentValidator;

    if (plan.action == BodyAction::AskAgainWithoutRange) {
      if (Outcome o = connection_.OpenUrl(address_, RequestHeaderBlock(false, 0), kOpenUrlFlags); o != Outcome::Done)
        return o == Outcome::Stopped ? TransferResult::Stopped : Fail(msg::kCannotOpenUrl);
      plan = PlanBody(ReadAnswer(connection_), false, 0, 0);
    }
    switch (plan.action) {
      case BodyAction::Refuse:
      case BodyAction::AskAgainWithoutRange:
        return Fail(msg::kCannotOpenUrl);
      case BodyAction::AlreadyComplete:
        return session_.stopped() ? TransferResult::Stopped : TransferResult::Succeeded;
      case BodyAction::WriteWhole:
        // A new start: the partial file is kept with the validator of this answer.
        keptValidator_ = ValidatorOf(connection_.HeaderValue(HTTP_QUERY_ETAG),
                                     connection_.HeaderValue(HTTP_QUERY_LAST_MODIFIED));
        return ReceiveBody(plan, 0);
      case BodyAction::AppendAtOffset:
        return ReceiveBody(plan, resumeOffset);
    }
    return Fail(msg::kCannotOpenUrl);
  }

 private:
  TransferResult Fail(const char* message) {
    session_.CloseFile();
    connection_.CloseRequest();
    if (session_.stopped()) return TransferResult::Stopped;
    session_.ShowMessageUnlessStopped(message);
    return session_.stopped() ? TransferResult::Stopped : TransferResult::Failed;
  }

  TransferResult ReceiveBody(const BodyPlan& plan, int64_t offset) {
    // Emptying or cutting the partial file happens only here, fenced from Stop: a
    // Stop pressed before it leaves the user's bytes as they were.
    HoldForTest("open");
    switch (session_.OpenFile([&] { return OpenPartialFile(partialPath_, offset); })) {
      case DownloadSession::Fenced::Stopped: return TransferResult::Stopped;
      case DownloadSession::Fenced::Failed: return Fail(msg::kCannotOpenLocalFile);
      case DownloadSession::Fenced::Done: break;
    }
    // The file now holds the bytes of the answer whose validator is kept (noted with the
    // file's identity whenever it is closed), or of no known version at all.
    if (keptValidator_)
      session_.SetAfterFileClosed([path = partialPath_, validator = *keptValidator_] {
        RememberValidator(path, validator);
      });
    else
      ForgetValidator(partialPath_);

    int64_t done = offset;
    const DWORD start = ::GetTickCount();
    // Nothing past the announced end is kept: bytes after it belong to no body.
    while (plan.expectedEnd < 0 || done < plan.expectedEnd) {
      DWORD got = 0;
      Outcome o = connection_.Read(got);
      if (o == Outcome::Stopped) return TransferResult::Stopped;
      if (o == Outcome::Failed) return Fail(msg::kReadError);
      if (got == 0) {
        // A body that ends before the length the server announced was cut off.
        if (plan.expectedEnd >= 0) return Fail(msg::kReadError);
        break;
      }
      if (plan.expectedEnd >= 0) got = static_cast<DWORD>(std::min<int64_t>(got, plan.expectedEnd - done));
      switch (session_.Write(connection_.block(), got)) {
        case DownloadSession::WriteResult::Stopped: return TransferResult::Stopped;
        case DownloadSession::WriteResult::Failed: return Fail(msg::kWriteError);
        case DownloadSession::WriteResult::Written: break;
      }
      done += got;
      int32_t elapsed = static_cast<int32_t>(::GetTickCount() - start);
      if (elapsed == 0) elapsed = 10;
      progress_(plan.total, done, elapsed, done - offset);
    }
    session_.CloseFile();
    return session_.stopped() ? TransferResult::Stopped : TransferResult::Succeeded;
  }

  const Text& address_;
  const Text& partialPath_;
  ProgressCallback progress_;
  DownloadSession& session_;
  InternetConnection connection_;
  std::optional<Text> keptValidator_;
};

}  // namespace

TransferResult TransferUrlToFile(const Text& address, const Text& partialPath, ProgressCallback progress,
                                 int64_t resumeOffset, bool resume, DownloadSession& session) {
  return Transfer(address, partialPath, progress, session).Run(resumeOffset, resume);
}
