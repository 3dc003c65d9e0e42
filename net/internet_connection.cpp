#include "net/internet_connection.h"

#include <algorithm>
#include <cstring>
#include <mutex>
#include <string>
#include <vector>

#include "net/fetch_sockets.h"
#include "net/http_headers.h"
#include "net/redirects.h"
#include "net/url.h"

struct InternetConnection::Pending {
  UniqueKernelHandle completed{::CreateEventW(nullptr, FALSE, FALSE, nullptr)};
  DWORD_PTR result = 0;
  DWORD error = 0;
  INTERNET_BUFFERSA read = {};  // WinINet may write to it after the read was abandoned
  unsigned char block[kReadBufferSize];

  // The server's address as Wine names it when it connects (numeric text).
  std::mutex peerMutex;
  std::string peer;
};

namespace {

// An operation that Stop abandoned still completes inside WinINet later and writes
// into its Pending block. Such a block is kept until WinINet says the request is gone
// (HANDLE_CLOSING, its last notification); the list outlives the static destructors
// (WinINet's threads may still complete an operation during exit).
std::mutex g_abandonedMutex;
auto* const g_abandoned = new std::vector<std::shared_ptr<void>>();

void ForgetAbandoned(void* pending) {
  std::lock_guard<std::mutex> lock(g_abandonedMutex);
  auto it = std::find_if(g_abandoned->begin(), g_abandoned->end(),
                         [pending](const std::shared_ptr<void>& p) { return p.get() == pending; });
  if (it != g_abandoned->end()) g_abandoned->erase(it);
}

void CALLBACK OnInternetStatus(HINTERNET, DWORD_PTR context, DWORD status, void* info, DWORD length) {
  if (context == 0 || !info) return;
  auto* pending = reinterpret_cast<InternetConnection::Pending*>(context);
  if (status == INTERNET_STATUS_CONNECTED_TO_SERVER) {
    std::string peer = PeerOfConnectedNotice(info, length);
    std::lock_guard<std::mutex> lock(pending->peerMutex);
    pending->peer = std::move(peer);
  } else if (status == INTERNET_STATUS_HANDLE_CLOSING) {
    ForgetAbandoned(pending);
  } else if (status == INTERNET_STATUS_REQUEST_COMPLETE) {
    auto* result = static_cast<INTERNET_ASYNC_RESULT*>(info);
    pending->result = result->dwResult;
    pending->error = result->dwError;
    ::SetEvent(pending->completed.get());
  }
}

}  // namespace

InternetConnection::InternetConnection(HANDLE stopEvent, const std::atomic<bool>& stopped)
    : stopEvent_(stopEvent), stopped_(stopped), pending_(std::make_shared<Pending>()) {}

InternetConnection::~InternetConnection() {
  if (!inFlight_) {
    // Nothing is in flight: no callback can come after the handles are closed.
    CloseRequest();
    if (internet_) ::InternetSetStatusCallbackA(internet_.get(), nullptr);
    internet_.reset();
    return;
  }
  {
    std::lock_guard<std::mutex> lock(g_abandonedMutex);
    g_abandoned->push_back(pending_);
  }
  // Windows ends the abandoned operation when its handles close. Wine does not: a
  // receive already waiting keeps WinINet's worker thread and the socket until the
  // server sends or hangs up, which a stalled server never does.
  request_.reset();
  internet_.reset();
  ConnectionSockets sockets;
  sockets.port = port_;
  {
    std::lock_guard<std::mutex> lock(pending_->peerMutex);
    sockets.peer = pending_->peer;
  }
  // No address when WinINet reused a kept-alive connection without connecting anew:
  // then every connection to the port goes, a kept one included (WinINet checks a
  // kept connection before it uses it again).
  EndConnection(sockets);
}

bool InternetConnection::Open(const Text& agent, DWORD accessType) {
  internet_.reset(::InternetOpenA(agent.c_str(), accessType, nullptr, nullptr, INTERNET_FLAG_ASYNC));
  if (!internet_) return false;
  ::InternetSetStatusCallbackA(internet_.get(), OnInternetStatus);
  return true;
}

Outcome InternetConnection::Wait() {
  HANDLE handles[2] = {pending_->completed.get(), stopEvent_};
  DWORD which = ::WaitForMultipleObjects(2, handles, FALSE, INFINITE);
  if (which == WAIT_OBJECT_0) return Outcome::Done;
  // The operation is still running inside WinINet and will write into its block later.
  inFlight_ = true;
  // Only the stop event means Stop; a wait that failed ends the transfer as a failure
  // (the user is told), never as a silent stop that would keep the window locked.
  return which == WAIT_OBJECT_0 + 1 ? Outcome::Stopped : Outcome::Failed;
}

Outcome InternetConnection::OpenUrl(const Text& address, const Text& headers, DWORD flags) {
  const Outcome outcome = FollowRedirects(address, kMaxDownloadRedirects, [&](const Text& current) {
    Hop hop;
    hop.outcome = OpenOne(current, headers, flags | INTERNET_FLAG_NO_AUTO_REDIRECT);
    if (hop.outcome != Outcome::Done) return hop;
    hop.status = StatusCode();
    if (IsRedirectStatus(hop.status)) hop.location = HeaderValue(HTTP_QUERY_LOCATION);
    return hop;
  });
  // A redirect not followed: its own body is never read.
  if (outcome == Outcome::Failed) CloseRequest();
  return outcome;
}

Outcome InternetConnection::OpenOne(const Text& address, const Text& headers, DWORD flags) {
  CloseRequest();
  std::optional<UrlParts> parts = SplitUrl(address);
  port_ = parts ? parts->port : 0;
  if (stopped_) return Outcome::Stopped;
  HINTERNET request = ::InternetOpenUrlA(internet_.get(), address.c_str(), headers.c_str(),
                                         static_cast<DWORD>(headers.size()), flags,
                                         reinterpret_cast<DWORD_PTR>(pending_.get()));
  if (!request) {
    if (::GetLastError() != ERROR_IO_PENDING) return Outcome::Failed;
    if (Outcome o = Wait(); o != Outcome::Done) return o;
    request = reinterpret_cast<HINTERNET>(pending_->result);
    if (!request) return Outcome::Failed;
  }
  request_.reset(request);
  return Outcome::Done;
}

void InternetConnection::CloseRequest() {
  if (!request_) return;
  ::InternetSetStatusCallbackA(request_.get(), nullptr);
  request_.reset();
  // No answer may leave anything for the next request on a kept connection: what an
  // answer sent past its own end (a 304 or 204 with a body, bytes after a
  // Content-Length) would be read as the next answer. The request says
  // "Connection: close", which ends it at an honest server; Wine's WinINet still keeps
  // the connection when the answer does not say "close" itself (it decides by the
  // answer alone), so under Wine it is shut down here. It is never reused then:
  // WinINet checks a kept connection before it uses it again.
  ConnectionSockets sockets;
  sockets.port = port_;
  {
    std::lock_guard<std::mutex> lock(pending_->peerMutex);
    sockets.peer.swap(pending_->peer);
  }
  EndConnection(sockets);
}

Outcome InternetConnection::Read(DWORD& got) {
  got = 0;
  for (;;) {
    // The flag rather than the event: a read that completes at once costs no wait.
    if (stopped_) return Outcome::Stopped;
    // Without waiting: what has arrived, up to the whole buffer. A plain read waits
    // until its buffer is full under Wine, which would freeze the progress of a slow
    // server for as long as a large buffer takes to fill.
    INTERNET_BUFFERSA& read = pending_->read;
    read = INTERNET_BUFFERSA{};
    read.dwStructSize = sizeof read;
    read.lpvBuffer = pending_->block;
    read.dwBufferLength = kReadBufferSize;
    if (::InternetReadFileExA(request_.get(), &read, IRF_NO_WAIT, reinterpret_cast<DWORD_PTR>(pending_.get()))) {
      got = read.dwBufferLength;
      return Outcome::Done;
    }
    if (::GetLastError() != ERROR_IO_PENDING) return Outcome::Failed;
    // Nothing had arrived: this waits until something does (or the body ends).
    if (Outcome o = Wait(); o != Outcome::Done) return o;
    if (!pending_->result) return Outcome::Failed;
    // A read that went pending without waiting delivers nothing itself: WinINet keeps
    // what arrived for the next read.
  }
}

const unsigned char* InternetConnection::block() const { return pending_->block; }
