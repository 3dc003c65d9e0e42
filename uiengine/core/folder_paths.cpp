#include "uiengine/core/folder_paths.h"

#include <windows.h>

#include <vector>

#include "base/codepage.h"
#include "base/unique_handle.h"

namespace {

constexpr const char* kEnvironmentNames[] = {"Temp",         "WinDir",             "USERPROFILE", "ALLUSERSPROFILE",
                                             "ProgramFiles", "CommonProgramFiles", "SystemDrive"};
constexpr char kShellFoldersKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders\\";

Text EnvironmentValue(const char* name) {
  std::wstring wname = Widen(name);
  DWORD needed = ::GetEnvironmentVariableW(wname.c_str(), nullptr, 0);
  if (needed == 0) return Text();
  std::wstring value(needed, L'\0');
  DWORD got = ::GetEnvironmentVariableW(wname.c_str(), value.data(), needed);
  if (got == 0 || got >= needed) return Text();
  value.resize(got);
  return Narrow(value);
}

std::wstring ExpandEnvironment(const std::wstring& s) {
  DWORD needed = ::ExpandEnvironmentStringsW(s.c_str(), nullptr, 0);
  if (needed == 0) return s;
  std::wstring out(needed, L'\0');
  DWORD got = ::ExpandEnvironmentStringsW(s.c_str(), out.data(), needed);
  if (got == 0 || got > needed) return s;
  out.resize(got - 1);  // the count includes the terminator
  return out;
}

// A REG_SZ or REG_EXPAND_SZ value (expanded); empty for other types or when missing.
Text ReadShellFolderValue(HKEY root, const RegistryValuePath& path) {
  UniqueRegKey key;
  if (::RegOpenKeyExW(root, Widen(path.key).c_str(), 0, KEY_READ, key.put()) != ERROR_SUCCESS) return Text();
  std::wstring valueName = Widen(path.value);
  DWORD type = 0, size = 0;
  if (::RegQueryValueExW(key.get(), valueName.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
    return Text();
  if (type != REG_SZ && type != REG_EXPAND_SZ) return Text();
  // Room for a terminator the stored data may lack.
  std::vector<WCHAR> data(size / sizeof(WCHAR) + 2, L'\0');
  DWORD bytes = static_cast<DWORD>((data.size() - 1) * sizeof(WCHAR));
  if (::RegQueryValueExW(key.get(), valueName.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(data.data()),
                         &bytes) != ERROR_SUCCESS)
    return Text();
  std::wstring value(data.data());
  if (type == REG_EXPAND_SZ) value = ExpandEnvironment(value);
  return Narrow(value);
}

}  // namespace

FolderLookup ClassifyFolderName(std::string_view name) {
  Text lower = LowerAsciiLetters(name);
  for (const char* env : kEnvironmentNames)
    if (lower == LowerAsciiLetters(env)) return {FolderSource::Environment, env};
  if (lower == "system32") return {FolderSource::ComSpecFolder, "ComSpec"};
  if (LowerAsciiLetters(name.substr(0, 6)) == "common") return {FolderSource::MachineShellFolders, Text()};
  return {FolderSource::UserShellFolders, Text()};
}

RegistryValuePath ShellFolderValuePath(std::string_view name) {
  Text full = JoinTexts({kShellFoldersKey, name});
  size_t cut = FindLastCharGbk(full, '\\');
  return {full.substr(0, cut), full.substr(cut + 1)};
}

Text ReadUserShellFolder(std::string_view name) {
  return ReadShellFolderValue(HKEY_CURRENT_USER, ShellFolderValuePath(name));
}

Text ResolveFolder(std::string_view name) {
  FolderLookup lookup = ClassifyFolderName(name);
  switch (lookup.source) {
    case FolderSource::Environment:
      return EnvironmentValue(lookup.environmentName.c_str());
    case FolderSource::ComSpecFolder: {
      Text comspec = EnvironmentValue("ComSpec");
      size_t cut = FindLastCharGbk(comspec, '\\');
      return cut == std::string_view::npos ? Text() : comspec.substr(0, cut);
    }
    case FolderSource::MachineShellFolders:
      return ReadShellFolderValue(HKEY_LOCAL_MACHINE, ShellFolderValuePath(name));
    case FolderSource::UserShellFolders:
      return ReadUserShellFolder(name);
  }
  return Text();
}
