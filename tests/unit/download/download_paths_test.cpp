#include <gtest/gtest.h>

#include "download/download_paths.h"

TEST(DownloadPaths, PlainConcatenationOfWhatWasTyped) {
  struct Case {
    const char *drive, *name, *extension, *final;
  };
  const Case cases[] = {
      {"e", "setup", ".exe", "e:\\setup.exe"},
      {"e", "setup", "exe", "e:\\setupexe"},       // no dot added
      {"e:", "setup", ".exe", "e::\\setup.exe"},   // a typed colon is kept
      {"", "", "", ":\\"},
      {" d", "my file ", ".zip ", " d:\\my file .zip "},  // nothing trimmed
      {"C", "我的文件", ".rar", "C:\\我的文件.rar"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FinalPath(c.drive, c.name, c.extension), c.final);
    EXPECT_EQ(PartialPath(FinalPath(c.drive, c.name, c.extension)), std::string(c.final) + ".tmp");
  }
}

TEST(SuccessMessageText, NamesDriveUpperCaseWithItsSpaces) {
  EXPECT_EQ(SuccessMessageText("e", "setup", ".exe"), "文件在  E  盘 ; 文件名为: setup ; 文件格式为:  .exe");
  EXPECT_EQ(SuccessMessageText("d", "abc", ""), "文件在  D  盘 ; 文件名为: abc ; 文件格式为:  ");
}

TEST(IsPlainFileName, RefusesStreamsAndDevices) {
  struct Case {
    const char *name, *extension;
    bool plain;
  };
  const Case cases[] = {
      {"setup", ".exe", true},
      {"我的文件", ".rar", true},
      {"CONSOLE", ".txt", true},
      {"COM10", ".bin", true},
      {"COM0", "", true},
      {"LPT", ".txt", true},
      {"xcon", ".txt", true},
      {"sub\\file", ".bin", true},
      {"\x95\x5C" "CON", ".txt", true},  // 0x5C is the trail byte of a GBK character, no "\"
      {"file", ":stream", false},
      {"file:stream", ".bin", false},
      {"file", ".bin:$DATA", false},
      {"CON", "", false},
      {"con", ".txt", false},
      {"Nul", ".tar.gz", false},
      {"AUX ", ".txt", false},  // blanks before the dot are dropped
      {"prn", ".", false},
      {"COM1", ".log", false},
      {"lpt9", "", false},
      {"conin$", "", false},
      {"CONOUT$", ".x", false},
      {"sub\\CON", ".txt", false},
      {"NUL\\file", ".bin", false},
      {"", "NUL", false},
      {"sub/aux", "", false},
  };
  for (const Case& c : cases) EXPECT_EQ(IsPlainFileName(c.name, c.extension), c.plain) << c.name << c.extension;
}
