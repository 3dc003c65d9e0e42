// The transfer's WinINet layer against a small HTTP server inside the test, on 127.0.0.1.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "local_http_server.h"
#include "net/internet_connection.h"

namespace {

const Text kHeaders = "Accept: */*";

unsigned char PatternByte(size_t i) { return static_cast<unsigned char>((i * 131 + i / 4099) & 0xFF); }

// Answers every request with headers announcing `size` bytes, then the body in
// pieces of `piece` bytes, yielding between pieces so that many of the client's reads
// have to wait for the network; `pauseAfter` bytes in, it waits until `resume` is set.
class PieceServer {
 public:
  PieceServer(size_t size, size_t piece, size_t pauseAfter = SIZE_MAX)
      : size_(size), piece_(piece), pauseAfter_(pauseAfter),
        server_([this](LocalHttpServer::Connection& c, int) { Serve(c); }) {}
  std::string Url() const { return server_.base() + "/file.bin"; }

  std::atomic<bool> resume{false};

 private:
  void Serve(LocalHttpServer::Connection& c) {
    c.Send("HTTP/1.1 200 OK\r\nContent-Length: " + std::to_string(size_) + "\r\nConnection: close\r\n\r\n");
    std::string piece(piece_, '\0');
    for (size_t sent = 0; sent < size_;) {
      if (sent >= pauseAfter_)
        while (!resume && !c.ending()) ::Sleep(10);
      const size_t n = std::min(piece_, size_ - sent);
      for (size_t i = 0; i < n; ++i) piece[i] = static_cast<char>(PatternByte(sent + i));
      if (!c.Send(std::string_view(piece.data(), n))) break;
      sent += n;
      ::SwitchToThread();
    }
  }

  const size_t size_, piece_, pauseAfter_;
  LocalHttpServer server_;  // last: its thread starts once the rest is set
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
  PieceServer server(kSize, 3000);
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
  explicit HoldingServer(Stall stall, bool deaf = false)
      : stall_(stall), deaf_(deaf), server_([this](LocalHttpServer::Connection& c, int) { Serve(c); }) {}
  std::string Url() const { return server_.base() + "/file.bin"; }
  int port() const { return server_.port(); }
  bool stalled() const { return stalled_; }
  // The tick count when the client hung up; 0 while it has not.
  DWORD hungUpAt() const { return hungUpAt_; }

 private:
  void Serve(LocalHttpServer::Connection& c) {
    if (stall_ == Stall::MidHeader) c.Send("HTTP/1.1 200 OK\r\nContent-Type: application/octet-stream\r\nContent-Le");
    if (stall_ == Stall::MidBody) c.Send("HTTP/1.1 200 OK\r\nContent-Length: 100000\r\n\r\n" + std::string(30000, 'x'));
    stalled_ = true;
    if (deaf_) {
      while (!c.ending()) ::Sleep(20);
      return;
    }
    if (c.WaitForHangUp()) hungUpAt_ = ::GetTickCount();
  }

  const Stall stall_;
  const bool deaf_;
  std::atomic<bool> stalled_{false};
  std::atomic<DWORD> hungUpAt_{0};
  LocalHttpServer server_;  // last: its thread starts once the rest is set
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
