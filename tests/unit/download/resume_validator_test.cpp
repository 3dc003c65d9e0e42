#include <gtest/gtest.h>

#include "download/http_answer.h"
#include "download/resume_validator.h"

TEST(ValidatorOf, StrongTagElseTheDate) {
  const Text date = "Wed, 21 Oct 2015 07:28:00 GMT";
  EXPECT_EQ(ValidatorOf(Text("\"v2\""), date), "\"v2\"");
  EXPECT_EQ(ValidatorOf(Text(" \"v2\" "), std::nullopt), "\"v2\"");
  EXPECT_EQ(ValidatorOf(Text("W/\"v2\""), date), date);  // a weak tag cannot stand for a range
  EXPECT_EQ(ValidatorOf(Text("v2"), date), date);         // nor can an unquoted one
  EXPECT_EQ(ValidatorOf(std::nullopt, date), date);
  EXPECT_EQ(ValidatorOf(Text("W/\"v2\""), std::nullopt), std::nullopt);
  EXPECT_EQ(ValidatorOf(std::nullopt, Text("  ")), std::nullopt);
  // Long tags are kept whole up to the cap; past it, the tag counts as none.
  const Text tag2k = "\"" + Text(2000, 'a') + "\"";
  EXPECT_EQ(ValidatorOf(tag2k, date), tag2k);
  const Text tagPastCap = "\"" + Text(kMaxValidatorLength, 'a') + "\"";
  EXPECT_EQ(ValidatorOf(tagPastCap, date), date);
  EXPECT_EQ(ValidatorOf(tagPastCap, std::nullopt), std::nullopt);
}

TEST(AnswerKeepsValidator, OnlyThePieceThatCarriesTheSentValidator) {
  const Text date = "Wed, 21 Oct 2015 07:28:00 GMT";
  EXPECT_TRUE(AnswerKeepsValidator("\"v1\"", Text("\"v1\""), Text("Thu, 22 Oct 2015 07:28:00 GMT")));
  EXPECT_TRUE(AnswerKeepsValidator("\"v1\"", Text(" \"v1\" "), std::nullopt));
  EXPECT_FALSE(AnswerKeepsValidator("\"v1\"", Text("\"v2\""), date));
  EXPECT_FALSE(AnswerKeepsValidator("\"v1\"", Text("W/\"v1\""), date));
  EXPECT_FALSE(AnswerKeepsValidator("\"v1\"", std::nullopt, date));  // says nothing: fails closed
  EXPECT_TRUE(AnswerKeepsValidator(date, Text("\"v9\""), date));
  EXPECT_FALSE(AnswerKeepsValidator(date, std::nullopt, Text("Thu, 22 Oct 2015 07:28:00 GMT")));
  EXPECT_FALSE(AnswerKeepsValidator(date, Text("\"v9\""), std::nullopt));
}

TEST(ResumeRecord, TextRoundTripAndRefusals) {
  const ResumeRecord r{"\"a b\"", 4831838208LL, 133000000000000000ULL};
  EXPECT_EQ(FormatResumeRecord(r), "4831838208 133000000000000000 \"a b\"");
  auto back = ParseResumeRecord(FormatResumeRecord(r));
  ASSERT_TRUE(back);
  EXPECT_EQ(back->validator, r.validator);
  EXPECT_EQ(back->size, r.size);
  EXPECT_EQ(back->lastWrite, r.lastWrite);
  for (const char* bad : {"", "12", "12 34", "12 34 ", "x 34 \"v\"", "12 -3 \"v\"", "99999999999999999999 1 \"v\""})
    EXPECT_FALSE(ParseResumeRecord(bad)) << bad;
  EXPECT_FALSE(ParseResumeRecord("1 2 \"" + Text(kMaxValidatorLength, 'a') + "\""));
}

TEST(RequestHeaderBlock, IfRangeFollowsTheRangeAndNothingElseChanges) {
  const Text plain = RequestHeaderBlock(true, 102400);
  EXPECT_EQ(RequestHeaderBlock(true, 102400, Text("\"v1\"")), plain + "\r\nIf-Range: \"v1\"");
  EXPECT_EQ(RequestHeaderBlock(false, 0, Text("\"v1\"")), RequestHeaderBlock(false, 0));  // no range, no If-Range
}
