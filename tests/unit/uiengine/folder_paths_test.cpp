// Folder names against the test prefix's own environment and registry.
#include <gtest/gtest.h>

#include <windows.h>

#include "base/codepage.h"
#include "base/unique_handle.h"
#include "uiengine/core/folder_paths.h"

namespace {

constexpr WCHAR kShellFolders[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

TEST(ClassifyFolderName, TableRows) {
  struct Case {
    const char* name;
    FolderSource source;
    const char* variable;
  } cases[] = {
      {"Temp", FolderSource::Environment, "Temp"},
      {"temp", FolderSource::Environment, "Temp"},
      {"TEMP", FolderSource::Environment, "Temp"},
      {"windir", FolderSource::Environment, "WinDir"},
      {"UserProfile", FolderSource::Environment, "USERPROFILE"},
      {"allusersprofile", FolderSource::Environment, "ALLUSERSPROFILE"},
      {"PROGRAMFILES", FolderSource::Environment, "ProgramFiles"},
      {"commonprogramfiles", FolderSource::Environment, "CommonProgramFiles"},
      {"systemdrive", FolderSource::Environment, "SystemDrive"},
      {"SYSTEM32", FolderSource::ComSpecFolder, "ComSpec"},
      {"Common AppData", FolderSource::MachineShellFolders, ""},
      {"COMMON Desktop", FolderSource::MachineShellFolders, ""},
      {"common", FolderSource::MachineShellFolders, ""},
      {"Commo", FolderSource::UserShellFolders, ""},
      {"AppData", FolderSource::UserShellFolders, ""},
      {"", FolderSource::UserShellFolders, ""},
      {"Temp ", FolderSource::UserShellFolders, ""},
      {"临时", FolderSource::UserShellFolders, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    FolderLookup lookup = ClassifyFolderName(c.name);
    EXPECT_EQ(c.source, lookup.source);
    EXPECT_EQ(c.variable, lookup.environmentName);
  }
}

TEST(ShellFolderValuePath, SplitsAtTheLastBackslash) {
  const Text key = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
  struct Case {
    const char* name;
    Text key;
    const char* value;
  } cases[] = {
      {"AppData", key, "AppData"},
      {"", key, ""},
      {"a\\b", key + "\\a", "b"},
      {"a\\", key + "\\a", ""},
      // The trail byte of 乗 (0x81 0x5C in GBK) is a backslash byte, not a separator.
      {"\x81\x5C", key, "\x81\x5C"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    RegistryValuePath p = ShellFolderValuePath(c.name);
    EXPECT_EQ(c.key, p.key);
    EXPECT_EQ(c.value, p.value);
  }
}

// Sets (or removes, when value is null) an environment variable for one test.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const char* value) : name_(Widen(name)) {
    WCHAR old[2048];
    DWORD n = ::GetEnvironmentVariableW(name_.c_str(), old, 2048);
    had_ = n > 0 && n < 2048;
    if (had_) old_ = old;
    ::SetEnvironmentVariableW(name_.c_str(), value ? Widen(value).c_str() : nullptr);
  }
  ~ScopedEnv() { ::SetEnvironmentVariableW(name_.c_str(), had_ ? old_.c_str() : nullptr); }

 private:
  std::wstring name_, old_;
  bool had_ = false;
};

TEST(ResolveFolder, EnvironmentNamesInAnyCase) {
  ScopedEnv temp("TEMP", "C:\\临时\\文件夹");
  EXPECT_EQ("C:\\临时\\文件夹", ResolveFolder("Temp"));
  EXPECT_EQ("C:\\临时\\文件夹", ResolveFolder("temp"));
  EXPECT_EQ("C:\\临时\\文件夹", ResolveFolder("TEMP"));
  ScopedEnv drive("SystemDrive", nullptr);
  EXPECT_EQ("", ResolveFolder("SystemDrive"));
}

TEST(ResolveFolder, System32IsTheCommandInterpretersFolder) {
  {
    ScopedEnv comspec("ComSpec", "C:\\WINDOWS\\system32\\cmd.exe");
    EXPECT_EQ("C:\\WINDOWS\\system32", ResolveFolder("System32"));
  }
  {
    ScopedEnv comspec("ComSpec", "cmd.exe");
    EXPECT_EQ("", ResolveFolder("system32"));
  }
  {
    ScopedEnv comspec("ComSpec", nullptr);
    EXPECT_EQ("", ResolveFolder("SYSTEM32"));
  }
}

// Writes values below "Shell Folders" for one test and removes them afterwards.
class ShellFolderValues : public ::testing::Test {
 protected:
  void Set(HKEY root, const std::wstring& subkey, const std::wstring& name, DWORD type, const void* data,
           DWORD size) {
    std::wstring path = kShellFolders;
    if (!subkey.empty()) path += L"\\" + subkey;
    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS,
              ::RegCreateKeyExW(root, path.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr));
    UniqueRegKey owned(key);
    ASSERT_EQ(ERROR_SUCCESS, ::RegSetValueExW(key, name.c_str(), 0, type, static_cast<const BYTE*>(data), size));
    cleanups_.push_back({root, path, name, !subkey.empty()});
  }
  void SetString(HKEY root, const std::wstring& name, DWORD type, const std::wstring& value,
                 const std::wstring& subkey = L"") {
    Set(root, subkey, name, type, value.c_str(), static_cast<DWORD>((value.size() + 1) * sizeof(WCHAR)));
  }
  void TearDown() override {
    for (const auto& c : cleanups_) {
      if (c.deleteKey) {
        ::RegDeleteKeyW(c.root, c.path.c_str());
      } else {
        HKEY key = nullptr;
        if (::RegOpenKeyExW(c.root, c.path.c_str(), 0, KEY_WRITE, &key) == ERROR_SUCCESS) {
          UniqueRegKey owned(key);
          ::RegDeleteValueW(key, c.name.c_str());
        }
      }
    }
  }

 private:
  struct Cleanup {
    HKEY root;
    std::wstring path, name;
    bool deleteKey;
  };
  std::vector<Cleanup> cleanups_;
};

TEST_F(ShellFolderValues, UserAndMachineValuesByType) {
  ScopedEnv root("LANSHI_TEST_ROOT", "D:\\根");
  SetString(HKEY_CURRENT_USER, L"Lanshi Plain", REG_SZ, L"C:\\用户\\数据");
  SetString(HKEY_CURRENT_USER, L"Lanshi Expand", REG_EXPAND_SZ, L"%LANSHI_TEST_ROOT%\\sub");
  DWORD number = 42;
  Set(HKEY_CURRENT_USER, L"", L"Lanshi Number", REG_DWORD, &number, sizeof number);
  SetString(HKEY_LOCAL_MACHINE, L"Common Lanshi", REG_SZ, L"C:\\machine");
  SetString(HKEY_CURRENT_USER, L"Common Lanshi", REG_SZ, L"C:\\user-not-read");
  SetString(HKEY_CURRENT_USER, L"Commo", REG_SZ, L"C:\\five letters");
  SetString(HKEY_CURRENT_USER, L"b", REG_SZ, L"C:\\in a subkey", L"Lanshi Sub");

  struct Case {
    const char* name;
    const char* expected;
  } cases[] = {
      {"Lanshi Plain", "C:\\用户\\数据"},
      {"lanshi plain", "C:\\用户\\数据"},  // registry value names ignore case too
      {"Lanshi Expand", "D:\\根\\sub"},
      {"Lanshi Number", ""},
      {"Lanshi Missing", ""},
      {"Common Lanshi", "C:\\machine"},
      {"COMMON LANSHI", "C:\\machine"},
      {"Commo", "C:\\five letters"},
      {"Lanshi Sub\\b", "C:\\in a subkey"},
      {"No Such Key\\b", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(c.expected, ResolveFolder(c.name));
  }
}

TEST_F(ShellFolderValues, EmptyNameReadsTheDefaultValue) {
  SetString(HKEY_CURRENT_USER, L"", REG_SZ, L"C:\\default");
  EXPECT_EQ("C:\\default", ResolveFolder(""));
}

TEST_F(ShellFolderValues, UnterminatedStringIsReadSafely) {
  const WCHAR raw[] = {L'C', L':', L'\\', L'x'};  // no terminator stored
  Set(HKEY_CURRENT_USER, L"", L"Lanshi Raw", REG_SZ, raw, sizeof raw);
  EXPECT_EQ("C:\\x", ResolveFolder("Lanshi Raw"));
}

TEST(ResolveFolder, AppDataOfThePrefixHasNoTrailingBackslash) {
  Text appData = ResolveFolder("AppData");
  ASSERT_FALSE(appData.empty());
  EXPECT_NE('\\', appData.back());
  EXPECT_NE(INVALID_FILE_ATTRIBUTES, ::GetFileAttributesW(Widen(appData).c_str()));
}

}  // namespace
