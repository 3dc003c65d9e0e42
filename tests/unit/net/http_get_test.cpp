// The bounded GET against small HTTP servers inside the test, on 127.0.0.1, honest
// and hostile.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

#include "base/unique_handle.h"
#include "local_http_server.h"
#include "net/http_get.h"

namespace {

TEST(HttpGetWhole, ReadPieceFollowsTheAnnouncedLength) {
  EXPECT_EQ(ReadPieceSize(std::nullopt), 10240u);
  EXPECT_EQ(ReadPieceSize(0), 10240u);
  EXPECT_EQ(ReadPieceSize(-7), 10240u);
  EXPECT_EQ(ReadPieceSize(4), 5u);
  EXPECT_EQ(ReadPieceSize(102399), 102400u);
  EXPECT_EQ(ReadPieceSize(5000000000LL), 102400u);
}

std::string BodyOf(const HttpAnswer& answer) { return std::string(answer.body.begin(), answer.body.end()); }

// Limits with a short deadline, so that each hostile case costs about 3 s.
HttpLimits Quick() {
  HttpLimits limits;
  limits.deadlineMs = 3000;
  return limits;
}

// The fetch let go of the server's connection: nothing is left waiting on it.
bool LetGo(const LocalHttpServer& server) {
  for (int i = 0; i < 40 && server.serving(); ++i) ::Sleep(50);
  return !server.serving();
}

TEST(HttpGetWhole, SendsAPlainHttp10GetAndReturnsTheBody) {
  LocalHttpServer server(LocalHttpServer::Mode::Answer, LocalHttpServer::Response("200 OK", "V1.0"));
  HttpAnswer answer = HttpGetWhole(server.base() + "/zelk.txt");
  EXPECT_EQ(answer.status, 200);
  EXPECT_EQ(BodyOf(answer), "V1.0");
  std::string request = server.lastRequest();
  EXPECT_EQ(request.rfind("GET /zelk.txt HTTP/1.0\r\n", 0), 0u) << request;
  EXPECT_NE(request.find("Accept: */*\r\n"), std::string::npos) << request;
}

TEST(HttpGetWhole, AnErrorPageComesWithItsStatus) {
  for (const char* status : {"404 Not Found", "500 Internal Server Error"}) {
    LocalHttpServer server(LocalHttpServer::Mode::Answer, LocalHttpServer::Response(status, "V9.9"));
    HttpAnswer answer = HttpGetWhole(server.base() + "/zelk.txt");
    EXPECT_EQ(answer.status, std::atoi(status)) << status;
    EXPECT_EQ(BodyOf(answer), "V9.9") << status;
  }
}

TEST(HttpGetWhole, StopsAt64KiBWithOrWithoutALength) {
  std::string big(200 * 1024, 'v');
  for (bool withLength : {true, false}) {
    LocalHttpServer server(LocalHttpServer::Mode::Answer, LocalHttpServer::Response("200 OK", big, withLength));
    EXPECT_EQ(HttpGetWhole(server.base() + "/zelk.txt").body.size(), 64u * 1024) << withLength;
  }
  LocalHttpServer endless(LocalHttpServer::Mode::Endless);
  EXPECT_EQ(HttpGetWhole(endless.base() + "/zelk.txt").body.size(), 64u * 1024);
}

TEST(HttpGetWhole, ABodyPastTheLimitEndsItsConnectionAtOnce) {
  // Closing the request would make Wine's WinINet read out all 100 MB first.
  constexpr long long kBody = 100LL * 1024 * 1024;
  std::atomic<long long> sent{0};
  LocalHttpServer server([&](LocalHttpServer::Connection& c, int) {
    c.Send("HTTP/1.0 200 OK\r\nContent-Length: " + std::to_string(kBody) + "\r\n\r\n");
    const std::string chunk(64 * 1024, 'V');
    while (sent < kBody && !c.ending() && c.Send(chunk)) sent += chunk.size();
  });
  HttpAnswer answer = HttpGetWhole(server.base() + "/zelk.txt");
  EXPECT_EQ(answer.status, 200);
  EXPECT_EQ(answer.body.size(), 64u * 1024);
  EXPECT_TRUE(LetGo(server));
  // What the sockets' buffers took before the end: nothing like the whole body.
  EXPECT_LT(sent.load(), 16LL * 1024 * 1024);
}

TEST(HttpGetWhole, FollowsFiveRedirectsAndNoMore) {
  const std::string version = LocalHttpServer::Response("200 OK", "V1.0");
  {
    LocalHttpServer five(LocalHttpServer::Mode::Redirects, version, 5);
    HttpAnswer answer = HttpGetWhole(five.base() + "/zelk.txt");
    EXPECT_EQ(answer.status, 200);
    EXPECT_EQ(BodyOf(answer), "V1.0");
    EXPECT_EQ(five.requests(), 6);
    EXPECT_EQ(five.lastRequest().rfind("GET /hop5 HTTP/1.0\r\n", 0), 0u) << five.lastRequest();
  }
  for (int redirects : {6, 1000000}) {  // one too many, and a server redirecting for ever
    LocalHttpServer server(LocalHttpServer::Mode::Redirects, version, redirects);
    HttpAnswer answer = HttpGetWhole(server.base() + "/zelk.txt");
    EXPECT_EQ(answer.status, 302) << redirects;  // a redirect left over
    EXPECT_TRUE(answer.body.empty());
    EXPECT_EQ(server.requests(), 6) << redirects;
  }
}

TEST(HttpGetWhole, HeadersPast16KiBEndTheFetch) {
  std::string headers;
  while (headers.size() < 20 * 1024) headers += "X-Filler: aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa\r\n";
  LocalHttpServer server(LocalHttpServer::Mode::Answer,
                         "HTTP/1.0 200 OK\r\n" + headers + "Content-Length: 4\r\n\r\nV9.9");
  EXPECT_EQ(HttpGetWhole(server.base() + "/zelk.txt").status, 0);
}

// Ends the test program, naming what it waited for, when the watch is not over in
// time: a fetch that never returned would otherwise hold the program until the
// runner's own time-out, with nothing said about which case it was.
class Watch {
 public:
  Watch(std::string what, DWORD ms)
      : what_(std::move(what)), ms_(ms), over_(::CreateEventW(nullptr, TRUE, FALSE, nullptr)) {
    thread_ = std::thread([this] {
      if (::WaitForSingleObject(over_.get(), ms_) == WAIT_OBJECT_0) return;
      std::fprintf(stderr, "%s: still waiting after %lu ms\n", what_.c_str(), static_cast<unsigned long>(ms_));
      std::fflush(stderr);
      ::TerminateProcess(::GetCurrentProcess(), 3);
    });
  }
  ~Watch() {
    ::SetEvent(over_.get());
    thread_.join();
  }
  Watch(const Watch&) = delete;
  Watch& operator=(const Watch&) = delete;

 private:
  std::string what_;
  DWORD ms_;
  UniqueKernelHandle over_;
  std::thread thread_;
};

// Whatever the server does, the fetch returns by its deadline with no answer and
// leaves nothing waiting on the connection.
TEST(HttpGetWhole, NoServerHoldsTheFetchPastItsDeadline) {
  const struct {
    LocalHttpServer::Mode mode;
    const char* name;
  } cases[] = {
      {LocalHttpServer::Mode::Silent, "silent"},
      {LocalHttpServer::Mode::HeaderTrickle, "header a byte at a time"},
      {LocalHttpServer::Mode::EndlessHeaders, "header lines without end"},
      {LocalHttpServer::Mode::Trickle, "body a byte at a time"},
  };
  for (const auto& c : cases) {
    Watch watch(std::string("the fetch from a server sending ") + c.name, 60000);
    LocalHttpServer server(c.mode);
    const DWORD began = ::GetTickCount();
    HttpAnswer answer = HttpGetWhole(server.base() + "/zelk.txt", Quick());
    const DWORD took = ::GetTickCount() - began;
    EXPECT_LE(took, 3000u + 500u) << c.name;
    EXPECT_EQ(answer.status, 0) << c.name;
    EXPECT_TRUE(answer.body.empty()) << c.name;
    EXPECT_TRUE(LetGo(server)) << c.name;
  }
}

TEST(HttpGetWhole, UnreachableOrUnsplittableAddressesGiveNothing) {
  int closedPort;
  {
    LocalHttpServer gone(LocalHttpServer::Mode::Answer, "");
    closedPort = gone.port();
  }
  EXPECT_EQ(HttpGetWhole("http://127.0.0.1:" + std::to_string(closedPort) + "/zelk.txt").status, 0);
  EXPECT_EQ(HttpGetWhole("").status, 0);
  EXPECT_EQ(HttpGetWhole("no address at all").status, 0);
  EXPECT_EQ(HttpGetWhole("/zelk.txt").status, 0);  // what an empty server base would give
}

}  // namespace
