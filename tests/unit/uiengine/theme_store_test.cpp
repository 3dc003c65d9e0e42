#include <gtest/gtest.h>

#include <cstring>

#include "base/codepage.h"
#include "uiengine/core/cached_background.h"
#include "pixel_helpers.h"
#include "theme_fixture.h"

namespace {

constexpr SIZE kScreen{300, 200};

using ThemeStore = ThemeFixture;

TEST_F(ThemeStore, ProbeFontTakesOnlyFamiliesThatExist) {
  EXPECT_FALSE(ProbeFont("No Such Family 41c9"));
  EXPECT_EQ("宋体", Theme().fontFamily);
  EXPECT_TRUE(ProbeFont("微软雅黑"));  // mapped to an installed font in the test prefix
  EXPECT_EQ("微软雅黑", Theme().fontFamily);
  EXPECT_TRUE(ProbeFont("微软雅黑"));
}

TEST_F(ThemeStore, AverageColourOfOneColourPictures) {
  struct Case {
    gdip::ARGB argb;
    Colour expected;
    const char* format;
    int tolerance;
  } cases[] = {
      {0xFFC86432, MakeColour(200, 100, 50), gdip::kFormatPng, 1},
      {0xFF000000, kBlack, gdip::kFormatPng, 0},
      {0xFFFFFFFF, kWhite, gdip::kFormatPng, 0},
      {0xFF3070D0, MakeColour(0x30, 0x70, 0xD0), gdip::kFormatJpeg, 6},
      {0xFF3070D0, MakeColour(0x30, 0x70, 0xD0), gdip::kFormatBmp, 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.format);
    Colour got = AverageColour(testpics::Solid(64, 48, c.argb, c.format));
    EXPECT_NEAR(RedOf(c.expected), RedOf(got), c.tolerance);
    EXPECT_NEAR(GreenOf(c.expected), GreenOf(got), c.tolerance);
    EXPECT_NEAR(BlueOf(c.expected), BlueOf(got), c.tolerance);
  }
  EXPECT_EQ(kBlack, AverageColour(ByteBuffer{}));
  EXPECT_EQ(kBlack, AverageColour(ByteBuffer{'n', 'o', 't', ' ', 'a', 'n', ' ', 'i', 'm', 'a', 'g', 'e'}));
}

TEST_F(ThemeStore, ColourFileFirstAppearsAtTheSecondApplication) {
  ByteBuffer picture = testpics::Solid(120, 80, 0xFFC86432);  // sum 350: white text
  ThemeCachePaths paths = PathsFor(picture);

  EXPECT_EQ(0, ApplyBackgroundPicture(picture));
  EXPECT_TRUE(testpics::Exists(paths.background));
  EXPECT_EQ(std::to_string(::GetSystemMetrics(SM_CXSCREEN)), testpics::ReadIniValue(paths.sizeFile, "pm", "1"));
  EXPECT_EQ(std::to_string(::GetSystemMetrics(SM_CYSCREEN)), testpics::ReadIniValue(paths.sizeFile, "pm", "2"));
  EXPECT_FALSE(testpics::Exists(paths.colourFile)) << "its folder did not exist when the colours were derived";
  EXPECT_EQ(MakeColour(200, 100, 50), Theme().colours.img_rgb);
  EXPECT_EQ(kWhite, Theme().colours.text_rgb1);
  EXPECT_EQ(kBlack, Theme().colours.text_rgb2);
  EXPECT_TRUE(Errors().empty());

  ApplyBackgroundPicture(picture);
  ASSERT_TRUE(testpics::Exists(paths.colourFile));
  EXPECT_EQ(std::to_string(MakeColour(200, 100, 50)), testpics::ReadIniValue(paths.colourFile, "rgb", "img_rgb"));
  EXPECT_EQ("16777215", testpics::ReadIniValue(paths.colourFile, "rgb", "text_rgb1"));
  EXPECT_EQ("0", testpics::ReadIniValue(paths.colourFile, "rgb", "text_rgb2"));

  // From now on a file that holds colours wins over the picture, and is only read.
  testpics::WriteIniValue(paths.colourFile, "rgb", "img_rgb", "255");
  testpics::WriteIniValue(paths.colourFile, "rgb", "text_rgb1", "32768");
  testpics::WriteIniValue(paths.colourFile, "rgb", "text_rgb2", "65280");
  const ByteBuffer edited = testpics::ReadFileBytes(paths.colourFile);
  ApplyBackgroundPicture(picture);
  EXPECT_EQ(255, Theme().colours.img_rgb);
  EXPECT_EQ(32768, Theme().colours.text_rgb1);
  EXPECT_EQ(65280, Theme().colours.text_rgb2);
  EXPECT_EQ(edited, testpics::ReadFileBytes(paths.colourFile));
}

TEST_F(ThemeStore, DamagedColourFileIsDerivedAndWrittenAgain) {
  ByteBuffer picture = testpics::Solid(120, 80, 0xFFC86432);  // sum 350: white text
  ThemeCachePaths paths = PathsFor(picture);
  const auto bytes = [](const Text& t) { return ByteBuffer(t.begin(), t.end()); };
  const ByteBuffer derived = bytes("[rgb]\r\nimg_rgb=" + std::to_string(MakeColour(200, 100, 50)) +
                                   "\r\ntext_rgb1=16777215\r\ntext_rgb2=0\r\n");
  ByteBuffer noise(5000);
  for (size_t i = 0; i < noise.size(); ++i) noise[i] = static_cast<unsigned char>(i * 167 + (i >> 5));
  struct Case {
    const char* what;
    ByteBuffer content;
  } cases[] = {
      {"random bytes", noise},
      {"empty", {}},
      {"a value cut off", bytes("[rgb]\r\nimg_rgb=13132\r\ntext_rgb1=16777215\r\ntext_rgb2=\r\n")},
      {"not numbers", bytes("[rgb]\r\nimg_rgb=255.6\r\ntext_rgb1=12abc\r\ntext_rgb2=1e30\r\n")},
      {"beyond a colour", bytes("[rgb]\r\nimg_rgb=-1\r\ntext_rgb1=16777216\r\ntext_rgb2=0\r\n")},
      {"text in its halo's colour", bytes("[rgb]\r\nimg_rgb=0\r\ntext_rgb1=0\r\ntext_rgb2=0\r\n")},
      {"far too large", ByteBuffer(100000, 'x')},
  };
  ApplyBackgroundPicture(picture);  // makes the folder
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    testpics::WriteFileBytes(paths.colourFile, c.content);
    ApplyBackgroundPicture(picture);
    EXPECT_EQ(MakeColour(200, 100, 50), Theme().colours.img_rgb);
    EXPECT_EQ(kWhite, Theme().colours.text_rgb1);
    EXPECT_EQ(kBlack, Theme().colours.text_rgb2);
    EXPECT_EQ(derived, testpics::ReadFileBytes(paths.colourFile)) << "rewritten whole";
    EXPECT_FALSE(testpics::Exists(paths.colourFile + ".new"));
  }

  // Writing disabled: the damage is not repaired, but not believed either.
  Theme().settingsWritingEnabled = false;
  testpics::WriteFileBytes(paths.colourFile, {});
  LoadThemeColours(picture);
  EXPECT_EQ(kWhite, Theme().colours.text_rgb1);
  EXPECT_TRUE(testpics::ReadFileBytes(paths.colourFile).empty());
}

TEST_F(ThemeStore, GivenColourIsUsedInsteadOfTheAverage) {
  ByteBuffer picture = testpics::Solid(20, 20, 0xFF000000);
  Theme().settingsWritingEnabled = false;
  LoadThemeColours(picture, MakeColour(128, 128, 127), true);
  EXPECT_EQ(MakeColour(128, 128, 127), Theme().colours.img_rgb);
  EXPECT_EQ(kBlack, Theme().colours.text_rgb1);
  EXPECT_EQ(kWhite, Theme().colours.text_rgb2);
}

TEST_F(ThemeStore, TheCacheIsReusedOnlyWhenItIsWhatTheSizeFileRecords) {
  ByteBuffer picture = testpics::Solid(60, 40, 0xFF204080);
  ThemeCachePaths paths = PathsFor(picture);
  // A recognisable cache: green, of the size recorded (+ 10 each way) unless told.
  struct Case {
    const char* width;  // null: no such key
    const char* height;
    int cacheWidth, cacheHeight;
    bool digest;  // the size file holds the digest of the cache's bytes
    bool reused;
  } cases[] = {
      {"250", "150", 260, 160, true, true},  // made on a smaller screen
      {"300", "200", 310, 210, true, true},
      {"300", "200", 310, 210, false, false},  // bytes we did not write
      {"300", "200", 7, 5, true, false},       // not the size we wrote
      {"301", "200", 311, 210, true, false},   // made on a wider screen
      {"300", "201", 310, 211, true, false},
      {nullptr, nullptr, 310, 210, false, false},
      {"", "", 310, 210, true, false},
      {"300", nullptr, 310, 210, true, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.width ? c.width : "(none)") + " x " + (c.height ? c.height : "(none)"));
    testpics::RemoveTree(paths.engineFolder);
    ::CreateDirectoryW(Widen(paths.engineFolder).c_str(), nullptr);
    ::CreateDirectoryW(Widen(paths.pictureFolder).c_str(), nullptr);
    gdip::Bitmap marker = testpix::SolidBitmap(c.cacheWidth, c.cacheHeight, 0xFF00FF00);
    ASSERT_TRUE(marker.SaveToFile(paths.background, gdip::kFormatJpeg));
    if (c.width) testpics::WriteIniValue(paths.sizeFile, "pm", "1", c.width);
    if (c.height) testpics::WriteIniValue(paths.sizeFile, "pm", "2", c.height);
    const ByteBuffer written = testpics::ReadFileBytes(paths.background);
    testpics::WriteIniValue(paths.sizeFile, "pm", "md5", c.digest ? PictureKey(written) : Text(32, '0'));

    gdip::Bitmap target;
    ComposeBackgroundForScreen(target, picture, true, kScreen);
    ASSERT_TRUE(target.valid());
    EXPECT_EQ(300, Theme().composedWidth);
    if (c.reused) {
      EXPECT_EQ(static_cast<UINT>(c.cacheWidth), target.Width());
      EXPECT_EQ(gdip::kFormatJpeg, target.RawFormat());
      EXPECT_ARGB_NEAR(0xFF00FF00u, target.GetPixel(3, 3), 8);
    } else {
      EXPECT_EQ(310u, target.Width());
      EXPECT_EQ(210u, target.Height());
      EXPECT_EQ("300", testpics::ReadIniValue(paths.sizeFile, "pm", "1"));
      EXPECT_EQ("200", testpics::ReadIniValue(paths.sizeFile, "pm", "2"));
      gdip::Bitmap rewritten;
      ASSERT_TRUE(rewritten.LoadFromFile(paths.background));
      EXPECT_EQ(310u, rewritten.Width());
    }
  }
}

TEST_F(ThemeStore, DamagedOrPlantedCacheIsComposedAgainWithoutDecodingIt) {
  ByteBuffer picture = testpics::Solid(60, 40, 0xFF204080);
  ThemeCachePaths paths = PathsFor(picture);
  ByteBuffer sound = testpics::Solid(310, 210, 0xFF00FF00, gdip::kFormatJpeg);
  // The frame header of a JPEG GDI+ wrote follows its tables: find SOF0 (FF C0).
  size_t sof = 2;
  while (sof + 4 <= sound.size() && sound[sof + 1] != 0xC0) sof += 2 + (sound[sof + 2] << 8 | sound[sof + 3]);
  ASSERT_LT(sof + 9, sound.size());
  ByteBuffer huge = sound;  // claims 65000 x 65000: gigabytes once decoded
  huge[sof + 5] = huge[sof + 7] = 0xFD;
  huge[sof + 6] = huge[sof + 8] = 0xE8;
  ByteBuffer large(sound);
  large.insert(large.end() - 2, 300000, 0);
  ByteBuffer flipped(sound);  // the markers whole, one byte of the scan changed
  size_t middle = sound.size() * 3 / 4;
  while (flipped[middle] >= 0xFE || flipped[middle - 1] == 0xFF) ++middle;
  flipped[middle] ^= 0x01;
  struct Case {
    const char* what;
    ByteBuffer content;
  } cases[] = {
      {"garbage", {'g', 'a', 'r', 'b', 'a', 'g', 'e'}},
      {"header claiming 65000 x 65000", huge},
      {"cut short", ByteBuffer(sound.begin(), sound.begin() + sound.size() / 2)},
      {"empty", {}},
      {"larger than the picture could be", large},
      {"a byte of the scan changed", flipped},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    testpics::RemoveTree(paths.engineFolder);
    ::CreateDirectoryW(Widen(paths.engineFolder).c_str(), nullptr);
    ::CreateDirectoryW(Widen(paths.pictureFolder).c_str(), nullptr);
    testpics::WriteFileBytes(paths.background, c.content);
    testpics::WriteFileBytes(paths.background + ".new", ByteBuffer(300000, 'x'));  // left by a stopped save
    testpics::WriteIniValue(paths.sizeFile, "pm", "1", "300");
    testpics::WriteIniValue(paths.sizeFile, "pm", "2", "200");
    testpics::WriteIniValue(paths.sizeFile, "pm", "md5", PictureKey(sound));  // what was written

    gdip::Bitmap target;
    ComposeBackgroundForScreen(target, picture, true, kScreen);
    EXPECT_EQ(310u, target.Width());
    EXPECT_NE(gdip::kFormatJpeg, target.RawFormat()) << "composed, not loaded";
    EXPECT_EQ(ToArgb(AverageColour(picture)), target.GetPixel(200, 150));
    // Replaced whole by the JPEG of what was composed.
    const ByteBuffer rewritten = testpics::ReadFileBytes(paths.background);
    EXPECT_TRUE(IsCachedBackgroundOf(rewritten.data(), rewritten.size(), PixelSize{310, 210}));
    EXPECT_EQ(PictureKey(rewritten), testpics::ReadIniValue(paths.sizeFile, "pm", "md5"));
    EXPECT_FALSE(testpics::Exists(paths.background + ".new"));
    EXPECT_TRUE(Errors().empty());
  }
}

TEST_F(ThemeStore, WithoutForceABackgroundForAWideEnoughScreenIsKept) {
  ByteBuffer picture = testpics::Solid(60, 40, 0xFF204080);
  Theme().settingsWritingEnabled = false;
  gdip::Bitmap target;
  ComposeBackgroundForScreen(target, picture, false, kScreen);
  ASSERT_EQ(310u, target.Width());
  auto* first = target.handle();

  ComposeBackgroundForScreen(target, picture, false, SIZE{280, 200});
  EXPECT_EQ(first, target.handle()) << "narrower screen: left alone";
  ComposeBackgroundForScreen(target, picture, false, kScreen);
  EXPECT_EQ(first, target.handle()) << "same width: left alone";
  EXPECT_EQ(300, Theme().composedWidth);

  ComposeBackgroundForScreen(target, picture, false, SIZE{320, 240});
  EXPECT_EQ(330u, target.Width()) << "wider screen: composed again";
  EXPECT_EQ(320, Theme().composedWidth);
  ComposeBackgroundForScreen(target, picture, true, kScreen);
  EXPECT_EQ(310u, target.Width()) << "forced";
}

TEST_F(ThemeStore, WritingDisabledLeavesNoTrace) {
  Theme().settingsWritingEnabled = false;
  ByteBuffer picture = testpics::Solid(40, 30, 0xFFFFFFFF);
  ApplyBackgroundPicture(picture);
  ApplyBackgroundPicture(picture);
  EXPECT_FALSE(testpics::Exists(PathsFor(picture).engineFolder));
  EXPECT_TRUE(Errors().empty());
  EXPECT_EQ(kWhite, Theme().colours.img_rgb);
  EXPECT_EQ(kBlack, Theme().colours.text_rgb1);
  EXPECT_EQ(kWhite, Theme().colours.text_rgb2);
  EXPECT_EQ(static_cast<UINT>(::GetSystemMetrics(SM_CXSCREEN) + 10), Theme().background.Width());
  EXPECT_EQ(static_cast<UINT>(::GetSystemMetrics(SM_CYSCREEN) + 10), Theme().background.Height());
}

TEST_F(ThemeStore, UndecodablePictureGivesOpaqueBlackAndWhiteText) {
  Theme().settingsWritingEnabled = false;
  ByteBuffer garbage = {'G', 'I', 'F', '8', '9', 'a', 0, 1, 2};
  ApplyBackgroundPicture(garbage);
  EXPECT_EQ(kBlack, Theme().colours.img_rgb);
  EXPECT_EQ(16777215, Theme().colours.text_rgb1);
  EXPECT_EQ(0, Theme().colours.text_rgb2);
  gdip::Bitmap& bg = Theme().background;
  ASSERT_TRUE(bg.valid());
  EXPECT_EQ(0xFF000000u, bg.GetPixel(0, 0));
  EXPECT_EQ(0xFF000000u, bg.GetPixel(bg.Width() - 1, bg.Height() - 1));
  EXPECT_EQ(0xFF000000u, bg.GetPixel(bg.Width() / 2, bg.Height() / 2));
}

TEST_F(ThemeStore, UnwritableBackgroundShowsTheErrorAndStillRecordsTheSize) {
  ByteBuffer picture = testpics::Solid(40, 30, 0xFF808080);
  ThemeCachePaths paths = PathsFor(picture);
  // A folder where the background file should go: loading it fails, so the
  // background is composed, and saving it fails too.
  ::CreateDirectoryW(Widen(paths.engineFolder).c_str(), nullptr);
  ::CreateDirectoryW(Widen(paths.pictureFolder).c_str(), nullptr);
  ::CreateDirectoryW(Widen(paths.background).c_str(), nullptr);

  ApplyBackgroundPicture(picture);
  ASSERT_EQ(1u, Errors().size());
  EXPECT_EQ("无法写出配置文件：" + paths.background, Errors()[0]);
  EXPECT_EQ(std::to_string(::GetSystemMetrics(SM_CXSCREEN)), testpics::ReadIniValue(paths.sizeFile, "pm", "1"));
  EXPECT_TRUE(Theme().background.valid());
}

TEST_F(ThemeStore, EmptyApplicationDataPathWritesAtTheRootOfTheCurrentDrive) {
  EXPECT_EQ("\\E_UIEngine\\", CachePathsFor("", "k").engineFolder);
  EXPECT_EQ("\\E_UIEngine\\k\\k.jpg.data", CachePathsFor("", "k").sizeFile);

  ByteBuffer picture = testpics::Solid(40, 30, 0xFF112233);
  Text key = PictureKey(picture);
  appData_.PointAt("");
  WCHAR oldDir[MAX_PATH];
  ::GetCurrentDirectoryW(MAX_PATH, oldDir);
  ::SetCurrentDirectoryW(Widen(appData_.path()).c_str());
  ApplyBackgroundPicture(picture);
  Text jpg = "\\E_UIEngine\\" + key + "\\" + key + ".jpg";
  bool written = testpics::Exists(jpg);
  testpics::RemoveTree(Text("\\E_UIEngine\\") + key);
  ::RemoveDirectoryW(L"\\E_UIEngine");
  ::SetCurrentDirectoryW(oldDir);
  EXPECT_TRUE(written);
  EXPECT_TRUE(Errors().empty());
}

TEST_F(ThemeStore, ComposedBackgroundFadesThePictureIntoItsTint) {
  Theme().settingsWritingEnabled = false;
  // A one-pixel checkerboard: neighbours always differ, whatever one pixel the
  // average is taken from.
  ByteBuffer picture = testpics::Checker(120, 90, 0xFFE02020, 0xFF2020E0);
  Colour tint = AverageColour(picture);
  gdip::ARGB t = ToArgb(tint);
  gdip::Bitmap target;
  ComposeBackgroundForScreen(target, picture, true, kScreen);
  ASSERT_EQ(310u, target.Width());
  ASSERT_EQ(210u, target.Height());

  // Inside the picture, away from the fades: the picture itself.
  EXPECT_EQ(0xFFE02020u, target.GetPixel(20, 20));
  EXPECT_EQ(0xFF2020E0u, target.GetPixel(21, 20));
  // The last column and row have almost become the tint.
  for (int y : {10, 11}) EXPECT_ARGB_NEAR(t, target.GetPixel(119, y), 24);
  for (int x : {10, 11}) EXPECT_ARGB_NEAR(t, target.GetPixel(x, 89), 24);
  // Halfway through the right-hand fade the checker still shows, but softened.
  int left = testpix::Channel(target.GetPixel(95, 20), 16), right = testpix::Channel(target.GetPixel(96, 20), 16);
  EXPECT_GT(std::abs(left - right), 20);
  EXPECT_LT(std::abs(left - right), 0xE0 - 0x20);
  // Outside the picture: plain opaque tint.
  EXPECT_EQ(t, target.GetPixel(200, 20));
  EXPECT_EQ(t, target.GetPixel(20, 150));
  EXPECT_EQ(t, target.GetPixel(309, 209));
}

TEST_F(ThemeStore, PictureSmallerThanTheFadesIsStillComposed) {
  Theme().settingsWritingEnabled = false;
  ByteBuffer picture = testpics::Checker(30, 20, 0xFFE02020, 0xFF2020E0);
  gdip::ARGB t = ToArgb(AverageColour(picture));
  gdip::Bitmap target;
  ComposeBackgroundForScreen(target, picture, true, kScreen);
  ASSERT_EQ(310u, target.Width());
  EXPECT_ARGB_NEAR(t, target.GetPixel(29, 5), 24);
  EXPECT_EQ(t, target.GetPixel(100, 100));
}

// Records the theme messages each window receives.
std::vector<std::pair<HWND, UINT>> g_themeMessages;

LRESULT CALLBACK RecordingProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == kThemeChangingMessage || message == kThemeChangedMessage) {
    g_themeMessages.push_back({hwnd, message});
    return 0;
  }
  return ::DefWindowProcW(hwnd, message, wParam, lParam);
}

TEST_F(ThemeStore, ThemedWindowsAreToldInListOrder) {
  Theme().settingsWritingEnabled = false;
  WNDCLASSW wc{};
  wc.lpfnWndProc = RecordingProc;
  wc.hInstance = ::GetModuleHandleW(nullptr);
  wc.lpszClassName = L"LanshiThemeRecorder";
  ::RegisterClassW(&wc);
  UniqueWindow a(::CreateWindowExW(0, wc.lpszClassName, L"a", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                   wc.hInstance, nullptr));
  UniqueWindow b(::CreateWindowExW(0, wc.lpszClassName, L"b", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                   wc.hInstance, nullptr));
  ByteBuffer picture = testpics::Solid(20, 20, 0xFF445566);

  g_themeMessages.clear();
  EXPECT_EQ(0, ApplyBackgroundPicture(picture));
  EXPECT_TRUE(g_themeMessages.empty());

  ThemedWindows() = {b.get(), a.get()};
  EXPECT_EQ(2, ApplyBackgroundPicture(picture));
  std::vector<std::pair<HWND, UINT>> expected = {{b.get(), 0x401}, {b.get(), 0x402}, {a.get(), 0x401}, {a.get(), 0x402}};
  EXPECT_EQ(expected, g_themeMessages);
}

TEST_F(ThemeStore, EmbeddedPictureComposedForTheRealScreenIsReadBackFromTheCache) {
  ByteBuffer picture = testpics::EmbeddedBackground();
  ASSERT_GT(picture.size(), 4u);
  EXPECT_EQ((ByteBuffer{0xFF, 0xD8, 0xFF, 0xE0}), ByteBuffer(picture.begin(), picture.begin() + 4));
  {
    gdip::Image decoded;
    ASSERT_TRUE(decoded.LoadFromBytes(picture));
    EXPECT_EQ(1077u, decoded.Width());
    EXPECT_EQ(743u, decoded.Height());
  }
  ThemeCachePaths paths = PathsFor(picture);
  const UINT width = ::GetSystemMetrics(SM_CXSCREEN) + 10, height = ::GetSystemMetrics(SM_CYSCREEN) + 10;

  ApplyBackgroundPicture(picture);
  ThemeSettings first = Theme().colours;
  EXPECT_EQ(width, Theme().background.Width());
  EXPECT_EQ(height, Theme().background.Height());
  EXPECT_NE(gdip::kFormatJpeg, Theme().background.RawFormat()) << "composed in memory";
  ASSERT_TRUE(testpics::Exists(paths.background));
  EXPECT_FALSE(testpics::Exists(paths.colourFile));
  // Our artwork is a light blue: dark text on it.
  EXPECT_GT(BlueOf(first.img_rgb), RedOf(first.img_rgb));
  EXPECT_EQ(kBlack, first.text_rgb1);

  ApplyBackgroundPicture(picture);
  EXPECT_EQ(gdip::kFormatJpeg, Theme().background.RawFormat()) << "read back from the cache";
  EXPECT_EQ(width, Theme().background.Width());
  EXPECT_EQ(height, Theme().background.Height());
  EXPECT_TRUE(testpics::Exists(paths.colourFile));
  EXPECT_EQ(first.img_rgb, Theme().colours.img_rgb);
  EXPECT_EQ(first.text_rgb1, Theme().colours.text_rgb1);
  EXPECT_EQ(first.text_rgb2, Theme().colours.text_rgb2);
}

}  // namespace
