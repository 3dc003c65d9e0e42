#include "net/http_get.h"

#include <wininet.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <mutex>
#include <vector>

#include "base/unique_handle.h"
#include "net/fetch_sockets.h"
#include "net/http_headers.h"
#include "net/redirects.h"
#include "net/url.h"

namespace {

constexpr char kAgent[] = "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.0)";
constexpr size_t kMaxReadPiece = 102400;
constexpr size_t kDefaultReadPiece = 10240;
// Kept back from the deadline: the fetch works until the deadline less this, and an
// abandoned call then has this long to notice and return.
constexpr DWORD kWindUpMs = 3000;

// Opened on first use and kept for the whole run.
HINTERNET InternetSession() {
  static UniqueInternet session(::InternetOpenA(kAgent, INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0));
  return session.get();
}

std::optional<long long> ContentLength(HINTERNET request) {
  char buffer[64] = {};
  DWORD size = sizeof(buffer) - 1;
  if (!::HttpQueryInfoA(request, HTTP_QUERY_CONTENT_LENGTH, buffer, &size, nullptr)) return std::nullopt;
  char* end = nullptr;
  long long value = std::strtoll(buffer, &end, 10);
  if (end == buffer) return std::nullopt;
  return value;
}

// Size in bytes of the answer's status line and headers.
size_t HeaderBytes(HINTERNET request) {
  DWORD size = 0;
  if (::HttpQueryInfoA(request, HTTP_QUERY_RAW_HEADERS_CRLF, nullptr, &size, nullptr)) return 0;
  return ::GetLastError() == ERROR_INSUFFICIENT_BUFFER ? size : 0;
}

// Time left until a moment some milliseconds after a start (GetTickCount values).
class Deadline {
 public:
  Deadline(DWORD start, DWORD afterMs) : start_(start), afterMs_(afterMs) {}
  DWORD Left() const {
    const DWORD spent = ::GetTickCount() - start_;
    return spent >= afterMs_ ? 0 : afterMs_ - spent;
  }

 private:
  DWORD start_;
  DWORD afterMs_;
};

void SetTimeouts(HINTERNET handle, const HttpLimits& limits, DWORD left) {
  // A time-out of 0 is none at all to WinINet: with no time left, the next call
  // would wait as long as the server liked.
  left = std::max<DWORD>(left, 1);
  DWORD connect = std::min(limits.connectTimeoutMs, left);
  DWORD receive = std::min(limits.receiveTimeoutMs, left);
  ::InternetSetOptionA(handle, INTERNET_OPTION_CONNECT_TIMEOUT, &connect, sizeof(connect));
  ::InternetSetOptionA(handle, INTERNET_OPTION_SEND_TIMEOUT, &receive, sizeof(receive));
  ::InternetSetOptionA(handle, INTERNET_OPTION_RECEIVE_TIMEOUT, &receive, sizeof(receive));
  ::InternetSetOptionA(handle, INTERNET_OPTION_DATA_SEND_TIMEOUT, &receive, sizeof(receive));
  ::InternetSetOptionA(handle, INTERNET_OPTION_DATA_RECEIVE_TIMEOUT, &receive, sizeof(receive));
}

// One fetch, shared by the worker thread that runs it and the thread that waits for
// it. The connection and request handles are closed by whichever of the two gets to
// them first: the worker as it goes, the waiting thread when the time is up (closing
// a handle is WinINet's way of ending a call blocked on it).
struct Fetch {
  Fetch(std::string_view a, const HttpLimits& l, Deadline d) : address(a), limits(l), ownTime(d) {}
  const Text address;
  const HttpLimits limits;
  const Deadline ownTime;  // the deadline less the wind-up
  std::vector<SOCKET> spare;  // the sockets open before the fetch: never ours to end

  std::mutex lock;
  bool abandoned = false;
  bool finished = false;
  UniqueInternet connection;
  UniqueInternet request;
  INTERNET_PORT port = 0;  // of the server being talked to
  HttpAnswer answer;

  // Takes ownership of a new handle, unless the fetch was abandoned meanwhile: then
  // the handle is closed at once and null returned.
  HINTERNET Keep(UniqueInternet& slot, HINTERNET handle) {
    UniqueInternet owned(handle);
    std::lock_guard<std::mutex> guard(lock);
    if (abandoned || !owned) return nullptr;
    slot = std::move(owned);
    return slot.get();
  }

  // Takes both handles out to be closed by the caller, outside the lock.
  void TakeHandles(UniqueInternet& takenRequest, UniqueInternet& takenConnection) {
    std::lock_guard<std::mutex> guard(lock);
    takenRequest = std::move(request);
    takenConnection = std::move(connection);
  }

  // Closes both handles; false when the fetch was abandoned.
  bool CloseHandles() {
    UniqueInternet oldRequest, oldConnection;
    TakeHandles(oldRequest, oldConnection);
    oldRequest.reset();
    std::lock_guard<std::mutex> guard(lock);
    return !abandoned;
  }

  bool Going() {
    std::lock_guard<std::mutex> guard(lock);
    return !abandoned && ownTime.Left() > 0;
  }
};

// Reads the body into `body`; false when the time ran out first (a body cut short
// by the deadline is no answer). A failed read keeps the bytes read before it.
// `capped` tells that the body reached the size limit, with more perhaps to come.
bool ReadBody(Fetch& fetch, HINTERNET request, ByteBuffer& body, bool& capped) {
  capped = false;
  const size_t piece = ReadPieceSize(ContentLength(request));
  const size_t maxBytes = fetch.limits.maxBytes;
  ByteBuffer buffer(piece);
  while (body.size() < maxBytes) {
    if (!fetch.Going()) return false;
    // Wait (at most the receive time-out) for some bytes, then take only those, so
    // no read waits for more than one time-out however slowly the bytes come.
    DWORD available = 0;
    if (!::InternetQueryDataAvailable(request, &available, 0, 0) || available == 0) break;
    // Never read past the limit: a hostile server cannot make us hold more.
    DWORD want = static_cast<DWORD>(std::min({piece, maxBytes - body.size(), size_t{available}}));
    DWORD got = 0;
    if (!::InternetReadFile(request, buffer.data(), want, &got) || got == 0) break;
    body.insert(body.end(), buffer.begin(), buffer.begin() + got);
  }
  capped = body.size() >= maxBytes;
  return true;
}

// Ends the connection of a body left unread at the size limit. Closing its request
// would make Wine's WinINet read out the rest first, however long it is (a 100 MB
// answer held the caller for the whole deadline); a connection shut down has nothing
// left to read.
void EndCappedConnection(Fetch& fetch) {
  ConnectionSockets sockets;
  sockets.spare = fetch.spare;
  {
    std::lock_guard<std::mutex> guard(fetch.lock);
    sockets.port = fetch.port;
  }
  EndConnection(sockets);
}

// Opens one address of the chain on the fetch's own handles and sends the request;
// `opened` is the request when that worked.
Hop OpenOne(Fetch& fetch, HINTERNET session, const Text& address, HINTERNET& opened) {
  opened = nullptr;
  const HttpLimits& limits = fetch.limits;
  std::optional<UrlParts> url = SplitHttpUrl(address);
  if (!url || !fetch.CloseHandles() || !fetch.Going()) return {};
  // A slow lookup cannot be cut short: past the deadline nothing is sent.
  if (!HostNameResolves(url->host.c_str()) || !fetch.Going()) return {};
  {
    std::lock_guard<std::mutex> guard(fetch.lock);
    fetch.port = url->port;
  }
  // The session is shared; the time-outs go on this fetch's own handles.
  HINTERNET connection = fetch.Keep(
      fetch.connection, ::InternetConnectA(session, url->host.c_str(), url->port,
                                           url->user.empty() ? nullptr : url->user.c_str(),
                                           url->password.empty() ? nullptr : url->password.c_str(),
                                           INTERNET_SERVICE_HTTP, 0, 0));
  if (!connection) return {};
  SetTimeouts(connection, limits, fetch.ownTime.Left());

  DWORD flags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_NO_AUTO_REDIRECT;
  if (url->scheme == INTERNET_SCHEME_HTTPS) flags |= INTERNET_FLAG_SECURE;
  HINTERNET request = fetch.Keep(
      fetch.request,
      ::HttpOpenRequestA(connection, "GET", url->object.c_str(), "HTTP/1.0", nullptr, nullptr, flags, 0));
  if (!request) return {};
  SetTimeouts(request, limits, fetch.ownTime.Left());

  static const char kHeaders[] = "Accept: */*\r\n\r\n";
  if (!::HttpSendRequestA(request, kHeaders, static_cast<DWORD>(std::strlen(kHeaders)), nullptr, 0)) return {};
  if (HeaderBytes(request) > limits.maxHeaderBytes || !fetch.Going()) return {};
  opened = request;
  Hop hop;
  hop.outcome = Outcome::Done;
  hop.status = StatusCode(request);
  if (IsRedirectStatus(hop.status)) hop.location = HeaderValue(request, HTTP_QUERY_LOCATION);
  return hop;
}

// The worker's part: requests, redirects followed by hand, the body.
void RunFetch(Fetch& fetch) {
  HINTERNET session = InternetSession();
  if (!session) return;
  int status = 0;
  HINTERNET request = nullptr;
  const Outcome outcome = FollowRedirects(fetch.address, fetch.limits.maxRedirects, [&](const Text& address) {
    Hop hop = OpenOne(fetch, session, address, request);
    status = hop.status;
    return hop;
  });
  // A redirect left over (past the limit, or to nowhere we go) stands as it is,
  // with nothing worth reading; anything else that did not open gives no answer.
  if (!request || (outcome != Outcome::Done && !IsRedirectStatus(status))) return;
  HttpAnswer answer;
  answer.status = status;
  if (!IsRedirectStatus(status)) {
    bool capped = false;
    const bool read = ReadBody(fetch, request, answer.body, capped);
    if (capped) EndCappedConnection(fetch);
    if (!read) return;
  }
  std::lock_guard<std::mutex> guard(fetch.lock);
  if (!fetch.abandoned) fetch.answer = std::move(answer);
}

DWORD WINAPI FetchThread(void* parameter) {
  std::unique_ptr<std::shared_ptr<Fetch>> share(static_cast<std::shared_ptr<Fetch>*>(parameter));
  Fetch& fetch = **share;
  RunFetch(fetch);
  fetch.CloseHandles();
  std::lock_guard<std::mutex> guard(fetch.lock);
  fetch.finished = true;
  return 0;
}

}  // namespace

size_t ReadPieceSize(std::optional<long long> contentLength) {
  if (!contentLength || *contentLength <= 0) return kDefaultReadPiece;
  if (*contentLength >= static_cast<long long>(kMaxReadPiece)) return kMaxReadPiece;
  return static_cast<size_t>(*contentLength + 1);
}

HttpAnswer HttpGetWhole(std::string_view address, const HttpLimits& limits) {
  const DWORD start = ::GetTickCount();
  const Deadline whole(start, limits.deadlineMs);
  const Deadline own(start, limits.deadlineMs > 2 * kWindUpMs ? limits.deadlineMs - kWindUpMs : limits.deadlineMs / 2);
  if (!SplitHttpUrl(address)) return {};

  // The sockets already open, so that only the fetch's own are ever shut down.
  ConnectionSockets ownSockets;
  ownSockets.spare = SocketsToSpare();
  auto fetch = std::make_shared<Fetch>(address, limits, own);
  fetch->spare = ownSockets.spare;
  auto* share = new std::shared_ptr<Fetch>(fetch);
  UniqueKernelHandle worker(::CreateThread(nullptr, 0, FetchThread, share, 0, nullptr));
  if (!worker) {
    delete share;
    return {};
  }
  if (::WaitForSingleObject(worker.get(), own.Left()) != WAIT_OBJECT_0) {
    {
      std::lock_guard<std::mutex> guard(fetch->lock);
      fetch->abandoned = true;
      ownSockets.port = fetch->port;
    }
    UniqueInternet request, connection;
    fetch->TakeHandles(request, connection);
    request.reset();
    connection.reset();
    EndConnection(ownSockets);
    ::WaitForSingleObject(worker.get(), whole.Left());
  }
  std::lock_guard<std::mutex> guard(fetch->lock);
  // A worker still running (a name lookup cannot be ended) finishes on its own
  // with its share of the fetch; its result is no longer wanted.
  if (!fetch->finished || fetch->abandoned) return {};
  return std::move(fetch->answer);
}
