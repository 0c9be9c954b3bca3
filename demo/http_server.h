#pragma once
// A small HTTP/1.1 server for loopback use: the demo service and tests that
// need to see exactly what a client sent. One thread per connection, one
// request per connection.

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <list>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace dudivizo::demo {

struct ServerRequest {
  std::string method;
  std::string target;  // as sent: path and query
  std::string path;
  std::string query;
  std::vector<std::string> headerLines;  // in the order received, without CR LF
  std::string body;
  std::string peerAddress;

  // The value of the first header named `name` (any letter case), trimmed.
  std::string Header(std::string_view name) const;
  // The raw (still percent-encoded) value of a query parameter.
  std::string QueryValue(std::string_view name) const;
};

struct ServerResponse {
  int status = 200;
  std::string contentType = "text/plain";
  std::vector<std::string> extraHeaders;  // whole "Name: value" lines
  std::string body;
  int delayMs = 0;    // wait this long before answering
  bool hang = false;  // never answer; hold the connection until Stop
};

class HttpServer {
 public:
  using Handler = std::function<ServerResponse(const ServerRequest&)>;

  explicit HttpServer(Handler handler);
  ~HttpServer();
  HttpServer(const HttpServer&) = delete;
  HttpServer& operator=(const HttpServer&) = delete;

  // Listens on `address`:`port` (0 picks a free port). False on failure.
  bool Start(const std::string& address = "127.0.0.1", uint16_t port = 0);
  // Closes every connection, including held ones, and waits for them.
  void Stop();
  uint16_t port() const { return port_; }

 private:
  struct Connection {
    int fd = -1;
    std::thread thread;
    bool done = false;
  };

  void AcceptLoop();
  void Serve(Connection* connection);
  // Waits up to `ms` (forever when negative) or until Stop; false once stopping.
  bool Wait(int ms);
  void ReapFinished();

  Handler handler_;
  int listenFd_ = -1;
  uint16_t port_ = 0;
  std::thread acceptThread_;
  std::mutex mutex_;
  std::condition_variable stopped_;
  bool stopping_ = false;
  std::list<Connection> connections_;
};

// Decodes %XX escapes (and nothing else) into raw bytes.
std::string PercentDecode(std::string_view text);

}  // namespace dudivizo::demo
