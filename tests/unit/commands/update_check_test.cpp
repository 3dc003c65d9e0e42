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
