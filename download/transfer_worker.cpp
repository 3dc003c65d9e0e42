#include "download/transfer_worker.h"

#include <windows.h>
#include <wininet.h>

#include <algorithm>
#include <cstring>

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
  answer.statusLine = HeadHasStatusLine(connection.HeaderValue(HTTP_QUERY_RAW_HEADERS_CRLF).value_or(Text()));
  ReadContentLengths(answer, connection.HeaderValues(HTTP_QUERY_CONTENT_LENGTH));
  ReadTransferCodings(answer, connection.HeaderValues(HTTP_QUERY_TRANSFER_ENCODING));
  if (auto range = connection.HeaderValue(HTTP_QUERY_CONTENT_RANGE)) answer.contentRange = ParseContentRange(*range);
  return answer;
}

// Size of the file now, -1 when it cannot be read.
int64_t SizeOfFile(const Text& path) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!::GetFileAttributesExW(Widen(path).c_str(), GetFileExInfoStandard, &data)) return -1;
  return (static_cast<int64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

// `count` bytes of the file from `from` on; nothing when they cannot all be read.
std::optional<ByteBuffer> ReadFileBytes(const Text& path, int64_t from, int64_t count) {
  if (count < 0 || count > kResumeOverlap) return std::nullopt;
  UniqueFile file(::CreateFileW(Widen(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  LARGE_INTEGER position;
  position.QuadPart = from;
  if (!file || !::SetFilePointerEx(file.get(), position, nullptr, FILE_BEGIN)) return std::nullopt;
  ByteBuffer bytes(static_cast<size_t>(count));
  DWORD got = 0;
  if (count > 0 && (!::ReadFile(file.get(), bytes.data(), static_cast<DWORD>(count), &got, nullptr) || got != count))
    return std::nullopt;
  return bytes;
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
  LARGE_INTEGER size, position;
  position.QuadPart = offset;
  if (!::GetFileSizeEx(file.get(), &size) || !::SetFilePointerEx(file.get(), position, nullptr, FILE_BEGIN))
    return UniqueFile();
  // Only a file that does not end at the offset is cut (or grown) there. Cutting a new,
  // empty file changes nothing but costs dearly on Linux: ext4 takes a file cut to
  // nothing for one being rewritten in place and writes all of it out when it is closed
  // (about 90 ms for 256 MiB, in the middle of the download under Wine).
  if (size.QuadPart != offset && !::SetEndOfFile(file.get())) return UniqueFile();
  return file;
}

class Transfer {
 public:
  Transfer(const Text& address, const Text& partialPath, ProgressCallback progress, DownloadSession& session)
      : address_(address), partialPath_(partialPath), progress_(progress), session_(session),
        connection_(session.stopEvent(), session.stoppedFlag()) {}

  Outcome Run(int64_t resumeOffset, bool resume) {
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
    // the one it was kept with: the range is then asked of that version only. A kept
    // value that cannot be read proves nothing: start again from byte 0.
    const KeptValidator kept = resume ? ValidatorFor(partialPath_) : KeptValidator{};
    if (kept.state == KeptValidator::State::Unreadable) resume = false;
    std::optional<Text> sentValidator;
    if (resume && kept.state == KeptValidator::State::Found) sentValidator = kept.validator;
    // Without a strong tag nothing proves that the server's file is the one the partial
    // file began: the range starts a little earlier, and those bytes must come back
    // equal to the ones on disk.
    const bool strong = sentValidator && IsStrongTag(*sentValidator);
    const int64_t rangeStart = resume ? RangeStartFor(resumeOffset, strong) : 0;
    std::optional<ByteBuffer> overlap;
    if (resume) overlap = ReadFileBytes(partialPath_, rangeStart, resumeOffset - rangeStart);
    if (!overlap) resume = false;
    if (!resume) sentValidator.reset();

    if (Outcome o = connection_.OpenUrl(address_, RequestHeaderBlock(resume, rangeStart, sentValidator),
                                        kOpenUrlFlags);
        o != Outcome::Done)
      return o == Outcome::Stopped ? Outcome::Stopped : Fail(msg::kCannotOpenUrl);
    BodyPlan plan = PlanBody(ReadAnswer(connection_), resume, rangeStart, partialSize);
    // A server that ignores If-Range but honours Range sends a piece of another version:
    // a piece that does not carry the validator sent is not taken.
    if (plan.action == BodyAction::AppendAtOffset && sentValidator &&
        !AnswerKeepsValidator(*sentValidator, connection_.HeaderValue(HTTP_QUERY_ETAG),
                              connection_.HeaderValue(HTTP_QUERY_LAST_MODIFIED)))
      plan.action = BodyAction::AskAgainWithoutRange;
    keptValidator_ = sentValidator;

    if (plan.action == BodyAction::AppendAtOffset) {
      if (std::optional<Outcome> result = ReceiveBody(plan, rangeStart, resumeOffset, &*overlap))
        return *result;
      // The overlap differs: the server's file is another one. Start again from byte 0;
      // the user answered the resume question already and is asked nothing new.
      plan.action = BodyAction::AskAgainWithoutRange;
    }
    if (plan.action == BodyAction::AskAgainWithoutRange) {
      if (Outcome o = connection_.OpenUrl(address_, RequestHeaderBlock(false, 0), kOpenUrlFlags); o != Outcome::Done)
        return o == Outcome::Stopped ? Outcome::Stopped : Fail(msg::kCannotOpenUrl);
      plan = PlanBody(ReadAnswer(connection_), false, 0, 0);
    }
    switch (plan.action) {
      case BodyAction::Refuse:
      case BodyAction::AskAgainWithoutRange:
      case BodyAction::AppendAtOffset:
        return Fail(msg::kCannotOpenUrl);
      case BodyAction::AlreadyComplete:
        connection_.CloseRequest();
        return session_.stopped() ? Outcome::Stopped : Outcome::Done;
      case BodyAction::WriteWhole:
        // A new start: the partial file is kept with the validator of this answer.
        keptValidator_ = ValidatorOf(connection_.HeaderValue(HTTP_QUERY_ETAG),
                                     connection_.HeaderValue(HTTP_QUERY_LAST_MODIFIED));
        return *ReceiveBody(plan, 0, 0, nullptr);
    }
    return Fail(msg::kCannotOpenUrl);
  }

 private:
  Outcome Fail(const char* message) {
    session_.CloseFile();
    connection_.CloseRequest();
    if (session_.stopped()) return Outcome::Stopped;
    session_.ShowMessageUnlessStopped(message);
    return session_.stopped() ? Outcome::Stopped : Outcome::Failed;
  }

  // The body, which starts at byte `from` of the file. Its bytes before `offset` must
  // equal `overlap` (what the partial file holds there) and are not written: nothing
  // comes back when they differ, before the partial file is touched. From `offset` on
  // the bytes go into the partial file.
  std::optional<Outcome> ReceiveBody(const BodyPlan& plan, int64_t from, int64_t offset,
                                     const ByteBuffer* overlap) {
    int64_t done = from;
    DWORD got = 0, used = 0;  // the block last read, and how much of it is dealt with
    while (done < offset) {
      Outcome o = connection_.Read(got);
      if (o == Outcome::Stopped) return Outcome::Stopped;
      if (o == Outcome::Failed || got == 0) return Fail(msg::kReadError);
      used = static_cast<DWORD>(std::min<int64_t>(got, offset - done));
      if (std::memcmp(connection_.block(), overlap->data() + (done - from), used) != 0) {
        connection_.CloseRequest();
        return std::nullopt;
      }
      done += used;
    }

    // Emptying or cutting the partial file happens only here, fenced from Stop: a
    // Stop pressed before it leaves the user's bytes as they were.
    HoldForTest("open");
    switch (session_.OpenFile([&] { return OpenPartialFile(partialPath_, offset); })) {
      case Outcome::Stopped: return Outcome::Stopped;
      case Outcome::Failed: return Fail(msg::kCannotOpenLocalFile);
      case Outcome::Done: break;
    }
    // The file now holds the bytes of the answer whose validator is kept (noted with the
    // file's identity whenever it is closed), or of no known version at all.
    if (keptValidator_)
      session_.SetAfterFileClosed([path = partialPath_, validator = *keptValidator_] {
        RememberValidator(path, validator);
      });
    else
      ForgetValidator(partialPath_);

    const DWORD start = ::GetTickCount();
    // Nothing past the announced end is kept: bytes after it belong to no body (Wine's
    // WinINet hands over what it read ahead past a Content-Length).
    while (plan.expectedEnd < 0 || done < plan.expectedEnd) {
      if (used == got) {  // the block is all written (or was all overlap): the next one
        used = got = 0;
        Outcome o = connection_.Read(got);
        if (o == Outcome::Stopped) return Outcome::Stopped;
        if (o == Outcome::Failed) return Fail(msg::kReadError);
        if (got == 0) {
          // A body that ends before the length the answer announced was cut off.
          if (plan.expectedEnd >= 0) return Fail(msg::kReadError);
          break;
        }
      }
      DWORD size = got - used;
      if (plan.expectedEnd >= 0) size = static_cast<DWORD>(std::min<int64_t>(size, plan.expectedEnd - done));
      switch (session_.Write(connection_.block() + used, size)) {
        case Outcome::Stopped: return Outcome::Stopped;
        case Outcome::Failed: return Fail(msg::kWriteError);
        case Outcome::Done: break;
      }
      used += size;
      done += size;
      int32_t elapsed = static_cast<int32_t>(::GetTickCount() - start);
      if (elapsed == 0) elapsed = 10;
      progress_(session_, plan.total, done, elapsed, done - offset);
    }
    session_.CloseFile();
    connection_.CloseRequest();
    return session_.stopped() ? Outcome::Stopped : Outcome::Done;
  }

  const Text& address_;
  const Text& partialPath_;
  ProgressCallback progress_;
  DownloadSession& session_;
  InternetConnection connection_;
  std::optional<Text> keptValidator_;
};

}  // namespace

Outcome TransferUrlToFile(const Text& address, const Text& partialPath, ProgressCallback progress,
                          int64_t resumeOffset, bool resume, DownloadSession& session) {
  return Transfer(address, partialPath, progress, session).Run(resumeOffset, resume);
}
