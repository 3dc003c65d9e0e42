// A tiny HTTP server on 127.0.0.1 for the fetch tests, running on its own thread.
#pragma once

#include <winsock2.h>

#include <atomic>
#include <mutex>
#include <string>
#include <thread>

class LocalHttpServer {
 public:
  enum class Mode {
    Answer,          // sends `response` and closes
    Silent,          // accepts, reads the request, never answers
    Endless,         // sends a header without length, then bytes until the client goes away
    Trickle,         // announces a long body, then sends one byte every 200 ms
    Redirects,       // answers the first `redirects` requests with a 302 to the next path, then `response`
    HeaderTrickle,   // sends the status line, then a header one byte every 200 ms
    EndlessHeaders,  // sends the status line, then header lines without end
  };

  LocalHttpServer(Mode mode, std::string response = {}, int redirects = 0);
  ~LocalHttpServer();
  LocalHttpServer(const LocalHttpServer&) = delete;
  LocalHttpServer& operator=(const LocalHttpServer&) = delete;

  int port() const { return port_; }
  std::string base() const { return "http://127.0.0.1:" + std::to_string(port_); }
  // The last request's bytes as received (request line and headers).
  std::string lastRequest();
  int requests() const { return requests_; }
  // True while a connection is open: the client has not let go of it yet.
  bool serving() const { return serving_; }

  static std::string Response(const std::string& status, const std::string& body, bool withLength = true);

 private:
  void Serve();

  Mode mode_;
  std::string response_;
  int redirects_;
  std::atomic<int> requests_{0};
  std::atomic<bool> serving_{false};
  SOCKET listener_ = INVALID_SOCKET;
  int port_ = 0;
  std::atomic<bool> stop_{false};
  std::mutex mutex_;
  std::string lastRequest_;
  std::thread thread_;
};
