#include <gtest/gtest.h>

#include <cmath>

#include "download/progress_text.h"

TEST(RoundToHundredths, RoundsHalvesAwayFromZero) {
  struct Case {
    double value, expected;
  };
  const Case cases[] = {
      {976.5625, 976.56}, {292.96875, 292.97}, {83.7053571, 83.71}, {1.5, 1.5},   {0.005, 0.01},
      {0.00499, 0.0},     {-0.005, -0.01},     {-2.345, -2.35},     {2.345, 2.35}, {0.0, 0.0},
      {1.125, 1.13},      {-1.125, -1.13},
  };
  for (const Case& c : cases) EXPECT_DOUBLE_EQ(RoundToHundredths(c.value), c.expected) << c.value;
}

TEST(NumberText, WritesAsPercentPoint13g) {
  EXPECT_EQ(NumberText(1.5), "1.5");
  EXPECT_EQ(NumberText(12.0), "12");
  EXPECT_EQ(NumberText(976.56), "976.56");
  EXPECT_EQ(NumberText(-0.0), "-0");
  EXPECT_EQ(NumberText(0.0), "0");
  EXPECT_EQ(NumberText(1234567.89), "1234567.89");
  EXPECT_EQ(NumberText(1e20), "1e+20");
}

TEST(NameAfterLastSlash, TakesWhatFollowsTheLastSlash) {
  EXPECT_EQ(NameAfterLastSlash("http://host/dir/file.zip"), "file.zip");
  EXPECT_EQ(NameAfterLastSlash("file.zip"), "file.zip");
  EXPECT_EQ(NameAfterLastSlash("http://host/dir/"), "");
  EXPECT_EQ(NameAfterLastSlash(""), "");
  EXPECT_EQ(NameAfterLastSlash("http://host/下载/文件.zip"), "文件.zip");
}

TEST(ProgressStatusText, WorkedExampleWithRemainingTime) {
  const ProgressReport r{1000000, 300000, 3500, 300000};
  EXPECT_EQ(ProgressStatusText("http://127.0.0.1/dir/file.zip", r),
            "正在下载:file.zip\r\n"
            "文件大小:976.56KB\r\n"
            "已下载:292.97KB\r\n"
            "所用时间:3秒\r\n"
            "下载速度:83.71KB/s\r\n"
            "剩余时间:0时0分8秒");
  EXPECT_EQ(ProgressBarPosition(r), 3000);
}

TEST(ProgressStatusText, OneBlockOf1536Bytes) {
  const ProgressReport r{1536, 1536, 10, 1536};
  EXPECT_EQ(ProgressStatusText("a/b.bin", r),
            "正在下载:b.bin\r\n文件大小:1.5KB\r\n已下载:1.5KB\r\n所用时间:0秒\r\n下载速度:150KB/s\r\n剩余时间:0时0分0秒");
  EXPECT_EQ(ProgressBarPosition(r), 10000);
}

TEST(ProgressStatusText, UnknownLengthGivesNegativeRestAndMinusZero) {
  // 512 bytes in 1 s: 0.5 KB/s; rest = -0.5 KB / 0.5 = -1 s.
  EXPECT_EQ(ProgressStatusText("x", {0, 512, 1000, 512}),
            "正在下载:x\r\n文件大小:0KB\r\n已下载:0.5KB\r\n所用时间:1秒\r\n下载速度:0.5KB/s\r\n剩余时间:-0时-0分-1秒");
  // 3 hours, 2 minutes and 5 seconds behind: -10925 s.
  const ProgressReport late{0, 10925 * 1024, 1000, 1024};
  EXPECT_NE(ProgressStatusText("x", late).find("剩余时间:-3时-2分-5秒"), std::string::npos);
  EXPECT_EQ(ProgressBarPosition(late), 0);
}

TEST(ProgressStatusText, SixthLineOnlyWhileTheRoundedSpeedIsAboveZero) {
  // 5 bytes in 1000 s: 0.0000049 KB/s rounds to 0.
  Text slow = ProgressStatusText("x", {100, 5, 1000000, 5});
  EXPECT_EQ(slow.find("剩余时间"), std::string::npos);
  EXPECT_NE(slow.find("下载速度:0KB/s\r\n"), std::string::npos);
  EXPECT_EQ(slow.back(), '\n');
  // 512 bytes in 100 s is exactly 0.005 KB/s, which rounds up to 0.01: the line is there.
  Text half = ProgressStatusText("x", {100000, 512, 100000, 512});
  EXPECT_NE(half.find("下载速度:0.01KB/s\r\n剩余时间:"), std::string::npos) << half;
}

TEST(ProgressStatusText, HoursMinutesSecondsOfALongRest) {
  // 1 KB/s and 3725 KB to go: 1 h 2 min 5 s.
  Text text = ProgressStatusText("x", {3726 * 1024, 1024, 1000, 1024});
  EXPECT_NE(text.find("剩余时间:1时2分5秒"), std::string::npos) << text;
}

TEST(ProgressBarPosition, TruncatesAndStaysWithinTheBar) {
  EXPECT_EQ(ProgressBarPosition({3, 1, 10, 1}), 3333);
  EXPECT_EQ(ProgressBarPosition({0, 5000, 10, 1}), 0);
  EXPECT_EQ(ProgressBarPosition({2000000000, 1999999999, 10, 1}), 9999);  // no 32-bit overflow
  EXPECT_EQ(ProgressBarPosition({100, 150, 10, 1}), 10000);
}

TEST(ProgressStatusText, FilesPast4GiBShowTrueFigures) {
  // 4,617,089,024 bytes (4.3 GiB), 3,000,000,000 of them in 60 s: 48,828.125 KB/s rounds
  // to 48828.13; rest = (1,617,089,024 / 1024) / 48828.13 = 32.3 s.
  const ProgressReport r{4617089024LL, 3000000000LL, 60000, 3000000000LL};
  EXPECT_EQ(ProgressStatusText("h/big.iso", r),
            "正在下载:big.iso\r\n"
            "文件大小:4508876KB\r\n"
            "已下载:2929687.5KB\r\n"
            "所用时间:60秒\r\n"
            "下载速度:48828.13KB/s\r\n"
            "剩余时间:0时0分32秒");
  EXPECT_EQ(ProgressBarPosition(r), 6497);
}
