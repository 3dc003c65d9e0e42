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

TEST(IsPlainTarget, RefusesWhatIsNotOnePlainFileOnOneDrive) {
  struct Case {
    const char *drive, *name, *extension;
    bool plain;
  };
  const Case cases[] = {
      {"e", "setup", ".exe", true},
      {"Z", "我的文件", ".rar", true},
      {"t", "CONSOLE", ".txt", true},
      {"t", "COM10", ".bin", true},
      {"t", "LPT", ".txt", true},
      {"t", "xcon", ".txt", true},
      {"t", "", ".bin", true},
      {"t", "\x95\x5C" "CON", ".txt", true},  // 0x5C and 0x7C as trail bytes of GBK characters
      {"t", "\x81\x7C", "", true},
      // The drive: one letter.
      {"", "setup", ".exe", false},
      {"e:", "setup", ".exe", false},
      {"ee", "setup", ".exe", false},
      {"1", "setup", ".exe", false},
      {"CON", "setup", ".exe", false},
      {"\xA3\xC5", "setup", ".exe", false},  // a full-width E
      // Characters Windows forbids in file names.
      {"t", "", "", false},
      {"t", "sub\\file", ".bin", false},
      {"t", "sub/file", ".bin", false},
      {"t", "file", ":stream", false},
      {"t", "file:stream", ".bin", false},
      {"t", "ke?p", ".bin", false},
      {"t", "ke*p", ".bin", false},
      {"t", "a<b>c", "", false},
      {"t", "a\"b", "", false},
      {"t", "a|b", "", false},
      {"t", "tab\there", ".bin", false},
      {"t", "file", ".b\x1Fn", false},
      // Devices, with or without an extension.
      {"t", "CON", "", false},
      {"t", "con", ".txt", false},
      {"t", "Nul", ".tar.gz", false},
      {"t", "AUX ", ".txt", false},  // blanks before the dot are dropped
      {"t", "prn", ".", false},
      {"t", "COM1", ".log", false},
      {"t", "COM0", "", false},
      {"t", "lpt0", ".x", false},
      {"t", "lpt9", "", false},
      {"t", "conin$", "", false},
      {"t", "CONOUT$", ".x", false},
      {"t", "", "NUL", false},
  };
  for (const Case& c : cases)
    EXPECT_EQ(IsPlainTarget(c.drive, c.name, c.extension), c.plain) << c.drive << "|" << c.name << "|" << c.extension;
}
