// The desktop shortcut (registry lookup, link file written and read back) and
// the skin library file beside the program.
#include <gtest/gtest.h>

#include <cstring>
#include <windows.h>
#include <objbase.h>

#include <string>
#include <vector>

#include "base/codepage.h"
#include "base/unique_handle.h"
#include "commands/desktop_shortcut.h"
#include "commands/skin_library_file.h"
#include "resources/resource_ids.h"
#include "shortcut_reader.h"

namespace {

const wchar_t kShellFolders[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

// Sets (or removes) the "Desktop" value for one test and puts the old one back.
class DesktopValue {
 public:
  DesktopValue() {
    ::RegCreateKeyExW(HKEY_CURRENT_USER, kShellFolders, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key_, nullptr);
    DWORD size = 0;
    had_ = ::RegQueryValueExW(key_, L"Desktop", nullptr, &type_, nullptr, &size) == ERROR_SUCCESS;
    if (had_) {
      old_.resize(size);
      ::RegQueryValueExW(key_, L"Desktop", nullptr, &type_, old_.data(), &size);
    }
  }
  ~DesktopValue() {
    if (had_) ::RegSetValueExW(key_, L"Desktop", 0, type_, old_.data(), static_cast<DWORD>(old_.size()));
    else ::RegDeleteValueW(key_, L"Desktop");
    ::RegCloseKey(key_);
  }
  void Set(DWORD type, const std::wstring& text) {
    ::RegSetValueExW(key_, L"Desktop", 0, type, reinterpret_cast<const BYTE*>(text.c_str()),
                     static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
  }
  void SetDword(DWORD v) {
    ::RegSetValueExW(key_, L"Desktop", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&v), sizeof(v));
  }
  void Remove() { ::RegDeleteValueW(key_, L"Desktop"); }

 private:
  HKEY key_ = nullptr;
  bool had_ = false;
  DWORD type_ = 0;
  std::vector<BYTE> old_;
};

// A fresh folder under the temporary folder, with a Chinese name.
class TempFolder {
 public:
  TempFolder() {
    wchar_t temp[MAX_PATH];
    ::GetTempPathW(MAX_PATH, temp);
    path_ = Narrow(temp) + "岚石测试" + std::to_string(::GetCurrentProcessId()) + "_" + std::to_string(++counter_);
    ::CreateDirectoryW(Widen(path_).c_str(), nullptr);
  }
  ~TempFolder() {
    // Remove whatever the test left (files and one level of folders).
    WIN32_FIND_DATAW found;
    UniqueFind find(::FindFirstFileW(Widen(path_ + "\\*").c_str(), &found));
    if (find) {
      do {
        const std::wstring name = found.cFileName;
        if (name == L"." || name == L"..") continue;
        const std::wstring full = Widen(path_) + L"\\" + name;
        ::SetFileAttributesW(full.c_str(), FILE_ATTRIBUTE_NORMAL);
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ::RemoveDirectoryW(full.c_str());
        else ::DeleteFileW(full.c_str());
      } while (::FindNextFileW(find.get(), &found));
    }
    ::RemoveDirectoryW(Widen(path_).c_str());
  }
  const Text& path() const { return path_; }
  Text operator/(std::string_view name) const { return JoinTexts({path_, "\\", name}); }

 private:
  static inline int counter_ = 0;
  Text path_;
};

bool Exists(const Text& path) { return ::GetFileAttributesW(Widen(path).c_str()) != INVALID_FILE_ATTRIBUTES; }

std::vector<unsigned char> ReadAll(const Text& path) {
  std::vector<unsigned char> data;
  UniqueFile file(::CreateFileW(Widen(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
  if (!file) return data;
  unsigned char buffer[4096];
  DWORD got = 0;
  while (::ReadFile(file.get(), buffer, sizeof(buffer), &got, nullptr) && got) data.insert(data.end(), buffer, buffer + got);
  return data;
}

// Link texts come back in the ANSI code page; the tests run with code page 936.
std::string AnsiOf(std::string_view gbk) {
  const std::wstring wide = Widen(gbk);
  const int n = ::WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<size_t>(n), '\0');
  ::WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), out.data(), n, nullptr, nullptr);
  return out;
}

class ComThread : public ::testing::Test {
 protected:
  void SetUp() override { ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED); }
  void TearDown() override { ::CoUninitialize(); }
};

}  // namespace

TEST(DesktopFolder, ReadsTheShellFoldersValueByType) {
  DesktopValue value;
  value.Set(REG_SZ, L"C:\\Users\\测试\\桌面");
  EXPECT_EQ(DesktopFolder("Desktop"), "C:\\Users\\测试\\桌面");
  EXPECT_EQ(ShortcutPath(), "C:\\Users\\测试\\桌面\\岚石万能下载器.lnk");

  ::SetEnvironmentVariableW(L"LANSHI_TEST_PROFILE", L"D:\\用户\\张三");
  value.Set(REG_EXPAND_SZ, L"%LANSHI_TEST_PROFILE%\\Desktop");
  EXPECT_EQ(DesktopFolder("Desktop"), "D:\\用户\\张三\\Desktop");
  // REG_SZ is taken as stored, even when it looks like a variable.
  value.Set(REG_SZ, L"%LANSHI_TEST_PROFILE%\\Desktop");
  EXPECT_EQ(DesktopFolder("Desktop"), "%LANSHI_TEST_PROFILE%\\Desktop");

  const std::wstring longFolder = L"C:\\" + std::wstring(700, L'x');
  value.Set(REG_SZ, longFolder);
  EXPECT_EQ(DesktopFolder("Desktop"), Narrow(longFolder));

  value.SetDword(5);
  EXPECT_EQ(DesktopFolder("Desktop"), "");
  value.Remove();
  EXPECT_EQ(DesktopFolder("Desktop"), "");
  EXPECT_EQ(ShortcutPath(), "\\岚石万能下载器.lnk");
  EXPECT_EQ(DesktopFolder("NoSuchFolderName"), "");
}

TEST(DesktopFolder, LinkFileNameAddsLnkOnlyWithoutAnExtension) {
  struct Case {
    const char* path;
    const char* saved;
  };
  const Case cases[] = {
      {"C:\\桌面\\岚石万能下载器.lnk", "C:\\桌面\\岚石万能下载器.lnk"},
      {"C:\\桌面\\快捷方式", "C:\\桌面\\快捷方式.lnk"},
      {"C:\\john.doe\\Desktop\\link", "C:\\john.doe\\Desktop\\link.lnk"},  // a point in a folder is no extension
      {"C:\\桌面\\a.b", "C:\\桌面\\a.b"},
      {"link", "link.lnk"},
  };
  for (const Case& c : cases) EXPECT_EQ(LinkFileName(c.path), c.saved) << c.path;
}

TEST_F(ComThread, ShortcutFileCarriesEveryField) {
  TempFolder folder;
  const Text link = folder / "岚石万能下载器.lnk";
  const Text target = folder / "LanshiDownloader.exe";
  ASSERT_TRUE(CreateShortcutFile(link, target, "岚石万能下载工具", "auto", folder.path()));

  const ShortcutFields f = ReadShortcut(Widen(link));
  ASSERT_TRUE(f.loaded);
  EXPECT_EQ(f.target, AnsiOf(target));
  EXPECT_EQ(f.arguments, "auto");
  EXPECT_EQ(f.description, AnsiOf("岚石万能下载工具"));
  EXPECT_EQ(f.workingDirectory, AnsiOf(folder.path()));
  // The link format keeps the show command in its header; readers take any
  // value other than 1, 3 and 7 as SW_SHOWNORMAL, which is what SW_SHOW does.
  const std::vector<unsigned char> bytes = ReadAll(link);
  ASSERT_GE(bytes.size(), 0x4Cu);
  EXPECT_EQ(bytes[0x3C], SW_SHOW) << "stored show command";
  EXPECT_TRUE(f.showCommand == SW_SHOW || f.showCommand == SW_SHOWNORMAL) << f.showCommand;
  EXPECT_EQ(f.iconPath, "");
  EXPECT_EQ(f.hotkey, 0);
}

TEST_F(ComThread, ShortcutReplacesAnExistingFileAndAddsLnk) {
  TempFolder folder;
  const Text link = folder / "快捷方式.lnk";
  ASSERT_TRUE(CreateShortcutFile(link, folder / "old.exe", "old", "old", "C:\\"));
  ASSERT_TRUE(CreateShortcutFile(link, folder / "new.exe"));
  ShortcutFields f = ReadShortcut(Widen(link));
  EXPECT_EQ(f.target, AnsiOf(folder / "new.exe"));
  EXPECT_EQ(f.arguments, "");
  EXPECT_EQ(f.description, "");
  EXPECT_EQ(f.workingDirectory, "");

  ASSERT_TRUE(CreateShortcutFile(folder / "无扩展名", folder / "new.exe", "d", "a", folder.path()));
  EXPECT_TRUE(Exists(folder / "无扩展名.lnk"));
  EXPECT_FALSE(Exists(folder / "无扩展名"));

  EXPECT_FALSE(CreateShortcutFile(folder / "no such folder\\x.lnk", folder / "new.exe"));
  // The link file is not held open: it can be deleted at once.
  EXPECT_TRUE(::DeleteFileW(Widen(link).c_str())) << ::GetLastError();
}

TEST(SkinLibraryFile, WrittenOnceHiddenAndWhole) {
  TempFolder folder;
  const Text path = folder / "SkinH_EL.dll";
  std::vector<unsigned char> image(100000);
  for (size_t i = 0; i < image.size(); ++i) image[i] = static_cast<unsigned char>(i * 7 + (i >> 8));

  EXPECT_EQ(WriteHiddenFileIfAbsent(path, image.data(), image.size()), HiddenFileOutcome::kWritten);
  EXPECT_EQ(ReadAll(path), image);
  // Hidden only (Wine adds the archive bit to every file it reports).
  EXPECT_EQ(::GetFileAttributesW(Widen(path).c_str()) & ~static_cast<DWORD>(FILE_ATTRIBUTE_ARCHIVE),
            static_cast<DWORD>(FILE_ATTRIBUTE_HIDDEN));

  // Present (hidden or not, whatever it holds): left as it is.
  const unsigned char other[] = {1, 2, 3};
  EXPECT_EQ(WriteHiddenFileIfAbsent(path, other, sizeof(other)), HiddenFileOutcome::kPresent);
  EXPECT_EQ(ReadAll(path), image);
  ::SetFileAttributesW(Widen(path).c_str(), FILE_ATTRIBUTE_NORMAL);
  EXPECT_EQ(WriteHiddenFileIfAbsent(path, other, sizeof(other)), HiddenFileOutcome::kPresent);
  EXPECT_FALSE(::GetFileAttributesW(Widen(path).c_str()) & FILE_ATTRIBUTE_HIDDEN);

  // A folder of that name counts as present too.
  const Text dir = folder / "folder.dll";
  ::CreateDirectoryW(Widen(dir).c_str(), nullptr);
  EXPECT_EQ(WriteHiddenFileIfAbsent(dir, other, sizeof(other)), HiddenFileOutcome::kPresent);
  EXPECT_TRUE(::GetFileAttributesW(Widen(dir).c_str()) & FILE_ATTRIBUTE_DIRECTORY);

  // Nowhere to write: nothing is left behind.
  const Text nowhere = folder / "missing\\SkinH_EL.dll";
  EXPECT_EQ(WriteHiddenFileIfAbsent(nowhere, other, sizeof(other)), HiddenFileOutcome::kWriteFailed);
  EXPECT_FALSE(Exists(nowhere));
}

TEST(SkinLibraryFile, ADamagedFileIsToldFromOurs) {
  TempFolder folder;
  const Text path = folder / "SkinH_EL.dll";
  const unsigned char ours[] = {'o', 'u', 'r', 's'};
  const unsigned char damaged[] = {'o', 'u', 'r'};
  ASSERT_EQ(WriteHiddenFileIfAbsent(path, damaged, sizeof(damaged)), HiddenFileOutcome::kWritten);
  EXPECT_TRUE(IsPlainFile(path));
  EXPECT_TRUE(FileHoldsBytes(path, damaged, sizeof(damaged)));
  EXPECT_FALSE(FileHoldsBytes(path, ours, sizeof(ours)));  // cut short
  EXPECT_FALSE(FileHoldsBytes(path, ours, 2));             // longer

  // Nothing there, or a folder: not a file to compare.
  const Text dir = folder / "folder.dll";
  ::CreateDirectoryW(Widen(dir).c_str(), nullptr);
  for (const Text& p : {folder / "missing.dll", dir}) {
    EXPECT_FALSE(IsPlainFile(p));
    EXPECT_FALSE(FileHoldsBytes(p, ours, 0));
  }
}

TEST(SkinLibraryFile, AsideNamesCountUpFromBad) {
  EXPECT_EQ("C:\\p\\SkinH_EL.dll.bad", AsideName("C:\\p\\SkinH_EL.dll", 0));
  EXPECT_EQ("C:\\p\\SkinH_EL.dll.bad.1", AsideName("C:\\p\\SkinH_EL.dll", 1));
  EXPECT_EQ("x.bad.99", AsideName("x", kAsideCopyLimit - 1));
}

TEST(SkinLibraryFile, EveryCopySetAsideIsKeptAsTheUserLeftIt) {
  TempFolder folder;
  const Text path = folder / "SkinH_EL.dll";
  const auto bytes = [](const char* t) { return std::vector<unsigned char>(t, t + std::strlen(t)); };
  const auto put = [&](const Text& p, const char* t) {
    const std::vector<unsigned char> b = bytes(t);
    ASSERT_EQ(WriteHiddenFileIfAbsent(p, b.data(), b.size()), HiddenFileOutcome::kWritten);
  };
  // An older copy the user made read-only, and a folder where the next name would be.
  put(AsideName(path, 0), "older");
  const DWORD userAttributes = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_READONLY;
  ::SetFileAttributesW(Widen(AsideName(path, 0)).c_str(), userAttributes);
  ::CreateDirectoryW(Widen(AsideName(path, 1)).c_str(), nullptr);

  put(path, "first damage");
  EXPECT_TRUE(SetFileAside(path, 4));
  EXPECT_FALSE(Exists(path));
  EXPECT_EQ(ReadAll(AsideName(path, 2)), bytes("first damage"));
  put(path, "second damage");
  EXPECT_TRUE(SetFileAside(path, 4));
  EXPECT_EQ(ReadAll(AsideName(path, 3)), bytes("second damage"));

  // Every name taken: nothing moves and nothing is replaced.
  put(path, "third damage");
  EXPECT_FALSE(SetFileAside(path, 4));
  EXPECT_EQ(ReadAll(path), bytes("third damage"));
  EXPECT_EQ(ReadAll(AsideName(path, 0)), bytes("older"));
  EXPECT_EQ(::GetFileAttributesW(Widen(AsideName(path, 0)).c_str()) & ~static_cast<DWORD>(FILE_ATTRIBUTE_ARCHIVE),
            userAttributes);
  EXPECT_EQ(ReadAll(AsideName(path, 2)), bytes("first damage"));
  EXPECT_EQ(ReadAll(AsideName(path, 3)), bytes("second damage"));

  // Nothing there: nothing to move.
  EXPECT_FALSE(SetFileAside(folder / "missing.dll"));
}

TEST(SkinLibraryFile, SkinNumbersMapToResources) {
  EXPECT_EQ(SkinResourceId(1), 1001);
  EXPECT_EQ(SkinResourceId(10), 1010);
  EXPECT_EQ(SkinResourceId(33), 1033);
  for (int n : {0, -1, 34, 1000, INT_MIN, INT_MAX}) EXPECT_EQ(SkinResourceId(n), 0) << n;
  EXPECT_EQ(IDR_SKIN_LIBRARY, 1000);
}
