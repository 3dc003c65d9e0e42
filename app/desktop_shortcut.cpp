#include "desktop_shortcut.h"

#include <windows.h>
#include <objidl.h>
#include <shlobj.h>

#include <vector>

#include "codepage.h"
#include "unique_handle.h"

namespace {

constexpr std::string_view kShellFoldersKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders\\";
constexpr std::string_view kShortcutFileName = "\\岚石万能下载器.lnk";

// A registry string's characters, without the terminating NULs that may or may not be stored.
std::wstring RegistryString(const std::vector<BYTE>& data) {
  std::wstring text(reinterpret_cast<const wchar_t*>(data.data()), data.size() / sizeof(wchar_t));
  while (!text.empty() && text.back() == L'\0') text.pop_back();
  const size_t nul = text.find(L'\0');
  if (nul != std::wstring::npos) text.resize(nul);
  return text;
}

std::wstring ExpandEnvironment(const std::wstring& text) {
  std::wstring out(text.size() + 256, L'\0');
  for (int attempt = 0; attempt < 4; ++attempt) {
    const DWORD needed = ::ExpandEnvironmentStringsW(text.c_str(), out.data(), static_cast<DWORD>(out.size()));
    if (needed == 0) return text;
    if (needed <= out.size()) {
      out.resize(needed - 1);
      return out;
    }
    out.resize(needed);
  }
  return text;
}

}  // namespace

Text DesktopFolder(std::string_view valueName) {
  const Text full = JoinTexts({kShellFoldersKey, valueName});
  const size_t split = FindLastCharGbk(full, '\\');
  const std::wstring keyPath = Widen(std::string_view(full).substr(0, split));
  const std::wstring name = Widen(std::string_view(full).substr(split + 1));

  HKEY opened = nullptr;
  if (::RegOpenKeyExW(HKEY_CURRENT_USER, keyPath.c_str(), 0, KEY_READ, &opened) != ERROR_SUCCESS) return Text();
  UniqueRegKey key(opened);

  std::vector<BYTE> data(512);
  DWORD type = 0;
  LONG status;
  for (;;) {
    DWORD size = static_cast<DWORD>(data.size());
    status = ::RegQueryValueExW(key.get(), name.c_str(), nullptr, &type, data.data(), &size);
    if (status == ERROR_MORE_DATA) {
      data.resize(size + sizeof(wchar_t));
      continue;
    }
    data.resize(status == ERROR_SUCCESS ? size : 0);
    break;
  }
  if (status != ERROR_SUCCESS) return Text();
  if (type == REG_SZ) return Narrow(RegistryString(data));
  if (type == REG_EXPAND_SZ) return Narrow(ExpandEnvironment(RegistryString(data)));
  return Text();
}

Text ShortcutPath() { return JoinTexts({DesktopFolder("Desktop"), kShortcutFileName}); }

Text LinkFileName(std::string_view linkPath) {
  const size_t slash = FindLastCharGbk(linkPath, '\\');
  const std::string_view name = slash == std::string_view::npos ? linkPath : linkPath.substr(slash + 1);
  if (FindLastCharGbk(name, '.') != std::string_view::npos) return Text(linkPath);
  return JoinTexts({linkPath, ".lnk"});
}

bool CreateShortcutFile(std::string_view linkPath, std::string_view target, std::optional<std::string_view> description,
                        std::optional<std::string_view> arguments, std::optional<std::string_view> workingDirectory) {
  ComPtr<IShellLinkW> link;
  if (FAILED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW, link.put_void())))
    return false;
  ComPtr<IPersistFile> file;
  if (FAILED(link->QueryInterface(IID_IPersistFile, file.put_void()))) return false;

  link->SetPath(Widen(target).c_str());
  link->SetShowCmd(SW_SHOW);
  if (description) link->SetDescription(Widen(*description).c_str());
  if (arguments) link->SetArguments(Widen(*arguments).c_str());
  if (workingDirectory) link->SetWorkingDirectory(Widen(*workingDirectory).c_str());
  return SUCCEEDED(file->Save(Widen(LinkFileName(linkPath)).c_str(), TRUE));
}
