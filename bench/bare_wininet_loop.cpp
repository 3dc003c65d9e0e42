// The yardstick of the download benchmark: the least a WinINet download can do. Opens
// the address with the program's header block and flags, reads blocks of the given
// size and writes each to the file; no window, no progress. Prints bytes and
// milliseconds. WinINet is loaded and started once before the clock starts (the
// program's process has it loaded too); "ready" and "done" lines, each answered by a
// line on stdin, let the benchmark read the process's CPU time around the download.
//   bare_wininet_loop.exe <address> <file> <block bytes> [sync|nowait]
// sync: plain blocking reads of the block size. nowait: the program's way, WinINet's
// asynchronous mode with reads that take what has arrived, up to the block size.
#include <windows.h>
#include <wininet.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

const char kHeaders[] =
    "Accept: */*\r\nAccept-Language: zh-cn\r\n"
    "User-Agent: Mozilla/4.0(compatible; MSIE 6.0; Windows NT 5.0; MyIE2; .NET CLR 1.1.4322)";

struct Pending {
  HANDLE done;
  DWORD_PTR result;
};

void CALLBACK OnStatus(HINTERNET, DWORD_PTR context, DWORD status, void* info, DWORD) {
  if (status != INTERNET_STATUS_REQUEST_COMPLETE || !context) return;
  auto* p = reinterpret_cast<Pending*>(context);
  p->result = static_cast<INTERNET_ASYNC_RESULT*>(info)->dwResult;
  ::SetEvent(p->done);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 4) return 2;
  const DWORD size = static_cast<DWORD>(std::strtoul(argv[3], nullptr, 10));
  const bool nowait = argc > 4 && std::strcmp(argv[4], "nowait") == 0;
  if (size == 0) return 2;
  auto* block = new unsigned char[size];
  Pending pending{::CreateEventW(nullptr, FALSE, FALSE, nullptr), 0};
  char line[16];
  ::InternetCloseHandle(::InternetOpenA("Agent", INTERNET_OPEN_TYPE_PRECONFIG_WITH_NO_AUTOPROXY, nullptr, nullptr,
                                        nowait ? INTERNET_FLAG_ASYNC : 0));
  std::printf("ready\n");
  std::fflush(stdout);
  if (!std::fgets(line, sizeof line, stdin)) return 7;
  LARGE_INTEGER f, t0, t1;
  ::QueryPerformanceFrequency(&f);
  ::QueryPerformanceCounter(&t0);

  HINTERNET internet = ::InternetOpenA("Agent", INTERNET_OPEN_TYPE_PRECONFIG_WITH_NO_AUTOPROXY, nullptr, nullptr,
                                       nowait ? INTERNET_FLAG_ASYNC : 0);
  if (!internet) return 3;
  if (nowait) ::InternetSetStatusCallbackA(internet, OnStatus);
  HINTERNET request = ::InternetOpenUrlA(internet, argv[1], kHeaders, sizeof kHeaders - 1, 0x84000100,
                                         reinterpret_cast<DWORD_PTR>(&pending));
  if (!request && ::GetLastError() == ERROR_IO_PENDING) {
    ::WaitForSingleObject(pending.done, INFINITE);
    request = reinterpret_cast<HINTERNET>(pending.result);
  }
  if (!request) return 4;
  HANDLE file = ::CreateFileA(argv[2], GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return 5;
  long long total = 0;
  for (;;) {
    DWORD got = 0;
    if (nowait) {
      INTERNET_BUFFERSA buffers = {};
      buffers.dwStructSize = sizeof buffers;
      buffers.lpvBuffer = block;
      buffers.dwBufferLength = size;
      if (!::InternetReadFileExA(request, &buffers, IRF_NO_WAIT, reinterpret_cast<DWORD_PTR>(&pending))) {
        if (::GetLastError() != ERROR_IO_PENDING) return 6;
        ::WaitForSingleObject(pending.done, INFINITE);
        if (!pending.result) return 6;
        continue;  // what arrived is taken by the next read
      }
      got = buffers.dwBufferLength;
    } else if (!::InternetReadFile(request, block, size, &got)) {
      return 6;
    }
    if (got == 0) break;
    DWORD written = 0;
    ::WriteFile(file, block, got, &written, nullptr);
    total += got;
  }
  ::CloseHandle(file);
  ::QueryPerformanceCounter(&t1);
  std::printf("done\n");
  std::fflush(stdout);
  if (!std::fgets(line, sizeof line, stdin)) return 7;
  if (nowait) ::InternetSetStatusCallbackA(request, nullptr);
  ::InternetCloseHandle(request);
  ::InternetCloseHandle(internet);
  delete[] block;
  std::printf("%lld %.1f\n", total, (t1.QuadPart - t0.QuadPart) * 1000.0 / f.QuadPart);
  return 0;
}
