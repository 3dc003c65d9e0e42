#include "net/socket_shutdown.h"

#include <winsock2.h>
#include <ws2tcpip.h>

namespace {

// Socket handles are small handle values (multiples of 4); this process never holds
// anywhere near this many handles.
constexpr UINT_PTR kHandleValuesSearched = 0x10000;

bool PeerOf(SOCKET s, std::string& address, unsigned short& port) {
  int type = 0, size = sizeof type;
  // Not a socket, or not a stream: the call fails or says so, and nothing is touched.
  if (::getsockopt(s, SOL_SOCKET, SO_TYPE, reinterpret_cast<char*>(&type), &size) != 0 || type != SOCK_STREAM)
    return false;
  sockaddr_storage peer = {};
  int peerSize = sizeof peer;
  if (::getpeername(s, reinterpret_cast<sockaddr*>(&peer), &peerSize) != 0) return false;
  char host[NI_MAXHOST] = {}, service[NI_MAXSERV] = {};
  if (::getnameinfo(reinterpret_cast<sockaddr*>(&peer), peerSize, host, sizeof host, service, sizeof service,
                    NI_NUMERICHOST | NI_NUMERICSERV) != 0)
    return false;
  address = host;
  port = static_cast<unsigned short>(std::stoi(service));
  return true;
}

}  // namespace

int ShutDownConnectionsTo(const std::string& peerAddress, unsigned short port) {
  WSADATA wsa;
  if (::WSAStartup(MAKEWORD(2, 2), &wsa) != 0) return 0;
  int count = 0;
  for (UINT_PTR value = 4; value < kHandleValuesSearched; value += 4) {
    SOCKET s = static_cast<SOCKET>(value);
    std::string address;
    unsigned short peerPort = 0;
    if (!PeerOf(s, address, peerPort) || peerPort != port) continue;
    if (!peerAddress.empty() && address != peerAddress) continue;
    if (::shutdown(s, SD_BOTH) == 0) ++count;
  }
  ::WSACleanup();
  return count;
}
