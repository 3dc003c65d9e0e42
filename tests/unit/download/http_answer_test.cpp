#include <gtest/gtest.h>

#include "download/http_answer.h"

TEST(RequestHeaderBlock, FixedHeadersAndTheRangeOfAResume) {
  const char* fixed =
      "Accept: */*\r\nAccept-Language: zh-cn\r\n"
      "User-Agent: Mozilla/4.0(compatible; MSIE 6.0; Windows NT 5.0; MyIE2; .NET CLR 1.1.4322)\r\n"
      "Connection: close";
  EXPECT_EQ(RequestHeaderBlock(false, 0), fixed);
  EXPECT_EQ(RequestHeaderBlock(true, 1000), std::string(fixed) + "\r\nRange:bytes=1000-");
  EXPECT_EQ(RequestHeaderBlock(true, 0), std::string(fixed) + "\r\nRange:bytes=0-");
}

TEST(ParseContentRange, ReadsSatisfiedAndUnsatisfiedRanges) {
  auto r = ParseContentRange("bytes 1000-1999/5000");
  ASSERT_TRUE(r);
  EXPECT_EQ(r->first, 1000);
  EXPECT_EQ(r->last, 1999);
  EXPECT_EQ(r->complete, 5000);

  r = ParseContentRange("Bytes 0-9/*");
  ASSERT_TRUE(r);
  EXPECT_EQ(r->complete, -1);

  r = ParseContentRange("bytes */4096");
  ASSERT_TRUE(r);
  EXPECT_EQ(r->first, -1);
  EXPECT_EQ(r->complete, 4096);

  for (const char* bad : {"", "bytes", "bytes 5-4/10", "bytes 0-10/10", "items 0-1/2", "bytes */*", "bytes a-b/c",
                          "bytes 1-2"})
    EXPECT_FALSE(ParseContentRange(bad)) << bad;
}

TEST(ParseLength, PlainDecimalWithin64Bits) {
  EXPECT_EQ(ParseLength("0"), 0);
  EXPECT_EQ(ParseLength(" 268435456 "), 268435456);
  EXPECT_EQ(ParseLength("4831838208"), 4831838208LL);
  EXPECT_EQ(ParseLength("0005"), 5);
  EXPECT_EQ(ParseLength("9223372036854775807"), INT64_MAX);
  for (const char* bad : {"", " ", "-1", "-5", "+5", "12abc", "500000abc", "abc", "1 2", "0x10", "5, 5",
                          "9223372036854775808", "99999999999999999999"})
    EXPECT_FALSE(ParseLength(bad)) << bad;
}

TEST(ReadContentLengths, OneValueOrSeveralThatAgree) {
  ServerAnswer a;
  ReadContentLengths(a, {});
  EXPECT_FALSE(a.contentLength);
  EXPECT_FALSE(a.badLength);
  ReadContentLengths(a, {"300", "300"});
  EXPECT_EQ(a.contentLength, 300);
  EXPECT_FALSE(a.badLength);
  for (const std::vector<Text>& bad : std::vector<std::vector<Text>>{{"abc"}, {"300", "301"}, {"300", "+300"}}) {
    ReadContentLengths(a, bad);
    EXPECT_TRUE(a.badLength) << bad.back();
    EXPECT_FALSE(a.contentLength);
  }
}

TEST(PlanBody, AnUnreadableLengthIsRefusedWhateverTheStatus) {
  ServerAnswer a;
  a.status = 200;
  a.badLength = true;
  EXPECT_EQ(PlanBody(a, false, 0, 0).action, BodyAction::Refuse);
  EXPECT_EQ(PlanBody(a, true, 10, 10).action, BodyAction::Refuse);
  a.status = 206;
  a.contentRange = ParseContentRange("bytes 10-19/20");
  EXPECT_EQ(PlanBody(a, true, 10, 10).action, BodyAction::Refuse);
}


namespace {
ServerAnswer Answer(int status, std::optional<int64_t> length = std::nullopt, const char* range = nullptr) {
  ServerAnswer a;
  a.status = status;
  a.contentLength = length;
  if (range) a.contentRange = ParseContentRange(range);
  return a;
}
}  // namespace

TEST(PlanBody, FreshDownloadStoresSuccessBodiesOnly) {
  BodyPlan p = PlanBody(Answer(200, 5000), false, 0, 0);
  EXPECT_EQ(p.action, BodyAction::WriteWhole);
  EXPECT_EQ(p.total, 5000);
  EXPECT_EQ(p.expectedEnd, 5000);

  p = PlanBody(Answer(200), false, 0, 0);  // no length announced
  EXPECT_EQ(p.action, BodyAction::WriteWhole);
  EXPECT_EQ(p.total, 0);
  EXPECT_EQ(p.expectedEnd, -1);

  // A 206 to a request without a range is a piece of the file, a 204 no file at all.
  for (int status : {404, 500, 301, 416, 0, 206, 204, 202})
    EXPECT_EQ(PlanBody(Answer(status, 100, "bytes 0-99/1000"), false, 0, 0).action, BodyAction::Refuse) << status;
}

TEST(PlanBody, ChunkedFramingDecidesOverContentLength) {
  ServerAnswer a = Answer(200, 500000);
  ReadTransferCodings(a, {"chunked"});
  BodyPlan p = PlanBody(a, false, 0, 0);
  EXPECT_EQ(p.action, BodyAction::WriteWhole);
  EXPECT_EQ(p.expectedEnd, -1);  // to the last chunk, not to 500,000
  EXPECT_EQ(p.total, 0);
  a.badLength = true;  // an unreadable length beside chunks is ignored too
  a.contentLength.reset();
  EXPECT_EQ(PlanBody(a, false, 0, 0).action, BodyAction::WriteWhole);
  // A chunked 206: the span decides.
  ServerAnswer r = Answer(206, 10, "bytes 1000-4999/5000");
  ReadTransferCodings(r, {"Chunked"});
  p = PlanBody(r, true, 1000, 1000);
  EXPECT_EQ(p.action, BodyAction::AppendAtOffset);
  EXPECT_EQ(p.expectedEnd, 5000);
}

TEST(ReadTransferCodings, OnlyALoneChunkedIsUndone) {
  struct Case {
    std::vector<Text> values;
    bool chunked, unknown;
  };
  const Case cases[] = {
      {{}, false, false},
      {{"chunked"}, true, false},
      {{" CHUNKED "}, true, false},
      {{"gzip, chunked"}, false, true},
      {{"gzip", "chunked"}, false, true},
      {{"identity"}, false, true},
      {{"chunked, chunked"}, false, true},
  };
  for (const Case& c : cases) {
    ServerAnswer a;
    ReadTransferCodings(a, c.values);
    EXPECT_EQ(a.chunked, c.chunked) << (c.values.empty() ? "" : c.values[0]);
    EXPECT_EQ(a.unknownCoding, c.unknown);
    if (c.unknown) EXPECT_EQ(PlanBody(a, false, 0, 0).action, BodyAction::Refuse);
  }
}

TEST(HeadHasStatusLine, AMadeUpStatusCarriesNoHeader) {
  EXPECT_TRUE(HeadHasStatusLine("HTTP/1.1 200 OK\r\nContent-Length: 5\r\n\r\n"));
  EXPECT_TRUE(HeadHasStatusLine("HTTP/1.0 206 Partial\r\nServer: x\r\n"));
  EXPECT_FALSE(HeadHasStatusLine("HTTP/1.0 200 OK\r\n\r\n"));  // what WinINet makes up
  EXPECT_FALSE(HeadHasStatusLine("HTTP/1.0 200 OK"));
  EXPECT_FALSE(HeadHasStatusLine(""));
  EXPECT_FALSE(HeadHasStatusLine("SSH-2.0-OpenSSH_9.2\r\nKey: v\r\n"));
  ServerAnswer a = Answer(200, 5000);
  a.statusLine = false;
  EXPECT_EQ(PlanBody(a, false, 0, 0).action, BodyAction::Refuse);
  EXPECT_EQ(PlanBody(a, true, 0, 100).action, BodyAction::Refuse);
}

TEST(PlanBody, ResumeAppendsOnlyAtItsOwnOffset) {
  BodyPlan p = PlanBody(Answer(206, 4000, "bytes 1000-4999/5000"), true, 1000, 1000);
  EXPECT_EQ(p.action, BodyAction::AppendAtOffset);
  EXPECT_EQ(p.total, 5000);  // the whole file, so the bar ends at 10000
  EXPECT_EQ(p.expectedEnd, 5000);

  // Pieces that would leave the file short or spliced: refused, the partial file kept.
  for (const char* range : {"bytes 1000-4999/*", "bytes 1000-1999/5000"})
    EXPECT_EQ(PlanBody(Answer(206, std::nullopt, range), true, 1000, 1000).action, BodyAction::Refuse) << range;
  EXPECT_EQ(PlanBody(Answer(206, 3999, "bytes 1000-4999/5000"), true, 1000, 1000).action, BodyAction::Refuse);
  EXPECT_EQ(PlanBody(Answer(206, 4001, "bytes 1000-4999/5000"), true, 1000, 1000).action, BodyAction::Refuse);

  EXPECT_EQ(PlanBody(Answer(206, 4000, "bytes 0-3999/5000"), true, 1000, 1000).action,
            BodyAction::AskAgainWithoutRange);
  EXPECT_EQ(PlanBody(Answer(206, 4000), true, 1000, 1000).action, BodyAction::AskAgainWithoutRange);
  EXPECT_EQ(PlanBody(Answer(204), true, 1000, 1000).action, BodyAction::AskAgainWithoutRange);
}

TEST(PlanBody, ResumeAnsweredWithTheWholeFileStartsOver) {
  BodyPlan p = PlanBody(Answer(200, 5000), true, 1000, 1000);
  EXPECT_EQ(p.action, BodyAction::WriteWhole);
  EXPECT_EQ(p.total, 5000);
}

TEST(RangeStartFor, AnOverlapUnlessAStrongValidatorProvesTheVersion) {
  EXPECT_EQ(RangeStartFor(300000, true), 300000);
  EXPECT_EQ(RangeStartFor(300000, false), 300000 - 65536);
  EXPECT_EQ(RangeStartFor(65536, false), 0);
  EXPECT_EQ(RangeStartFor(1000, false), 0);  // a small partial file is compared whole
  EXPECT_EQ(RangeStartFor(0, false), 0);
}

TEST(PlanBody, UnsatisfiableRange) {
  EXPECT_EQ(PlanBody(Answer(416, 0, "bytes */5000"), true, 5000, 5000).action, BodyAction::AlreadyComplete);
  // The partial file is longer than the server's file, or the server does not say its size.
  EXPECT_EQ(PlanBody(Answer(416, 0, "bytes */5000"), true, 6000, 6000).action, BodyAction::AskAgainWithoutRange);
  EXPECT_EQ(PlanBody(Answer(416), true, 5000, 5000).action, BodyAction::AskAgainWithoutRange);
}

TEST(PlanBody, ResumeRefusesErrorPages) {
  for (int status : {404, 500, 403}) EXPECT_EQ(PlanBody(Answer(status, 10), true, 10, 10).action, BodyAction::Refuse);
}
