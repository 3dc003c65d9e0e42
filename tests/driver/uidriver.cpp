// Drives another program's windows from outside, as a person would. Reads one
// command a line from standard input (fields separated by tabs, texts in UTF-8)
// and answers each with one line of JSON.
#include <windows.h>
#include <commctrl.h>
#include <tlhelp32.h>

#include <algorithm>
#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

#include "base/unique_handle.h"
#include "json_out.h"

namespace {

using Args = std::vector<std::wstring>;

std::string Decimal(uintptr_t v) { return std::to_string(static_cast<unsigned long long>(v)); }

HWND ToHwnd(const std::wstring& s) { return reinterpret_cast<HWND>(static_cast<uintptr_t>(std::stoull(s))); }

std::wstring ClassOf(HWND hwnd) {
  wchar_t buf[256] = {};
  ::GetClassNameW(hwnd, buf, 255);
  return buf;
}

// Window text through WM_GETTEXT with a time-out, so a hung target cannot hang us.
std::wstring TextOf(HWND hwnd) {
  DWORD_PTR length = 0;
  if (!::SendMessageTimeoutW(hwnd, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 5000, &length)) return L"";
  std::wstring text(length + 1, L'\0');
  DWORD_PTR got = 0;
  ::SendMessageTimeoutW(hwnd, WM_GETTEXT, length + 1, reinterpret_cast<LPARAM>(text.data()), SMTO_ABORTIFHUNG, 5000,
                        &got);
  text.resize(got);
  return text;
}

std::string RectJson(const RECT& r) {
  return "[" + std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right - r.left) + "," +
         std::to_string(r.bottom - r.top) + "]";
}

std::string Bool(bool b) { return b ? "true" : "false"; }

DWORD PidOf(HWND hwnd) {
  DWORD pid = 0;
  ::GetWindowThreadProcessId(hwnd, &pid);
  return pid;
}

std::string Error(const std::string& what) { return "{\"error\":\"" + what + "\"}"; }

// --- finding windows --------------------------------------------------------

// A top-level window's title as the system keeps it, without a message: found even
// while the window's thread is busy (the program's start-up holds it for seconds).
std::wstring TitleOf(HWND hwnd) {
  wchar_t buf[512] = {};
  ::InternalGetWindowText(hwnd, buf, 511);
  return buf;
}

struct FindState {
  std::wstring title;
  std::wstring cls;
  DWORD pid;
  std::vector<HWND> found;
};

BOOL CALLBACK CollectTopLevel(HWND hwnd, LPARAM lp) {
  auto* st = reinterpret_cast<FindState*>(lp);
  if (st->pid && PidOf(hwnd) != st->pid) return TRUE;
  if (!st->cls.empty() && ClassOf(hwnd) != st->cls) return TRUE;
  if (!st->title.empty() && TitleOf(hwnd) != st->title) return TRUE;
  st->found.push_back(hwnd);
  return TRUE;
}

std::vector<HWND> TopLevelWindows(const std::wstring& title, const std::wstring& cls, DWORD pid) {
  FindState st{title, cls, pid, {}};
  ::EnumWindows(CollectTopLevel, reinterpret_cast<LPARAM>(&st));
  return st.found;
}

// find <title> <timeout ms> [pid]: a visible top-level window with that title.
std::string CmdFind(const Args& a) {
  if (a.size() < 3) return Error("usage");
  DWORD timeout = std::stoul(a[2]);
  DWORD pid = a.size() > 3 ? std::stoul(a[3]) : 0;
  DWORD start = ::GetTickCount();
  for (;;) {
    for (HWND h : TopLevelWindows(a[1], L"", pid))
      if (::IsWindowVisible(h)) return "{\"hwnd\":" + Decimal(reinterpret_cast<uintptr_t>(h)) + ",\"pid\":" + std::to_string(PidOf(h)) + "}";
    if (::GetTickCount() - start >= timeout) return Error("timeout");
    ::Sleep(50);
  }
}

// toplevel <pid> [class]: every visible top-level window of a process.
std::string CmdTopLevel(const Args& a) {
  if (a.size() < 2) return Error("usage");
  std::string out = "{\"windows\":[";
  bool first = true;
  for (HWND h : TopLevelWindows(L"", a.size() > 2 ? a[2] : L"", std::stoul(a[1]))) {
    if (!::IsWindowVisible(h)) continue;
    RECT r;
    ::GetWindowRect(h, &r);
    out += std::string(first ? "" : ",") + "{\"hwnd\":" + Decimal(reinterpret_cast<uintptr_t>(h)) +
           ",\"class\":" + JsonString(ClassOf(h)) + ",\"title\":" + JsonString(TextOf(h)) + ",\"rect\":" + RectJson(r) +
           ",\"exstyle\":" + std::to_string(::GetWindowLongW(h, GWL_EXSTYLE)) + "}";
    first = false;
  }
  return out + "]}";
}

std::string CmdWindow(const Args& a) {
  if (a.size() < 2) return Error("usage");
  HWND h = ToHwnd(a[1]);
  if (!::IsWindow(h)) return Error("no window");
  RECT r, c;
  ::GetWindowRect(h, &r);
  ::GetClientRect(h, &c);
  POINT origin = {0, 0};
  ::ClientToScreen(h, &origin);
  return "{\"title\":" + JsonString(TextOf(h)) + ",\"class\":" + JsonString(ClassOf(h)) + ",\"rect\":" + RectJson(r) +
         ",\"client\":" + RectJson(c) +
         ",\"client_origin\":[" + std::to_string(origin.x) + "," + std::to_string(origin.y) + "]" +
         ",\"menu_height\":" + std::to_string(::GetSystemMetrics(SM_CYMENU)) + ",\"style\":" + std::to_string(static_cast<DWORD>(::GetWindowLongW(h, GWL_STYLE))) +
         ",\"exstyle\":" + std::to_string(static_cast<DWORD>(::GetWindowLongW(h, GWL_EXSTYLE))) +
         ",\"visible\":" + Bool(::IsWindowVisible(h)) + ",\"enabled\":" + Bool(::IsWindowEnabled(h)) +
         ",\"pid\":" + std::to_string(PidOf(h)) + ",\"screen\":[" + std::to_string(::GetSystemMetrics(SM_CXSCREEN)) +
         "," + std::to_string(::GetSystemMetrics(SM_CYSCREEN)) + "]}";
}

std::string ControlJson(HWND parent, HWND h, bool withText) {
  RECT r;
  ::GetWindowRect(h, &r);
  ::MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&r), 2);
  DWORD style = static_cast<DWORD>(::GetWindowLongW(h, GWL_STYLE));
  return "{\"hwnd\":" + Decimal(reinterpret_cast<uintptr_t>(h)) +
         ",\"id\":" + std::to_string(static_cast<unsigned long>(::GetWindowLongPtrW(h, GWLP_ID))) +
         ",\"class\":" + JsonString(ClassOf(h)) + ",\"rect\":" + RectJson(r) +
         ",\"visible\":" + Bool(style & WS_VISIBLE) + ",\"enabled\":" + Bool(!(style & WS_DISABLED)) +
         ",\"tabstop\":" + Bool(style & WS_TABSTOP) + ",\"style\":" + std::to_string(style) +
         ",\"exstyle\":" + std::to_string(static_cast<DWORD>(::GetWindowLongW(h, GWL_EXSTYLE))) +
         (withText ? ",\"text\":" + JsonString(TextOf(h)) : std::string()) + "}";
}

// controls <hwnd> [notext]: every child window in z-order; with notext, without their
// texts, which need the window's thread (the rest is read without it).
std::string CmdControls(const Args& a) {
  if (a.size() < 2) return Error("usage");
  HWND parent = ToHwnd(a[1]);
  const bool withText = !(a.size() > 2 && a[2] == L"notext");
  std::string out = "{\"controls\":[";
  bool first = true;
  for (HWND h = ::GetWindow(parent, GW_CHILD); h; h = ::GetWindow(h, GW_HWNDNEXT)) {
    out += (first ? "" : ",") + ControlJson(parent, h, withText);
    first = false;
  }
  return out + "]}";
}

// xwindow <hwnd>: the X11 window behind a top-level window, so that real input
// can be delivered to it through the display (Wine keeps the id in a property).
std::string CmdXWindow(const Args& a) {
  if (a.size() < 2) return Error("usage");
  HWND h = ToHwnd(a[1]);
  if (!::IsWindow(h)) return Error("no window");
  auto x = reinterpret_cast<uintptr_t>(::GetPropW(h, L"__wine_x11_whole_window"));
  if (!x) return Error("no X window");
  return "{\"xid\":" + std::to_string(static_cast<unsigned long long>(x)) + "}";
}

// focus <hwnd>: the window Windows considers focused in the thread of hwnd.
std::string CmdFocus(const Args& a) {
  if (a.size() < 2) return Error("usage");
  GUITHREADINFO info = {sizeof(info)};
  if (!::GetGUIThreadInfo(::GetWindowThreadProcessId(ToHwnd(a[1]), nullptr), &info)) return Error("no thread");
  return "{\"focus\":" + Decimal(reinterpret_cast<uintptr_t>(info.hwndFocus)) +
         ",\"active\":" + Decimal(reinterpret_cast<uintptr_t>(info.hwndActive)) +
         ",\"menu_mode\":" + Bool(info.flags & GUI_INMENUMODE) + "}";
}

// selection <edit hwnd>: where the selection of an edit box starts and ends.
std::string CmdSelection(const Args& a) {
  if (a.size() < 2) return Error("usage");
  DWORD start = 0, end = 0;
  if (!::SendMessageTimeoutW(ToHwnd(a[1]), EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                             reinterpret_cast<LPARAM>(&end), SMTO_ABORTIFHUNG, 5000, nullptr))
    return Error("timeout");
  return "{\"start\":" + std::to_string(start) + ",\"end\":" + std::to_string(end) + "}";
}

// clipboard: the text on the clipboard, as a program pasting now would get it.
std::string CmdClipboard(const Args&) {
  if (!::OpenClipboard(nullptr)) return Error("clipboard busy");
  ScopeExit close([] { ::CloseClipboard(); });
  HANDLE data = ::GetClipboardData(CF_UNICODETEXT);
  if (!data) return "{\"text\":null}";
  auto* text = static_cast<const wchar_t*>(::GlobalLock(data));
  if (!text) return "{\"text\":null}";
  ScopeExit unlock([data] { ::GlobalUnlock(data); });
  return "{\"text\":" + JsonString(text) + "}";
}

std::string CmdSetText(const Args& a) {
  if (a.size() < 2) return Error("usage");
  std::wstring text = a.size() > 2 ? a[2] : L"";
  DWORD_PTR r = 0;
  if (!::SendMessageTimeoutW(ToHwnd(a[1]), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()), SMTO_ABORTIFHUNG,
                             5000, &r))
    return Error("timeout");
  return "{\"ok\":true}";
}

std::string CmdPost(const Args& a) {
  if (a.size() < 5) return Error("usage");
  ::PostMessageW(ToHwnd(a[1]), std::stoul(a[2]), std::stoul(a[3]), std::stol(a[4]));
  return "{\"ok\":true}";
}

// close <hwnd>: posts WM_CLOSE; for test teardown only, a test closes as a person does.
std::string CmdClose(const Args& a) {
  if (a.size() < 2) return Error("usage");
  ::PostMessageW(ToHwnd(a[1]), WM_CLOSE, 0, 0);
  return "{\"ok\":true}";
}

std::string CmdProgress(const Args& a) {
  if (a.size() < 2) return Error("usage");
  HWND h = ToHwnd(a[1]);
  DWORD_PTR pos = 0, lo = 0, hi = 0;
  ::SendMessageTimeoutW(h, PBM_GETPOS, 0, 0, SMTO_ABORTIFHUNG, 5000, &pos);
  ::SendMessageTimeoutW(h, PBM_GETRANGE, TRUE, 0, SMTO_ABORTIFHUNG, 5000, &lo);
  ::SendMessageTimeoutW(h, PBM_GETRANGE, FALSE, 0, SMTO_ABORTIFHUNG, 5000, &hi);
  return "{\"pos\":" + std::to_string(pos) + ",\"min\":" + std::to_string(lo) + ",\"max\":" + std::to_string(hi) + "}";
}

// ping <hwnd>: round trip of WM_NULL through the window's thread, in microseconds.
std::string CmdPing(const Args& a) {
  if (a.size() < 2) return Error("usage");
  UINT timeout = a.size() > 2 ? std::stoul(a[2]) : 5000;
  LARGE_INTEGER f, t0, t1;
  ::QueryPerformanceFrequency(&f);
  ::QueryPerformanceCounter(&t0);
  DWORD_PTR r = 0;
  BOOL ok = ::SendMessageTimeoutW(ToHwnd(a[1]), WM_NULL, 0, 0, SMTO_NORMAL, timeout, &r) != 0;
  ::QueryPerformanceCounter(&t1);
  long long us = (t1.QuadPart - t0.QuadPart) * 1000000 / f.QuadPart;
  return "{\"ok\":" + Bool(ok) + ",\"us\":" + std::to_string(us) + "}";
}

// dialogs <pid>: the visible dialog windows (message boxes) of a process.
std::string CmdDialogs(const Args& a) {
  if (a.size() < 2) return Error("usage");
  std::string out = "{\"dialogs\":[";
  bool first = true;
  for (HWND d : TopLevelWindows(L"", L"#32770", std::stoul(a[1]))) {
    if (!::IsWindowVisible(d)) continue;
    std::wstring message;
    std::string buttons;
    for (HWND c = ::GetWindow(d, GW_CHILD); c; c = ::GetWindow(c, GW_HWNDNEXT)) {
      std::wstring cls = ClassOf(c);
      if (_wcsicmp(cls.c_str(), L"Static") == 0 && !TextOf(c).empty()) message = TextOf(c);
      if (_wcsicmp(cls.c_str(), L"Button") == 0 && ::IsWindowVisible(c)) {
        RECT br;
        ::GetWindowRect(c, &br);
        buttons += std::string(buttons.empty() ? "" : ",") + "{\"hwnd\":" + Decimal(reinterpret_cast<uintptr_t>(c)) +
                   ",\"id\":" + std::to_string(::GetDlgCtrlID(c)) + ",\"text\":" + JsonString(TextOf(c)) +
                   ",\"rect\":" + RectJson(br) + "}";
      }
    }
    RECT r;
    ::GetWindowRect(d, &r);
    out += std::string(first ? "" : ",") + "{\"hwnd\":" + Decimal(reinterpret_cast<uintptr_t>(d)) +
           ",\"title\":" + JsonString(TextOf(d)) + ",\"text\":" + JsonString(message) + ",\"rect\":" + RectJson(r) +
           ",\"style\":" + std::to_string(static_cast<DWORD>(::GetWindowLongW(d, GWL_STYLE))) +
           ",\"exstyle\":" + std::to_string(static_cast<DWORD>(::GetWindowLongW(d, GWL_EXSTYLE))) +
           ",\"buttons\":[" + buttons + "]}";
    first = false;
  }
  return out + "]}";
}

// start <exe> <working dir>: starts a program; answers with its process id.
std::string CmdStart(const Args& a) {
  if (a.size() < 2) return Error("usage");
  STARTUPINFOW si = {sizeof(si)};
  PROCESS_INFORMATION pi = {};
  std::wstring cmd = L"\"" + a[1] + L"\"";
  const wchar_t* dir = a.size() > 2 && !a[2].empty() ? a[2].c_str() : nullptr;
  if (!::CreateProcessW(a[1].c_str(), cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, dir, &si, &pi))
    return Error("CreateProcess failed " + std::to_string(::GetLastError()));
  ::CloseHandle(pi.hThread);
  ::CloseHandle(pi.hProcess);
  return "{\"pid\":" + std::to_string(pi.dwProcessId) + "}";
}

// wait <pid> <timeout ms>: the exit code once the process has ended.
std::string CmdWait(const Args& a) {
  if (a.size() < 3) return Error("usage");
  UniqueKernelHandle process(::OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE, std::stoul(a[1])));
  if (!process) return Error("no process");
  if (::WaitForSingleObject(process.get(), std::stoul(a[2])) != WAIT_OBJECT_0) return Error("timeout");
  DWORD code = 0;
  ::GetExitCodeProcess(process.get(), &code);
  return "{\"exitcode\":" + std::to_string(static_cast<long>(code)) + "}";
}

// kill <pid>: last resort for a test that left its program running.
std::string CmdKill(const Args& a) {
  if (a.size() < 2) return Error("usage");
  UniqueKernelHandle process(::OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, std::stoul(a[1])));
  if (!process) return Error("no process");
  ::TerminateProcess(process.get(), 99);
  ::WaitForSingleObject(process.get(), 5000);
  return "{\"ok\":true}";
}

// resources <exe>: what a file's properties and icon show of its resources.
std::string CmdResources(const Args& a) {
  if (a.size() < 2) return Error("usage");
  UniqueModule image(::LoadLibraryExW(a[1].c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
  if (!image) return Error("not loadable");
  bool icon = ::FindResourceW(image.get(), MAKEINTRESOURCEW(129), MAKEINTRESOURCEW(14)) != nullptr;
  bool manifest = ::FindResourceW(image.get(), MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24)) != nullptr;
  std::string version;
  DWORD ignored = 0;
  DWORD size = ::GetFileVersionInfoSizeW(a[1].c_str(), &ignored);
  std::vector<char> info(size);
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT fixedSize = 0;
  if (size && ::GetFileVersionInfoW(a[1].c_str(), 0, size, info.data()) &&
      ::VerQueryValueW(info.data(), L"\\", reinterpret_cast<void**>(&fixed), &fixedSize) && fixed)
    version = std::to_string(HIWORD(fixed->dwFileVersionMS)) + "." + std::to_string(LOWORD(fixed->dwFileVersionMS));
  return "{\"icon129\":" + Bool(icon) + ",\"manifest\":" + Bool(manifest) + ",\"version\":\"" + version + "\"}";
}

uintptr_t RemoteModuleBase(DWORD pid, const std::wstring& path) {
  std::wstring name = path.substr(path.find_last_of(L"\\/") + 1);
  UniqueKernelHandle snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, pid));
  if (!snapshot || snapshot.get() == INVALID_HANDLE_VALUE) return 0;
  MODULEENTRY32W entry = {sizeof(entry)};
  for (BOOL more = ::Module32FirstW(snapshot.get(), &entry); more; more = ::Module32NextW(snapshot.get(), &entry))
    if (_wcsicmp(entry.szModule, name.c_str()) == 0) return reinterpret_cast<uintptr_t>(entry.modBaseAddr);
  return 0;
}

// Runs an export of the probe DLL (a thread entry) inside the window's process;
// the probe reads the window and `input` from a shared block and leaves its JSON
// answer there.
std::string RunProbe(HWND hwnd, const std::wstring& probePath, const char* exportName, const std::string& input) {
  constexpr DWORD kBlock = 64 * 1024;
  UniqueKernelHandle mapping(
      ::CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, kBlock, L"LanshiUiDriverMenuProbe"));
  if (!mapping) return Error("mapping");
  char* block = static_cast<char*>(::MapViewOfFile(mapping.get(), FILE_MAP_ALL_ACCESS, 0, 0, kBlock));
  if (!block) return Error("view");
  ScopeExit unmap([block] { ::UnmapViewOfFile(block); });
  memset(block, 0, kBlock);
  *reinterpret_cast<HWND*>(block) = hwnd;
  memcpy(block + 8, input.c_str(), std::min<size_t>(input.size(), kBlock - 9));

  // Where the export lies relative to the probe's base is the same in both processes
  // (32-bit builds decorate the name).
  UniqueModule local(::LoadLibraryW(probePath.c_str()));
  if (!local) return Error("probe not loadable");
  FARPROC entry = ::GetProcAddress(local.get(), (std::string(exportName) + "@4").c_str());
  if (!entry) entry = ::GetProcAddress(local.get(), exportName);
  if (!entry) return Error("no such probe");
  auto offset = reinterpret_cast<uintptr_t>(entry) - reinterpret_cast<uintptr_t>(local.get());

  UniqueKernelHandle process(::OpenProcess(PROCESS_ALL_ACCESS, FALSE, PidOf(hwnd)));
  if (!process) return Error("open process");
  size_t bytes = (probePath.size() + 1) * sizeof(wchar_t);
  void* remotePath = ::VirtualAllocEx(process.get(), nullptr, bytes, MEM_COMMIT, PAGE_READWRITE);
  ScopeExit freeRemote([&] { ::VirtualFreeEx(process.get(), remotePath, 0, MEM_RELEASE); });
  ::WriteProcessMemory(process.get(), remotePath, probePath.c_str(), bytes, nullptr);

  auto runRemote = [&](void* fn, void* arg) -> DWORD {
    UniqueKernelHandle thread(::CreateRemoteThread(process.get(), nullptr, 0,
                                                   reinterpret_cast<LPTHREAD_START_ROUTINE>(fn), arg, 0, nullptr));
    if (!thread) return 0;
    ::WaitForSingleObject(thread.get(), 10000);
    DWORD code = 0;
    ::GetExitCodeThread(thread.get(), &code);
    return code;
  };
  HMODULE kernel = ::GetModuleHandleW(L"kernel32.dll");
  if (!runRemote(reinterpret_cast<void*>(::GetProcAddress(kernel, "LoadLibraryW")), remotePath))
    return Error("probe not loaded in target");
  // A thread's exit code holds only 32 bits of the module's address: find it by name.
  uintptr_t remoteModule = RemoteModuleBase(PidOf(hwnd), probePath);
  if (!remoteModule) return Error("probe not found in target");
  runRemote(reinterpret_cast<void*>(remoteModule + offset), nullptr);
  runRemote(reinterpret_cast<void*>(::GetProcAddress(kernel, "FreeLibrary")), reinterpret_cast<void*>(remoteModule));
  return block[8] ? std::string(block + 8) : "null";
}

// menu <hwnd> <probe dll path>: the window's menu, read inside the target process.
std::string CmdMenu(const Args& a) {
  if (a.size() < 3) return Error("usage");
  std::string menu = RunProbe(ToHwnd(a[1]), a[2], "ProbeMenu", "");
  return menu.rfind("{\"error\"", 0) == 0 ? menu : "{\"menu\":" + menu + "}";
}

// fonts <hwnd> <probe dll path>: the font height (lfHeight) of each child window.
std::string CmdFonts(const Args& a) {
  if (a.size() < 3) return Error("usage");
  return RunProbe(ToHwnd(a[1]), a[2], "ProbeFonts", "");
}

// dpichanged <hwnd> <probe dll path> <dpi> <left> <top> <right> <bottom>: sends the
// window WM_DPICHANGED from inside its process; answers its children's font heights
// before and after.
std::string CmdDpiChanged(const Args& a) {
  if (a.size() < 8) return Error("usage");
  std::string input;
  for (size_t i = 3; i < 8; ++i) input += Utf8(a[i]) + " ";
  std::string fonts = RunProbe(ToHwnd(a[1]), a[2], "ProbeDpiChanged", input);
  return fonts.rfind("{\"error\"", 0) == 0 || fonts.front() != '{' ? "{\"error\":" + JsonString(FromUtf8(fonts)) + "}"
                                                                 : fonts;
}

// Fields are separated by tabs; inside a field \\, \n, \r and \t stand for
// themselves so that texts of several lines fit on one command line.
std::vector<std::wstring> SplitTabs(const std::wstring& line) {
  std::vector<std::wstring> out(1);
  for (size_t i = 0; i < line.size(); ++i) {
    wchar_t c = line[i];
    if (c == L'\t') {
      out.emplace_back();
    } else if (c == L'\\' && i + 1 < line.size()) {
      wchar_t e = line[++i];
      out.back() += e == L'n' ? L'\n' : e == L'r' ? L'\r' : e == L't' ? L'\t' : e;
    } else {
      out.back() += c;
    }
  }
  return out;
}

std::string Dispatch(const Args& a) {
  const std::wstring& c = a[0];
  try {
    if (c == L"find") return CmdFind(a);
    if (c == L"toplevel") return CmdTopLevel(a);
    if (c == L"window") return CmdWindow(a);
    if (c == L"controls") return CmdControls(a);
    if (c == L"settext") return CmdSetText(a);
    if (c == L"selection") return CmdSelection(a);
    if (c == L"clipboard") return CmdClipboard(a);
    if (c == L"xwindow") return CmdXWindow(a);
    if (c == L"focus") return CmdFocus(a);
    if (c == L"post") return CmdPost(a);
    if (c == L"close") return CmdClose(a);
    if (c == L"progress") return CmdProgress(a);
    if (c == L"ping") return CmdPing(a);
    if (c == L"dialogs") return CmdDialogs(a);
    if (c == L"start") return CmdStart(a);
    if (c == L"wait") return CmdWait(a);
    if (c == L"menu") return CmdMenu(a);
    if (c == L"dpichanged") return CmdDpiChanged(a);
    if (c == L"fonts") return CmdFonts(a);
    if (c == L"kill") return CmdKill(a);
    if (c == L"resources") return CmdResources(a);
  } catch (const std::exception& e) {
    return Error(std::string("bad arguments: ") + e.what());
  }
  return Error("unknown command");
}

}  // namespace

int wmain() {
  // Rectangles in the display's own pixels whatever its DPI: an unaware driver
  // would be handed coordinates scaled back to 96 DPI.
  ::SetProcessDPIAware();
  std::string line;
  while (std::getline(std::cin, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty()) continue;
    if (line == "quit") break;
    std::string answer = Dispatch(SplitTabs(FromUtf8(line)));
    std::fwrite(answer.data(), 1, answer.size(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
  }
  return 0;
}
