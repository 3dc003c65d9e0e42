#include <gtest/gtest.h>

#include "commands/update_check.h"
#include "local_http_server.h"

namespace {

TEST(CompareVersions, BytesDecideNotNumbers) {
  struct Case {
    const char* server;
    int expected;  // CompareVersions("V1.0", server)
  };
  const Case cases[] = {
      {"V1.0", 0},       // up to date
      {"V1.1", -1},      // newer
      {"V1.0\r\n", -1},  // a trailing line break makes the local text a prefix
      {"V0.9", 1},       // older
      {"1.5", 1},        // 'V' sorts after '1'
      {"V10.0", -1},     // '.' (0x2E) before '0' (0x30)
      {"V2.0", -1},
      {"", 1},           // nothing fetched: nothing to offer
  };
  for (const Case& c : cases) {
    EXPECT_EQ(CompareVersions("V1.0", c.server), c.expected) << c.server;
    EXPECT_EQ(CompareVersions(c.server, "V1.0"), -c.expected) << c.server;
  }
}

TEST(CompareVersions, HighBytesAreUnsigned) {
  // A GBK byte (0xB0) sorts after every ASCII byte.
  EXPECT_EQ(CompareVersions("V\xB0", "V1"), 1);
  EXPECT_EQ(CompareVersions("", ""), 0);
}

TEST(UpdateCheck, VersionTextStopsAtTheFirstZeroByteAndKeepsLineBreaks) {
  EXPECT_EQ(VersionTextOf({}), "");
  EXPECT_EQ(VersionTextOf({'V', '1', '.', '1', '\r', '\n'}), "V1.1\r\n");
  EXPECT_EQ(VersionTextOf({'V', '2', 0, 'x'}), "V2");
}

TEST(UpdateCheck, ReadPieceFollowsTheAnnouncedLength) {
  EXPECT_EQ(ReadPieceSize(std::nullopt), 10240u);
  EXPECT_EQ(ReadPieceSize(0), 10240u);
  EXPECT_EQ(ReadPieceSize(-7), 10240u);
  EXPECT_EQ(ReadPieceSize(4), 5u);
  EXPECT_EQ(ReadPieceSize(102399), 102400u);
  EXPECT_EQ(ReadPieceSize(5000000000LL), 102400u);
}

TEST(UpdateCheck, QuestionHasThreeBlanksBeforeEachLaterPiece) {
  EXPECT_EQ(UpdateQuestionText("V1.0", "V1.1"), "当前版本:V1.0   服务器版本:V1.1   是否更新?");
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
