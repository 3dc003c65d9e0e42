#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "download/download_session.h"

namespace {

std::wstring TempFilePath() {
  wchar_t folder[MAX_PATH], path[MAX_PATH];
  ::GetTempPathW(MAX_PATH, folder);
  ::GetTempFileNameW(folder, L"dls", 0, path);
  return path;
}

UniqueFile OpenForWriting(const std::wstring& path) {
  return UniqueFile(::CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
}

bool CanOpenExclusively(const std::wstring& path) {
  return UniqueFile(::CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr)).valid();
}

}  // namespace

TEST(DownloadSession, StopClosesThePartialFileAndNothingIsWrittenAfter) {
  const std::wstring path = TempFilePath();
  DownloadSession session({});
  ASSERT_EQ(session.OpenFile([&] { return OpenForWriting(path); }), Outcome::Done);
  EXPECT_EQ(session.Write("abc", 3), Outcome::Done);
  EXPECT_FALSE(CanOpenExclusively(path));

  session.Stop();
  EXPECT_TRUE(session.stopped());
  EXPECT_EQ(::WaitForSingleObject(session.stopEvent(), 0), WAIT_OBJECT_0);
  EXPECT_TRUE(CanOpenExclusively(path));  // closed by Stop
  EXPECT_EQ(session.Write("def", 3), Outcome::Stopped);

  // After Stop no file is opened (so none is created or truncated) and none renamed.
  bool ran = false;
  EXPECT_EQ(session.OpenFile([&] { ran = true; return OpenForWriting(path + L".2"); }),
            Outcome::Stopped);
  EXPECT_EQ(session.CloseFileAndChange([&] { ran = true; return true; }), Outcome::Stopped);
  EXPECT_FALSE(ran);
  EXPECT_EQ(::GetFileAttributesW((path + L".2").c_str()), INVALID_FILE_ATTRIBUTES);

  WIN32_FILE_ATTRIBUTE_DATA data;
  ASSERT_TRUE(::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data));
  EXPECT_EQ(data.nFileSizeLow, 3u);  // the bytes written before Stop stay
  EXPECT_EQ(session.ShowMessageUnlessStopped("never shown"), 0);
  ::DeleteFileW(path.c_str());
  ::DeleteFileW((path + L".2").c_str());
}

TEST(DownloadSession, ReportsAreCoalescedAndTheWindowIsToldOnlyWhenItWaits) {
  DownloadSession session({});
  EXPECT_TRUE(session.PublishReport({100, 10, 10, 10}));   // the first news is told
  EXPECT_FALSE(session.PublishReport({100, 20, 20, 20}));  // not taken yet: only kept
  EXPECT_FALSE(session.PublishReport({100, 30, 30, 30}));
  auto latest = session.TakeReport();
  ASSERT_TRUE(latest);
  EXPECT_EQ(latest->done, 30);
  // The window found news at its look: the next report waits for the next look.
  EXPECT_FALSE(session.PublishReport({100, 40, 40, 40}));
  EXPECT_EQ(session.TakeReport()->done, 40);
  // A look that finds nothing makes the window wait: the next report is told.
  EXPECT_FALSE(session.TakeReport());
  EXPECT_TRUE(session.PublishReport({100, 50, 50, 50}));
}
