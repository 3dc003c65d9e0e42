#include "local_http_server.h"

#include <ws2tcpip.h>

#include <vector>

namespace {

struct WinsockUser {
  WinsockUser() {
    WSADATA data;
    ::WSAStartup(MAKEWORD(2, 2), &data);
  }
  ~WinsockUser() { ::WSACleanup(); }
};

LocalHttpServer::Handler ModeHandler(LocalHttpServer::Mode mode, std::string response, int redirects) {
  using Mode = LocalHttpServer::Mode;
  return [mode, response = std::move(response), redirects](LocalHttpServer::Connection& c, int number) {
    if (mode == Mode::Answer || (mode == Mode::Redirects && number >= redirects)) {
      c.Send(response);
    } else if (mode == Mode::Redirects) {
      c.Send("HTTP/1.0 302 Found\r\nLocation: /hop" + std::to_string(number + 1) +
             "\r\nContent-Length: 0\r\nConnection: close\r\n\r\n");
    } else if (mode == Mode::HeaderTrickle) {
      c.Send("HTTP/1.0 200 OK\r\nX-Slow: ");
      while (!c.ending() && c.Send("a")) ::Sleep(200);
    } else if (mode == Mode::EndlessHeaders) {
      c.Send("HTTP/1.0 200 OK\r\n");
      std::string lines;
      for (int i = 0; i < 100; ++i) lines += "X-More: aaaaaaaaaaaaaaaaaaaaaaaa\r\n";
      while (!c.ending() && c.Send(lines)) {
      }
    } else if (mode == Mode::Endless) {
      c.Send("HTTP/1.0 200 OK\r\nContent-Type: text/plain\r\n\r\n");
      const std::string chunk(8192, 'x');
      while (!c.ending() && c.Send(chunk)) {
      }
    } else if (mode == Mode::Trickle) {
      c.Send("HTTP/1.0 200 OK\r\nContent-Length: 100000\r\n\r\n");
      while (!c.ending() && c.Send("V")) ::Sleep(200);
    } else {
      c.WaitForHangUp();  // silent
    }
  };
}

// Waits until the socket can be read (or written); false once `ending` is set. The
// server's sockets never block: a client that neither reads nor hangs up cannot hold
// the server, and with it the test, past its end.
bool Ready(SOCKET s, bool write, const std::atomic<bool>& ending) {
  while (!ending) {
    fd_set set;
    FD_ZERO(&set);
    FD_SET(s, &set);
    timeval tick = {0, 20000};
    const int ready = ::select(0, write ? nullptr : &set, write ? &set : nullptr, nullptr, &tick);
    if (ready != 0) return ready > 0;
  }
  return false;
}

bool WouldBlock() { return ::WSAGetLastError() == WSAEWOULDBLOCK; }

}  // namespace

bool LocalHttpServer::Connection::Send(std::string_view bytes) {
  while (!bytes.empty()) {
    if (!Ready(client_, true, ending_)) return false;
    const int sent = ::send(client_, bytes.data(), static_cast<int>(bytes.size()), 0);
    if (sent < 0 && WouldBlock()) continue;
    if (sent <= 0) return false;
    bytes.remove_prefix(sent);
  }
  return true;
}

bool LocalHttpServer::Connection::WaitForHangUp() {
  char buffer[4096];
  while (Ready(client_, false, ending_)) {
    const int got = ::recv(client_, buffer, sizeof buffer, 0);
    if (got == 0 || (got < 0 && !WouldBlock())) return true;
  }
  return false;
}

LocalHttpServer::LocalHttpServer(Handler handler) : handler_(std::move(handler)) {
  static WinsockUser winsock;
  listener_ = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  sockaddr_in addr = {};
  addr.sin_family = AF_INET;
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  addr.sin_port = 0;
  ::bind(listener_, reinterpret_cast<sockaddr*>(&addr), sizeof(addr));
  ::listen(listener_, 8);
  int len = sizeof(addr);
  ::getsockname(listener_, reinterpret_cast<sockaddr*>(&addr), &len);
  port_ = ntohs(addr.sin_port);
  thread_ = std::thread([this] { Serve(); });
}

LocalHttpServer::LocalHttpServer(Mode mode, std::string response, int redirects)
    : LocalHttpServer(ModeHandler(mode, std::move(response), redirects)) {}

LocalHttpServer::~LocalHttpServer() {
  stop_ = true;
  ::closesocket(listener_);
  thread_.join();
}

std::string LocalHttpServer::lastRequest() {
  std::lock_guard<std::mutex> lock(mutex_);
  return lastRequest_;
}

std::string LocalHttpServer::Response(const std::string& status, const std::string& body, bool withLength) {
  std::string r = "HTTP/1.0 " + status + "\r\nContent-Type: text/plain\r\n";
  if (withLength) r += "Content-Length: " + std::to_string(body.size()) + "\r\n";
  r += "Connection: close\r\n\r\n" + body;
  return r;
}

void LocalHttpServer::Serve() {
  while (!stop_) {
    SOCKET client = ::accept(listener_, nullptr, nullptr);
    if (client == INVALID_SOCKET) return;
    serving_ = true;
    u_long nonBlocking = 1;
    ::ioctlsocket(client, FIONBIO, &nonBlocking);
    std::string request;
    char buf[4096];
    while (request.find("\r\n\r\n") == std::string::npos && Ready(client, false, stop_)) {
      int n = ::recv(client, buf, sizeof(buf), 0);
      if (n < 0 && WouldBlock()) continue;
      if (n <= 0) break;
      request.append(buf, n);
    }
    {
      std::lock_guard<std::mutex> lock(mutex_);
      lastRequest_ = request;
    }
    Connection connection(client, std::move(request), stop_);
    handler_(connection, requests_++);
    ::shutdown(client, SD_SEND);
    ::closesocket(client);
    serving_ = false;
  }
}
