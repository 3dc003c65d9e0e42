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
}  // namespace

LocalHttpServer::LocalHttpServer(Mode mode, std::string response, int redirects)
    : mode_(mode), response_(std::move(response)), redirects_(redirects) {
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
    std::string request;
    char buf[4096];
    while (request.find("\r\n\r\n") == std::string::npos) {
      int n = ::recv(client, buf, sizeof(buf), 0);
      if (n <= 0) break;
      request.append(buf, n);
    }
    {
      std::lock_guard<std::mutex> lock(mutex_);
      lastRequest_ = request;
    }
    const int number = requests_++;
    if (mode_ == Mode::Answer || (mode_ == Mode::Redirects && number >= redirects_)) {
      ::send(client, response_.data(), static_cast<int>(response_.size()), 0);
    } else if (mode_ == Mode::Redirects) {
      const std::string head = "HTTP/1.0 302 Found\r\nLocation: /hop" + std::to_string(number + 1) +
                               "\r\nContent-Length: 0\r\nConnection: close\r\n\r\n";
      ::send(client, head.data(), static_cast<int>(head.size()), 0);
    } else if (mode_ == Mode::HeaderTrickle) {
      const std::string head = "HTTP/1.0 200 OK\r\nX-Slow: ";
      ::send(client, head.data(), static_cast<int>(head.size()), 0);
      while (!stop_ && ::send(client, "a", 1, 0) > 0) ::Sleep(200);
    } else if (mode_ == Mode::EndlessHeaders) {
      const std::string head = "HTTP/1.0 200 OK\r\n";
      ::send(client, head.data(), static_cast<int>(head.size()), 0);
      std::string lines;
      for (int i = 0; i < 100; ++i) lines += "X-More: aaaaaaaaaaaaaaaaaaaaaaaa\r\n";
      while (!stop_ && ::send(client, lines.data(), static_cast<int>(lines.size()), 0) > 0) {
      }
    } else if (mode_ == Mode::Endless) {
      std::string head = "HTTP/1.0 200 OK\r\nContent-Type: text/plain\r\n\r\n";
      ::send(client, head.data(), static_cast<int>(head.size()), 0);
      std::vector<char> chunk(8192, 'x');
      while (!stop_ && ::send(client, chunk.data(), static_cast<int>(chunk.size()), 0) > 0) {
      }
    } else if (mode_ == Mode::Trickle) {
      std::string head = "HTTP/1.0 200 OK\r\nContent-Length: 100000\r\n\r\n";
      ::send(client, head.data(), static_cast<int>(head.size()), 0);
      while (!stop_ && ::send(client, "V", 1, 0) > 0) ::Sleep(200);
    } else {
      // Silent: hold the connection open until the client gives up or we stop.
      while (!stop_) {
        fd_set set;
        FD_ZERO(&set);
        FD_SET(client, &set);
        timeval tv = {0, 100000};
        if (::select(0, &set, nullptr, nullptr, &tv) > 0 && ::recv(client, buf, sizeof(buf), 0) <= 0) break;
      }
    }
    ::shutdown(client, SD_SEND);
    ::closesocket(client);
    serving_ = false;
  }
}
