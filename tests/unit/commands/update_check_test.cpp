#include <gtest/gtest.h>

#include "commands/update_check.h"

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

TEST(UpdateCheck, OnlyA200AnswerCarriesAVersion) {
  const ByteBuffer body = {'V', '9', '.', '9'};
  EXPECT_EQ(ServerVersionOf(HttpAnswer{200, body}), "V9.9");
  for (int status : {0, 204, 302, 404, 500}) EXPECT_EQ(ServerVersionOf(HttpAnswer{status, body}), "") << status;
}

TEST(UpdateCheck, AVersionIsOneShortLineOfPlainText) {
  struct Case {
    std::string text;
    bool version;
  };
  const Case cases[] = {
      {"V1.0", true},
      {"V1.0\r\n", true},  // a line break at the end stays part of the text
      {"V1.0\n", true},
      {"1.5", true},
      {"v2.0-beta_3 build 7", true},
      {std::string(32, '9'), true},
      {std::string(33, '9'), false},
      {"V" + std::string(69999, '9'), false},  // would make the question thousands of pixels wide
      {"", false},
      {"   ", false},
      {"\r\n", false},
      {"V1.0\r\n\r\n", false},
      {"V1.0\r", false},
      {"V1.0\nV2.0", false},
      {"V1.0\t", false},
      {"V1.0\x7f", false},
      {"V1.\xB0\xE6", false},  // GBK
      {"\xEF\xBB\xBFV1.0", false},  // a UTF-8 byte order mark
      {"<html><body>V1.1</body></html>", false},
  };
  for (const Case& c : cases) EXPECT_EQ(IsVersionText(c.text), c.version) << c.text;
}

TEST(UpdateCheck, ABodyThatIsNoVersionGivesNone) {
  auto version = [](std::string body) { return ServerVersionOf(HttpAnswer{200, ByteBuffer(body.begin(), body.end())}); };
  EXPECT_EQ(version(std::string("V1.1\0\0", 6)), "V1.1");  // zero bytes may pad it
  EXPECT_EQ(version(std::string("V\0" "1\0" ".\0" "1\0", 8)), "");  // UTF-16 without a byte order mark
  EXPECT_EQ(version(std::string("\xFF\xFEV\0" "1\0", 6)), "");  // and with one
  EXPECT_EQ(version(std::string("\0V1.1", 5)), "");
  EXPECT_EQ(version(std::string(64 * 1024, 'V')), "");
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

TEST(UpdateCheck, QuestionHasThreeBlanksBeforeEachLaterPiece) {
  EXPECT_EQ(UpdateQuestionText("V1.0", "V1.1"), "当前版本:V1.0   服务器版本:V1.1   是否更新?");
}

}  // namespace
