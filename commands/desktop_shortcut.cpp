#include "commands/desktop_shortcut.h"

#include <windows.h>
#include <objidl.h>
#include <shlobj.h>


#include "base/codepage.h"
#include "base/unique_handle.h"
#include "uiengine/core/folder_paths.h"

namespace {

constexpr std::string_view kShortcutFileName = "\\岚石万能下载器.lnk";

}  // namespace

Text DesktopFolder(std::string_view valueName) { return ReadUserShellFolder(valueName); }

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
