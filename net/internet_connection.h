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

// The most one read takes: a fast server is read in pieces this large, a slow one in
// whatever has arrived.
constexpr DWORD kReadBufferSize = 256 * 1024;
constexpr int kMaxRedirects = 10;

class InternetConnection {
 public:
  enum class Outcome { Done, Failed, Stopped };
  struct Pending;  // what WinINet writes to when an operation completes

  // stopEvent is signalled, and stopped set, when the user stops the download.
  InternetConnection(HANDLE stopEvent, const std::atomic<bool>& stopped);
  ~InternetConnection();
  InternetConnection(const InternetConnection&) = delete;
  InternetConnection& operator=(const InternetConnection&) = delete;

  // InternetOpenA with the agent and access type; false when no handle came back.
  bool Open(const Text& agent, DWORD accessType);
  // InternetOpenUrlA with the header block and flags; any previous request is closed
  // first. Redirects are followed here, each with the same header block, at most
  // kMaxRedirects of them: WinINet's own following has no bound and cannot be stopped.
  // A longer chain, a loop or a redirect to an address that is not http(s) fails.
  Outcome OpenUrl(const Text& address, const Text& headers, DWORD flags);
  void CloseRequest();

  // The answer's status code, 0 when unknown.
  int StatusCode() const;
  // A header of the answer as text; nothing when absent. `index` picks among
  // repeated headers of the same name.
  std::optional<Text> HeaderValue(DWORD query, DWORD index = 0) const;
  // Every value of a header that may come more than once.
  std::vector<Text> HeaderValues(DWORD query) const;

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
  INTERNET_PORT port_ = 0;  // the port of the address last opened
};
