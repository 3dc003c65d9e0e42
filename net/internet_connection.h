// WinINet used in its asynchronous mode, so that a transfer waiting on a silent
// server can be ended by Stop: every wait is on the operation and on the session's
// stop event together. A blocked synchronous read cannot be ended from outside
// (closing its handle from another thread does not wake it under Wine), and neither
// can an asynchronous one there: an operation Stop abandoned is ended by shutting its
// socket down (see the destructor).
#pragma once

#include <windows.h>
#include <wininet.h>

#include <atomic>
#include <memory>
#include <optional>
#include <vector>

#include "base/text.h"
#include "base/unique_handle.h"
#include "net/http_headers.h"
#include "net/outcome.h"

// The most one read takes: a fast server is read in pieces this large, a slow one in
// whatever has arrived. Under Wine each read and its write cost about 90 us whatever
// their size, so a fast download spends a third less CPU in 1 MiB pieces than in
// 256 KiB ones (bench/README.md); the buffer is one per transfer.
constexpr DWORD kReadBufferSize = 1024 * 1024;
// The download follows more redirects than the version fetch: download sites chain
// mirrors and counters.
constexpr int kMaxDownloadRedirects = 10;

class InternetConnection {
 public:
  struct Pending;  // what WinINet writes to when an operation completes

  // stopEvent is signalled, and stopped set, when the user stops the download.
  InternetConnection(HANDLE stopEvent, const std::atomic<bool>& stopped);
  ~InternetConnection();
  InternetConnection(const InternetConnection&) = delete;
  InternetConnection& operator=(const InternetConnection&) = delete;

  // InternetOpenA with the agent and access type; false when no handle came back.
  bool Open(const Text& agent, DWORD accessType);
  // InternetOpenUrlA with the header block and flags; any previous request is closed
  // first. Redirects are followed by hand (net/redirects.h), each with the same header
  // block, at most kMaxDownloadRedirects of them.
  Outcome OpenUrl(const Text& address, const Text& headers, DWORD flags);
  void CloseRequest();

  // The open answer, read with net/http_headers.h.
  int StatusCode() const { return ::StatusCode(request_.get()); }
  std::optional<Text> HeaderValue(DWORD query, DWORD index = 0) const {
    return ::HeaderValue(request_.get(), query, index);
  }
  std::vector<Text> HeaderValues(DWORD query) const { return ::HeaderValues(request_.get(), query); }

  // Reads what has arrived, at most kReadBufferSize bytes, into block(); waits only
  // when nothing has. got = 0 at the end of the body.
  Outcome Read(DWORD& got);
  const unsigned char* block() const;

 private:
  Outcome Wait();
  Outcome OpenOne(const Text& address, const Text& headers, DWORD flags);

  HANDLE stopEvent_;
  const std::atomic<bool>& stopped_;
  std::shared_ptr<Pending> pending_;
  UniqueInternet internet_;
  UniqueInternet request_;
  bool inFlight_ = false;  // an operation was stopped before it completed
  unsigned short port_ = 0;  // the port of the address last opened
};
