// The one HTTP server of the unit tests: on 127.0.0.1, on a thread of its own, each
// connection answered by a handler (ready-made ones below, honest and hostile).
#pragma once

#include <winsock2.h>

#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>

class LocalHttpServer {
 public:
  // One accepted connection, its request (line and headers) already read.
  class Connection {
   public:
    Connection(SOCKET client, std::string request, const std::atomic<bool>& ending)
        : client_(client), request_(std::move(request)), ending_(ending) {}
    const std::string& request() const { return request_; }
    // False once the client has gone.
    bool Send(std::string_view bytes);
    // True once the server is being destroyed: a handler that waits must give up.
    bool ending() const { return ending_; }
    // Reads and drops what the client sends until it hangs up (true) or the server
    // ends (false).
    bool WaitForHangUp();

   private:
    SOCKET client_;
    std::string request_;
    const std::atomic<bool>& ending_;
  };
  // Answers connection number `number` (from 0).
  using Handler = std::function<void(Connection& connection, int number)>;

  enum class Mode {
    Answer,          // sends `response` and closes
    Silent,          // accepts, reads the request, never answers
    Endless,         // sends a header without length, then bytes until the client goes away
    Trickle,         // announces a long body, then sends one byte every 200 ms
    Redirects,       // answers the first `redirects` requests with a 302 to the next path, then `response`
    HeaderTrickle,   // sends the status line, then a header one byte every 200 ms
    EndlessHeaders,  // sends the status line, then header lines without end
  };

  explicit LocalHttpServer(Handler handler);
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

  Handler handler_;
  std::atomic<int> requests_{0};
  std::atomic<bool> serving_{false};
  SOCKET listener_ = INVALID_SOCKET;
  int port_ = 0;
  std::atomic<bool> stop_{false};
  std::mutex mutex_;
  std::string lastRequest_;
  std::thread thread_;
};
