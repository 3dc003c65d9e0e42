#include "shortcut_reader.h"

#include <windows.h>
#include <objidl.h>
#include <shlobj.h>

#include "base/unique_handle.h"

ShortcutFields ReadShortcut(const std::wstring& linkFile) {
  ShortcutFields out;
  ComPtr<IShellLinkA> link;
  if (FAILED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA, link.put_void())))
    return out;
  ComPtr<IPersistFile> file;
  if (FAILED(link->QueryInterface(IID_IPersistFile, file.put_void()))) return out;
  if (FAILED(file->Load(linkFile.c_str(), STGM_READ))) return out;
  out.loaded = true;
  char text[2048];
  text[0] = '\0';
  link->GetPath(text, sizeof(text), nullptr, SLGP_RAWPATH);
  out.target = text;
  text[0] = '\0';
  link->GetArguments(text, sizeof(text));
  out.arguments = text;
  text[0] = '\0';
  link->GetDescription(text, sizeof(text));
  out.description = text;
  text[0] = '\0';
  link->GetWorkingDirectory(text, sizeof(text));
  out.workingDirectory = text;
  text[0] = '\0';
  link->GetIconLocation(text, sizeof(text), &out.iconIndex);
  out.iconPath = text;
  link->GetShowCmd(&out.showCommand);
  WORD hotkey = 0;
  link->GetHotkey(&hotkey);
  out.hotkey = hotkey;
  return out;
}
