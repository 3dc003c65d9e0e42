#include "net/fetch_sockets.h"

#include <ws2tcpip.h>

#include <algorithm>
#include <cstring>

namespace {

// Handle values are multiples of 4; WinINet's few sockets are among the first ones.
constexpr UINT_PTR kLastHandleValue = 0x10000;

// Winsock is started by WinINet already; this keeps it started while we look.
class WinsockUse {
 public:
  WinsockUse() {
    WSADATA data;
    started_ = ::WSAStartup(MAKEWORD(2, 2), &data) == 0;
  }
  ~WinsockUse() {
    if (started_) ::WSACleanup();
  }
  WinsockUse(const WinsockUse&) = delete;
  WinsockUse& operator=(const WinsockUse&) = delete;

 private:
  bool started_ = false;
};

bool IsSocket(SOCKET s) {
  int type = 0;
  int size = sizeof(type);
  return ::getsockopt(s, SOL_SOCKET, SO_TYPE, reinterpret_cast<char*>(&type), &size) == 0;
}

bool ConnectedToPort(SOCKET s, unsigned short port) {
  sockaddr_storage peer = {};
  int size = sizeof(peer);
  if (::getpeername(s, reinterpret_cast<sockaddr*>(&peer), &size) != 0) return false;
  if (peer.ss_family == AF_INET) return ntohs(reinterpret_cast<sockaddr_in*>(&peer)->sin_port) == port;
  if (peer.ss_family == AF_INET6) return ntohs(reinterpret_cast<sockaddr_in6*>(&peer)->sin6_port) == port;
  return false;
}

// The peer's address as numeric text; empty when the socket has none.
std::string PeerAddress(SOCKET s) {
  sockaddr_storage peer = {};
  int size = sizeof(peer);
  char host[NI_MAXHOST] = {};
  if (::getpeername(s, reinterpret_cast<sockaddr*>(&peer), &size) != 0 ||
      ::getnameinfo(reinterpret_cast<sockaddr*>(&peer), size, host, sizeof(host), nullptr, 0, NI_NUMERICHOST) != 0)
    return {};
  return host;
}

// Ends whatever the socket is doing. shutdown() stops every later receive and tells the
// server; under Wine it does not end a receive already waiting (the receive side only
// sets a flag, and the waiting receive goes on until the server sends or hangs up,
// which a stalled server need never do). Cancelling the socket's I/O ends that one.
void EndSocket(SOCKET s) {
  ::shutdown(s, SD_BOTH);
  ::CancelIoEx(reinterpret_cast<HANDLE>(s), nullptr);
}

std::vector<SOCKET> OpenSockets() {
  WinsockUse winsock;
  std::vector<SOCKET> sockets;
  for (UINT_PTR value = 4; value <= kLastHandleValue; value += 4) {
    if (IsSocket(static_cast<SOCKET>(value))) sockets.push_back(static_cast<SOCKET>(value));
  }
  return sockets;
}

}  // namespace

std::vector<SOCKET> SocketsToSpare() { return RunningUnderWine() ? OpenSockets() : std::vector<SOCKET>(); }

int EndConnection(const ConnectionSockets& sockets) {
  if (!RunningUnderWine() || sockets.port == 0) return 0;
  WinsockUse winsock;
  int count = 0;
  for (SOCKET s : OpenSockets()) {
    if (std::find(sockets.spare.begin(), sockets.spare.end(), s) != sockets.spare.end() ||
        !ConnectedToPort(s, sockets.port) || (!sockets.peer.empty() && PeerAddress(s) != sockets.peer))
      continue;
    EndSocket(s);
    ++count;
  }
  return count;
}

std::string PeerOfConnectedNotice(const void* info, DWORD length) {
  if (!RunningUnderWine() || !info) return {};
  return std::string(static_cast<const char*>(info), strnlen(static_cast<const char*>(info), length));
}

bool HostNameResolves(const char* host) {
  WinsockUse winsock;
  addrinfo hints = {};
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* found = nullptr;
  if (::getaddrinfo(host, nullptr, &hints, &found) != 0 || !found) return false;
  ::freeaddrinfo(found);
  return true;
}

// Wine's ntdll exports wine_get_version; Windows' does not.
bool RunningUnderWine() {
  static const bool wine = ::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
  return wine;
}
