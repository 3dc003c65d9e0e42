// The transfer's WinINet layer against a small HTTP server inside the test, on 127.0.0.1.
#include <gtest/gtest.h>

#include <winsock2.h>
#include <ws2tcpip.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "net/internet_connection.h"

namespace {

const Text kHeaders = "Accept: */*";

unsigned char PatternByte(size_t i) { return static_cast<unsigned char>((i * 131 + i / 4099) & 0xFF); }

// Answers `requests` requests one after the other: headers announcing `size` bytes,
// then the body in pieces of `piece` bytes, yielding between pieces so that many of the
// client's reads have to wait for the network; `pauseAfter` bytes in, it waits until
// `resume` is set.
class PieceServer {
 public:
  PieceServer(size_t size, size_t piece, size_t pauseAfter = SIZE_MAX, int requests = 1)
      : size_(size), piece_(piece), pauseAfter_(pauseAfter), requests_(requests) {
    WSADATA wsa;
    ::WSAStartup(MAKEWORD(2, 2), &wsa);
    listener_ = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in addr = {};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(listener_, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
    ::listen(listener_, 1);
    int length = sizeof addr;
    ::getsockname(listener_, reinterpret_cast<sockaddr*>(&addr), &length);
    port_ = ntohs(addr.sin_port);
    thread_ = std::thread([this] {
      for (int i = 0; i < requests_; ++i) Serve();
    });
  }
  ~PieceServer() {
    resume = true;
    thread_.join();
    ::closesocket(listener_);
    ::WSACleanup();
  }
  std::string Url() const { return "http://127.0.0.1:" + std::to_string(port_) + "/file.bin"; }

  std::atomic<bool> resume{false};

 private:
  void Serve() {
    SOCKET client = ::accept(listener_, nullptr, nullptr);
    std::string request;
    char buffer[4096];
    while (request.find("\r\n\r\n") == std::string::npos) {
      int got = ::recv(client, buffer, sizeof buffer, 0);
      if (got <= 0) break;
      request.append(buffer, got);
    }
    std::string head = "HTTP/1.1 200 OK\r\nContent-Length: " + std::to_string(size_) + "\r\nConnection: close\r\n\r\n";
    ::send(client, head.data(), static_cast<int>(head.size()), 0);
    std::vector<char> piece(piece_);
    for (size_t sent = 0; sent < size_;) {
      if (sent >= pauseAfter_)
        while (!resume) ::Sleep(10);
      size_t n = std::min(piece_, size_ - sent);
      for (size_t i = 0; i < n; ++i) piece[i] = static_cast<char>(PatternByte(sent + i));
      if (::send(client, piece.data(), static_cast<int>(n), 0) <= 0) break;
      sent += n;
      ::SwitchToThread();
    }
    ::shutdown(client, SD_SEND);
    ::closesocket(client);
  }

  size_t size_, piece_, pauseAfter_;
  int requests_;
  SOCKET listener_;
  int port_ = 0;
  std::thread thread_;
};

struct Stopper {
  UniqueKernelHandle event{::CreateEventW(nullptr, TRUE, FALSE, nullptr)};
  std::atomic<bool> flag{false};
  void Stop() {
    flag = true;
    ::SetEvent(event.get());
  }
};

constexpr DWORD kFlags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_PRAGMA_NOCACHE;

}  // namespace

TEST(InternetConnection, CountsEveryByteOfABodyArrivingInSmallPieces) {
  // 16 MB in 3000-byte pieces, eight times: thousands of reads wait for the network and
  // complete out of line; not one byte may be lost, nor a wait taken for the end.
  constexpr size_t kSize = 16'000'000;
  constexpr int kBodies = 8;
  PieceServer server(kSize, 3000, SIZE_MAX, kBodies);
  for (int body = 0; body < kBodies; ++body) {
    Stopper stop;
    InternetConnection connection(stop.event.get(), stop.flag);
    ASSERT_TRUE(connection.Open("Agent", INTERNET_OPEN_TYPE_PRECONFIG_WITH_NO_AUTOPROXY));
    ASSERT_EQ(connection.OpenUrl(server.Url(), kHeaders, kFlags),
              Outcome::Done);
    EXPECT_EQ(connection.StatusCode(), 200);
    EXPECT_EQ(connection.HeaderValue(HTTP_QUERY_CONTENT_LENGTH), std::to_string(kSize));

    size_t total = 0;
    size_t firstWrongByte = SIZE_MAX;
    for (;;) {
      DWORD got = 0;
      ASSERT_EQ(connection.Read(got), Outcome::Done) << "after " << total << " bytes";
      if (got == 0) break;
      for (DWORD i = 0; i < got && firstWrongByte == SIZE_MAX; ++i)
        if (connection.block()[i] != PatternByte(total + i)) firstWrongByte = total + i;
      total += got;
    }
    ASSERT_EQ(total, kSize) << "body " << body;
    ASSERT_EQ(firstWrongByte, SIZE_MAX) << "body " << body;
  }
}

TEST(InternetConnection, StopEndsAReadWaitingOnASilentServer) {
  PieceServer server(1'000'000, 10000, 50'000);  // 50,000 bytes, then silence until resumed
  Stopper stop;
  InternetConnection connection(stop.event.get(), stop.flag);
  ASSERT_TRUE(connection.Open("Agent", INTERNET_OPEN_TYPE_PRECONFIG_WITH_NO_AUTOPROXY));
  ASSERT_EQ(connection.OpenUrl(server.Url(), kHeaders, kFlags), Outcome::Done);

  std::thread stopper([&] {
    ::Sleep(500);
    stop.Stop();
  });
  size_t total = 0;
  Outcome outcome;
  for (;;) {
    DWORD got = 0;
    outcome = connection.Read(got);
    if (outcome != Outcome::Done || got == 0) break;
    total += got;
  }
  stopper.join();
  EXPECT_EQ(outcome, Outcome::Stopped);
  EXPECT_LE(total, 50'000u);
  // The server goes on once the test ends; the abandoned read may complete after the
  // connection is gone without harm.
}

TEST(InternetConnection, AWaitThatFailsIsAFailureNeverAStop) {
  // A stop "event" that is no handle at all: every wait fails. The transfer must end
  // as a failure (shown to the user, window given back), not as a silent stop.
  PieceServer server(100'000, 10000, 0);  // headers, then silence until the test ends
  std::atomic<bool> stopped{false};
  InternetConnection connection(reinterpret_cast<HANDLE>(static_cast<uintptr_t>(0x4320)), stopped);
  ASSERT_TRUE(connection.Open("Agent", INTERNET_OPEN_TYPE_PRECONFIG_WITH_NO_AUTOPROXY));
  Outcome outcome = connection.OpenUrl(server.Url(), kHeaders, kFlags);
  for (DWORD got = 1; outcome == Outcome::Done && got != 0;) outcome = connection.Read(got);
  EXPECT_EQ(outcome, Outcome::Failed);
}

namespace {

// One connection that the server holds without ever finishing its answer: silent
// after the request, stopped in the middle of a header, or stopped in the middle of
// the body. It notes when the client hangs up.
class HoldingServer {
 public:
  enum class Stall { AfterRequest, MidHeader, MidBody };

  // A deaf server holds its end open whatever the client does, as a stuck server does.
  explicit HoldingServer(Stall stall, bool deaf = false) : stall_(stall), deaf_(deaf) {
    WSADATA wsa;
    ::WSAStartup(MAKEWORD(2, 2), &wsa);
    listener_ = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in addr = {};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(listener_, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
    ::listen(listener_, 1);
    int length = sizeof addr;
    ::getsockname(listener_, reinterpret_cast<sockaddr*>(&addr), &length);
    port_ = ntohs(addr.sin_port);
    thread_ = std::thread([this] { Serve(); });
  }
  ~HoldingServer() {
    ending_ = true;
    thread_.join();
    ::closesocket(listener_);
    ::WSACleanup();
  }
  std::string Url() const { return "http://127.0.0.1:" + std::to_string(port_) + "/file.bin"; }
  int port() const { return port_; }
  bool stalled() const { return stalled_; }
  // The tick count when the client hung up; 0 while it has not.
  DWORD hungUpAt() const { return hungUpAt_; }

 private:
  void Serve() {
    SOCKET client = ::accept(listener_, nullptr, nullptr);
    std::string request;
    char buffer[4096];
    while (request.find("\r\n\r\n") == std::string::npos) {
      int got = ::recv(client, buffer, sizeof buffer, 0);
      if (got <= 0) break;
      request.append(buffer, got);
    }
    std::string part;
    if (stall_ == Stall::MidHeader) part = "HTTP/1.1 200 OK\r\nContent-Type: application/octet-stream\r\nContent-Le";
    if (stall_ == Stall::MidBody) part = "HTTP/1.1 200 OK\r\nContent-Length: 100000\r\n\r\n" + std::string(30000, 'x');
    if (!part.empty()) ::send(client, part.data(), static_cast<int>(part.size()), 0);
    stalled_ = true;
    while (deaf_ && !ending_) ::Sleep(20);
    while (!ending_) {
      fd_set readable;
      FD_ZERO(&readable);
      FD_SET(client, &readable);
      timeval tick = {0, 20000};
      if (::select(0, &readable, nullptr, nullptr, &tick) == 1) {
        if (::recv(client, buffer, sizeof buffer, 0) <= 0) {
          hungUpAt_ = ::GetTickCount();
          break;
        }
      }
    }
    ::closesocket(client);
  }

  Stall stall_;
  bool deaf_;
  SOCKET listener_;
  int port_ = 0;
  std::thread thread_;
  std::atomic<bool> stalled_{false};
  std::atomic<bool> ending_{false};
  std::atomic<DWORD> hungUpAt_{0};
};

// This process's sockets connected to `port` (the client's side of a connection),
// looked for among the first handle values, where WinINet's few sockets are.
int SocketsConnectedTo(int port) {
  int count = 0;
  for (UINT_PTR value = 4; value <= 0x10000; value += 4) {
    sockaddr_in peer = {};
    int size = sizeof peer;
    if (::getpeername(static_cast<SOCKET>(value), reinterpret_cast<sockaddr*>(&peer), &size) == 0 &&
        ntohs(peer.sin_port) == port)
      ++count;
  }
  return count;
}

}  // namespace

// Under Wine, closing the handles of a request leaves a receive that is already
// waiting in place, with its socket: the connection must still end soon after Stop.
TEST(InternetConnection, StopEndsTheConnectionWhereverTheServerStalls) {
  for (auto stall : {HoldingServer::Stall::AfterRequest, HoldingServer::Stall::MidHeader,
                     HoldingServer::Stall::MidBody}) {
    SCOPED_TRACE(static_cast<int>(stall));
    HoldingServer server(stall);
    Stopper stop;
    DWORD stoppedAt = 0;
    std::thread stopper([&] {
      while (!server.stalled()) ::Sleep(10);
      ::Sleep(300);  // the client is waiting for the rest by now
      stoppedAt = ::GetTickCount();
      stop.Stop();
    });
    {
      InternetConnection connection(stop.event.get(), stop.flag);
      ASSERT_TRUE(connection.Open("Agent", INTERNET_OPEN_TYPE_PRECONFIG_WITH_NO_AUTOPROXY));
      Outcome outcome = connection.OpenUrl(server.Url(), kHeaders, kFlags);
      while (outcome == Outcome::Done) {
        DWORD got = 0;
        outcome = connection.Read(got);
        ASSERT_NE(got == 0 && outcome == Outcome::Done, true) << "a stalled body taken as ended";
      }
      EXPECT_EQ(outcome, Outcome::Stopped);
    }
    stopper.join();
    for (int i = 0; i < 200 && server.hungUpAt() == 0; ++i) ::Sleep(10);
    ASSERT_NE(server.hungUpAt(), 0u) << "the connection outlived Stop by more than 2 s";
    EXPECT_LT(server.hungUpAt() - stoppedAt, 2000u);
  }
}

// A server that never lets go of its end: shutting our socket down tells it, but does
// not end a receive already waiting (under Wine); Stop must still end that receive and
// so let WinINet close its socket.
TEST(InternetConnection, StopClosesTheConnectionEvenWhenTheServerHoldsItsEndOpen) {
  for (auto stall : {HoldingServer::Stall::AfterRequest, HoldingServer::Stall::MidHeader,
                     HoldingServer::Stall::MidBody}) {
    SCOPED_TRACE(static_cast<int>(stall));
    HoldingServer server(stall, /*deaf=*/true);
    Stopper stop;
    std::thread stopper([&] {
      while (!server.stalled()) ::Sleep(10);
      ::Sleep(300);
      stop.Stop();
    });
    {
      InternetConnection connection(stop.event.get(), stop.flag);
      EXPECT_TRUE(connection.Open("Agent", INTERNET_OPEN_TYPE_PRECONFIG_WITH_NO_AUTOPROXY));
      Outcome outcome = connection.OpenUrl(server.Url(), kHeaders, kFlags);
      for (DWORD got = 1; outcome == Outcome::Done && got != 0;) outcome = connection.Read(got);
      EXPECT_EQ(outcome, Outcome::Stopped);
    }
    stopper.join();
    const DWORD stoppedAt = ::GetTickCount();
    while (SocketsConnectedTo(server.port()) > 0 && ::GetTickCount() - stoppedAt < 2000) ::Sleep(10);
    EXPECT_EQ(SocketsConnectedTo(server.port()), 0) << "the client's socket outlived Stop by 2 s";
  }
}

TEST(InternetConnection, AReadTakesWhatHasArrivedWithoutWaitingForAFullBuffer) {
  // 30,000 bytes, then nothing until the test lets the rest go: every one of them must
  // be read before that (a read that waited for its buffer to fill would wait for ever).
  PieceServer server(1'000'000, 10000, 30'000);
  Stopper stop;
  InternetConnection connection(stop.event.get(), stop.flag);
  ASSERT_TRUE(connection.Open("Agent", INTERNET_OPEN_TYPE_PRECONFIG_WITH_NO_AUTOPROXY));
  ASSERT_EQ(connection.OpenUrl(server.Url(), kHeaders, kFlags), Outcome::Done);
  std::atomic<bool> reachedAll{false};
  std::thread watchdog([&] {
    for (int i = 0; i < 1000 && !reachedAll; ++i) ::Sleep(10);
    server.resume = true;  // a read still waiting for a full buffer gets it now
  });
  size_t total = 0;
  Outcome outcome = Outcome::Done;
  while (total < 30'000) {
    DWORD got = 0;
    outcome = connection.Read(got);
    if (outcome != Outcome::Done || got == 0) break;
    total += got;
  }
  const bool beforeResume = !server.resume;
  reachedAll = true;
  watchdog.join();
  EXPECT_EQ(outcome, Outcome::Done);
  EXPECT_TRUE(beforeResume) << "the first 30,000 bytes came only when the server went on";
  EXPECT_EQ(total, 30'000u);
}
