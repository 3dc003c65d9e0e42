// The bounded GET against a small HTTP server inside the test, on 127.0.0.1.
#include <gtest/gtest.h>

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

TEST(HttpGetWhole, SendsAPlainHttp10GetAndReturnsTheBody) {
  LocalHttpServer server(LocalHttpServer::Mode::Answer, LocalHttpServer::Response("200 OK", "V1.0"));
  ByteBuffer body = HttpGetWhole(server.base() + "/zelk.txt");
  EXPECT_EQ(std::string(body.begin(), body.end()), "V1.0");
  std::string request = server.lastRequest();
  EXPECT_EQ(request.rfind("GET /zelk.txt HTTP/1.0\r\n", 0), 0u) << request;
  EXPECT_NE(request.find("Accept: */*\r\n"), std::string::npos) << request;
}

TEST(HttpGetWhole, AnErrorPageIsABodyLikeAnyOther) {
  LocalHttpServer server(LocalHttpServer::Mode::Answer, LocalHttpServer::Response("404 Not Found", "missing", false));
  ByteBuffer body = HttpGetWhole(server.base() + "/zelk.txt");
  EXPECT_EQ(std::string(body.begin(), body.end()), "missing");
}

TEST(HttpGetWhole, StopsAt64KiBWithOrWithoutALength) {
  std::string big(200 * 1024, 'v');
  for (bool withLength : {true, false}) {
    LocalHttpServer server(LocalHttpServer::Mode::Answer, LocalHttpServer::Response("200 OK", big, withLength));
    EXPECT_EQ(HttpGetWhole(server.base() + "/zelk.txt").size(), 64u * 1024) << withLength;
  }
  LocalHttpServer endless(LocalHttpServer::Mode::Endless);
  EXPECT_EQ(HttpGetWhole(endless.base() + "/zelk.txt").size(), 64u * 1024);
}

TEST(HttpGetWhole, ASilentServerGivesNothingOnceTheTimeOutPasses) {
  LocalHttpServer server(LocalHttpServer::Mode::Silent);
  HttpLimits quick;
  quick.connectTimeoutMs = 1000;
  quick.receiveTimeoutMs = 1000;
  EXPECT_TRUE(HttpGetWhole(server.base() + "/zelk.txt", quick).empty());
}

TEST(HttpGetWhole, ATricklingServerIsLeftAtTheDeadlineWithWhatCameSoFar) {
  LocalHttpServer server(LocalHttpServer::Mode::Trickle);
  HttpLimits quick;
  quick.receiveTimeoutMs = 1000;
  quick.bodyDeadlineMs = 1500;
  ByteBuffer body = HttpGetWhole(server.base() + "/zelk.txt", quick);
  // About 1.5 s of one byte per 200 ms; far from the 100000 announced.
  EXPECT_GT(body.size(), 0u);
  EXPECT_LT(body.size(), 40u);
  EXPECT_EQ(std::string(body.begin(), body.end()), std::string(body.size(), 'V'));
}

TEST(HttpGetWhole, UnreachableOrUnsplittableAddressesGiveNothing) {
  int closedPort;
  {
    LocalHttpServer gone(LocalHttpServer::Mode::Answer, "");
    closedPort = gone.port();
  }
  EXPECT_TRUE(HttpGetWhole("http://127.0.0.1:" + std::to_string(closedPort) + "/zelk.txt").empty());
  EXPECT_TRUE(HttpGetWhole("").empty());
  EXPECT_TRUE(HttpGetWhole("no address at all").empty());
}

}  // namespace
