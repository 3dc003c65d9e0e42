// What WinINet reports at the end of a body, complete or cut: every read's result,
// InternetQueryDataAvailable and another read after the end, and the connection
// notifications. Run by cut_body_probe.py against the fault-injecting server.
//   cut_body_probe <url> sync|async
#include <windows.h>
#include <wininet.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

struct Seen {
  HANDLE completed = ::CreateEventW(nullptr, FALSE, FALSE, nullptr);
  DWORD_PTR result = 0;
  DWORD error = 0;
  DWORD received = 0;
  std::vector<DWORD> notes;  // connection notifications, in order
};

void CALLBACK OnStatus(HINTERNET, DWORD_PTR context, DWORD status, void* info, DWORD length) {
  auto* seen = reinterpret_cast<Seen*>(context);
  if (!seen) return;
  if (status == INTERNET_STATUS_RESPONSE_RECEIVED && info && length >= sizeof(DWORD))
    seen->received = *static_cast<DWORD*>(info);
  if (status == INTERNET_STATUS_CLOSING_CONNECTION || status == INTERNET_STATUS_CONNECTION_CLOSED)
    seen->notes.push_back(status);
  if (status == INTERNET_STATUS_REQUEST_COMPLETE) {
    auto* r = static_cast<INTERNET_ASYNC_RESULT*>(info);
    seen->result = r->dwResult;
    seen->error = r->dwError;
    ::SetEvent(seen->completed);
  }
}

// One read: "ok bytes error" with the completion's result when it went pending.
struct ReadOutcome {
  bool ok;
  DWORD bytes;
  DWORD error;
  bool pending;
};

ReadOutcome ReadOnce(HINTERNET request, Seen& seen, bool async, char* buffer, DWORD size) {
  DWORD got = 0;
  seen.received = 0;
  if (::InternetReadFile(request, buffer, size, &got)) return {true, got, 0, false};
  DWORD error = ::GetLastError();
  if (!async || error != ERROR_IO_PENDING) return {false, got, error, false};
  ::WaitForSingleObject(seen.completed, INFINITE);
  // Wine clears the count when the read goes pending; the notification carries it.
  if (got == 0) got = seen.received;
  return {seen.result != 0, got, seen.error, true};
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) return 2;
  const bool async = std::string(argv[2]) == "async";
  Seen seen;
  HINTERNET internet = ::InternetOpenA("probe", INTERNET_OPEN_TYPE_PRECONFIG_WITH_NO_AUTOPROXY, nullptr, nullptr,
                                       async ? INTERNET_FLAG_ASYNC : 0);
  ::InternetSetStatusCallbackA(internet, OnStatus);
  const DWORD flags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_PRAGMA_NOCACHE;
  HINTERNET request = ::InternetOpenUrlA(internet, argv[1], nullptr, 0, flags, reinterpret_cast<DWORD_PTR>(&seen));
  if (!request && async && ::GetLastError() == ERROR_IO_PENDING) {
    ::WaitForSingleObject(seen.completed, INFINITE);
    request = reinterpret_cast<HINTERNET>(seen.result);
  }
  if (!request) {
    std::printf("{\"open\":false,\"error\":%lu}\n", ::GetLastError());
    return 1;
  }
  DWORD status = 0, size = sizeof status;
  ::HttpQueryInfoA(request, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &size, nullptr);

  static char buffer[10240];
  DWORD total = 0, reads = 0;
  ReadOutcome last{};
  for (;;) {
    last = ReadOnce(request, seen, async, buffer, sizeof buffer);
    ++reads;
    if (!last.ok || last.bytes == 0) break;
    total += last.bytes;
  }
  const size_t notesAtEnd = seen.notes.size();
  DWORD available = 0;
  BOOL queried = ::InternetQueryDataAvailable(request, &available, 0, 0);
  DWORD queryError = queried ? 0 : ::GetLastError();
  if (!queried && async && queryError == ERROR_IO_PENDING) {
    ::WaitForSingleObject(seen.completed, INFINITE);
    queried = seen.result != 0;
    queryError = seen.error;
  }
  ReadOutcome after = ReadOnce(request, seen, async, buffer, sizeof buffer);

  std::printf("{\"status\":%lu,\"bytes\":%lu,\"reads\":%lu,\"end\":{\"ok\":%d,\"bytes\":%lu,\"error\":%lu,"
              "\"pending\":%d},\"query\":{\"ok\":%d,\"available\":%lu,\"error\":%lu},"
              "\"read_after\":{\"ok\":%d,\"bytes\":%lu,\"error\":%lu},\"closed_at_end\":%d}\n",
              status, total, reads, last.ok, last.bytes, last.error, last.pending, queried, available, queryError,
              after.ok, after.bytes, after.error, notesAtEnd > 0 ? 1 : 0);
  ::InternetCloseHandle(request);
  ::InternetCloseHandle(internet);
  return 0;
}
