#include "net/internet_connection.h"

#include <algorithm>
#include <cstring>
#include <mutex>
#include <string>
#include <vector>

#include "net/fetch_sockets.h"
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
  if (status == INTERNET_STATUS_CONNECTED_TO_SERVER && RunningUnderWine()) {
    // Wine passes the address as text (Windows passes a SOCKADDR; it is used under Wine only).
    std::lock_guard<std::mutex> lock(pending->peerMutex);
    pending->peer.assign(static_cast<const char*>(info), strnlen(static_cast<const char*>(info), length));
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
  // server sends or hangs up, which a stalled server never does. Shutting the socket
  // down ends that receive at once; WinINet then closes it and releases the request.
  request_.reset();
  internet_.reset();
  if (RunningUnderWine() && port_ != 0) {
    std::string peer;
    {
      std::lock_guard<std::mutex> lock(pending_->peerMutex);
      peer = pending_->peer;
    }
    // No address when WinINet reused a kept-alive connection without connecting anew:
    // then every connection to the port goes, a kept one included (WinINet checks a
    // kept connection before it uses it again).
    ShutDownSocketsTo(peer, port_);
  }
}

bool InternetConnection::Open(const Text& agent, DWORD accessType) {
  internet_.reset(::InternetOpenA(agent.c_str(), accessType, nullptr, nullptr, INTERNET_FLAG_ASYNC));
  if (!internet_) return false;
  ::InternetSetStatusCallbackA(internet_.get(), OnInternetStatus);
  return true;
}

InternetConnection::Outcome InternetConnection::Wait() {
  HANDLE handles[2] = {pending_->completed.get(), stopEvent_};
  DWORD which = ::WaitForMultipleObjects(2, handles, FALSE, INFINITE);
  if (which == WAIT_OBJECT_0) return Outcome::Done;
  // The operation is still running inside WinINet and will write into its block later.
  inFlight_ = true;
  // Only the stop event means Stop; a wait that failed ends the transfer as a failure
  // (the user is told), never as a silent stop that would keep the window locked.
  return which == WAIT_OBJECT_0 + 1 ? Outcome::Stopped : Outcome::Failed;
}

InternetConnection::Outcome InternetConnection::OpenUrl(const Text& address, const Text& headers, DWORD flags) {
  Text current = WithoutFragment(address);
  for (int redirects = 0;; ++redirects) {
    if (Outcome o = OpenOne(current, headers, flags | INTERNET_FLAG_NO_AUTO_REDIRECT); o != Outcome::Done) return o;
    if (!IsRedirectStatus(StatusCode())) return Outcome::Done;
    std::optional<Text> location = HeaderValue(HTTP_QUERY_LOCATION);
    if (!location || location->empty()) return Outcome::Done;  // nowhere to go: the 3xx answer stands
    CloseRequest();  // the redirect's own body is never read
    if (redirects == kMaxRedirects) return Outcome::Failed;
    std::optional<Text> next = CombineUrl(current, *location);
    if (!next || !IsHttpAddress(*next)) return Outcome::Failed;
    current = WithoutFragment(*next);
  }
}

InternetConnection::Outcome InternetConnection::OpenOne(const Text& address, const Text& headers, DWORD flags) {
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
  if (RunningUnderWine() && port_ != 0) {
    std::string peer;
    {
      std::lock_guard<std::mutex> lock(pending_->peerMutex);
      peer.swap(pending_->peer);
    }
    ShutDownSocketsTo(peer, port_);
  }
}

int InternetConnection::StatusCode() const {
  DWORD status = 0, size = sizeof status;
  if (!::HttpQueryInfoA(request_.get(), HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &size, nullptr))
    return 0;
  return static_cast<int>(status);
}

std::optional<Text> InternetConnection::HeaderValue(DWORD query, DWORD index) const {
  Text value(256, '\0');
  for (;;) {
    DWORD size = static_cast<DWORD>(value.size());
    DWORD at = index;
    if (::HttpQueryInfoA(request_.get(), query, value.data(), &size, &at)) {
      value.resize(size);
      return value;
    }
    // A long value (a Location, say): the size needed came back in `size`.
    if (::GetLastError() != ERROR_INSUFFICIENT_BUFFER || size <= value.size()) return std::nullopt;
    value.assign(size + 1, '\0');
  }
}

std::vector<Text> InternetConnection::HeaderValues(DWORD query) const {
  std::vector<Text> values;
  // Bounded: a hostile answer may repeat a header without end.
  for (DWORD index = 0; index < 64; ++index) {
    std::optional<Text> value = HeaderValue(query, index);
    if (!value) break;
    values.push_back(std::move(*value));
  }
  return values;
}

InternetConnection::Outcome InternetConnection::Read(DWORD& got) {
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
