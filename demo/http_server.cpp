#include "demo/http_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>

#include "platform/text.h"

namespace dudivizo::demo {
namespace {

constexpr size_t kMaxHeaderBytes = 1u << 20;
constexpr size_t kMaxBodyBytes = 64u << 20;

const char* ReasonPhrase(int status) {
  switch (status) {
    case 200:
      return "OK";
    case 302:
      return "Found";
    case 400:
      return "Bad Request";
    case 404:
      return "Not Found";
    case 500:
      return "Internal Server Error";
    case 503:
      return "Service Unavailable";
    default:
      return "Status";
  }
}

bool SendAll(int fd, std::string_view data) {
  while (!data.empty()) {
    ssize_t n = ::send(fd, data.data(), data.size(), MSG_NOSIGNAL);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    data.remove_prefix(static_cast<size_t>(n));
  }
  return true;
}

// Reads one request from `fd`; false when the peer closed or sent garbage.
bool ReadRequest(int fd, ServerRequest& request) {
  std::string data;
  char buffer[16384];
  size_t headerEnd;
  while ((headerEnd = data.find("\r\n\r\n")) == std::string::npos) {
    if (data.size() > kMaxHeaderBytes) return false;
    ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    data.append(buffer, static_cast<size_t>(n));
  }
  std::vector<std::string> lines =
      platform::Split(std::string_view(data).substr(0, headerEnd), "\r\n");
  std::vector<std::string> first = platform::Split(lines[0], " ");
  if (first.size() < 2) return false;
  request.method = first[0];
  request.target = first[1];
  size_t q = request.target.find('?');
  request.path = request.target.substr(0, q);
  request.query = q == std::string::npos ? "" : request.target.substr(q + 1);
  request.headerLines.assign(lines.begin() + 1, lines.end());
  size_t length = static_cast<size_t>(platform::TextToInt64(request.Header("Content-Length")));
  if (length > kMaxBodyBytes) return false;
  request.body = data.substr(headerEnd + 4);
  while (request.body.size() < length) {
    ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    request.body.append(buffer, static_cast<size_t>(n));
  }
  request.body.resize(length);
  return true;
}

}  // namespace

std::string ServerRequest::Header(std::string_view name) const {
  for (const std::string& line : headerLines) {
    size_t colon = line.find(':');
    if (colon != std::string::npos &&
        platform::EqualsIgnoreAsciiCase(platform::Trim(std::string_view(line).substr(0, colon)),
                                        name)) {
      return std::string(platform::Trim(std::string_view(line).substr(colon + 1)));
    }
  }
  return {};
}

std::string ServerRequest::QueryValue(std::string_view name) const {
  for (const std::string& pair : platform::Split(query, "&")) {
    size_t eq = pair.find('=');
    if (std::string_view(pair).substr(0, eq) == name) {
      return eq == std::string::npos ? "" : pair.substr(eq + 1);
    }
  }
  return {};
}

std::string PercentDecode(std::string_view text) {
  auto hex = [](char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
  };
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '%' && i + 2 < text.size() && hex(text[i + 1]) >= 0 && hex(text[i + 2]) >= 0) {
      out.push_back(static_cast<char>(hex(text[i + 1]) * 16 + hex(text[i + 2])));
      i += 2;
    } else {
      out.push_back(text[i]);
    }
  }
  return out;
}

HttpServer::HttpServer(Handler handler) : handler_(std::move(handler)) {}

HttpServer::~HttpServer() { Stop(); }

bool HttpServer::Start(const std::string& address, uint16_t port) {
  listenFd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (listenFd_ < 0) return false;
  int yes = 1;
  ::setsockopt(listenFd_, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_port = htons(port);
  if (::inet_pton(AF_INET, address.c_str(), &addr.sin_addr) != 1 ||
      ::bind(listenFd_, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 ||
      ::listen(listenFd_, 64) != 0) {
    ::close(listenFd_);
    listenFd_ = -1;
    return false;
  }
  socklen_t length = sizeof addr;
  ::getsockname(listenFd_, reinterpret_cast<sockaddr*>(&addr), &length);
  port_ = ntohs(addr.sin_port);
  stopping_ = false;
  acceptThread_ = std::thread([this] { AcceptLoop(); });
  return true;
}

void HttpServer::Stop() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (listenFd_ < 0 && connections_.empty()) return;
    stopping_ = true;
    for (Connection& c : connections_) {
      if (c.fd >= 0) ::shutdown(c.fd, SHUT_RDWR);
    }
  }
  stopped_.notify_all();
  if (acceptThread_.joinable()) acceptThread_.join();
  for (Connection& c : connections_) c.thread.join();
  connections_.clear();
  if (listenFd_ >= 0) ::close(listenFd_);
  listenFd_ = -1;
}

void HttpServer::AcceptLoop() {
  while (true) {
    pollfd p{listenFd_, POLLIN, 0};
    int ready = ::poll(&p, 1, 50);
    std::lock_guard<std::mutex> lock(mutex_);
    if (stopping_) return;
    ReapFinished();
    if (ready <= 0) continue;
    sockaddr_in peer{};
    socklen_t length = sizeof peer;
    int fd = ::accept4(listenFd_, reinterpret_cast<sockaddr*>(&peer), &length, SOCK_CLOEXEC);
    if (fd < 0) continue;
    Connection& c = connections_.emplace_back();
    c.fd = fd;
    c.thread = std::thread([this, &c] { Serve(&c); });
  }
}

void HttpServer::ReapFinished() {
  for (auto it = connections_.begin(); it != connections_.end();) {
    if (it->done) {
      it->thread.join();
      it = connections_.erase(it);
    } else {
      ++it;
    }
  }
}

bool HttpServer::Wait(int ms) {
  std::unique_lock<std::mutex> lock(mutex_);
  if (ms < 0) {
    stopped_.wait(lock, [this] { return stopping_; });
  } else {
    stopped_.wait_for(lock, std::chrono::milliseconds(ms), [this] { return stopping_; });
  }
  return !stopping_;
}

void HttpServer::Serve(Connection* connection) {
  ServerRequest request;
  if (ReadRequest(connection->fd, request)) {
    sockaddr_in peer{};
    socklen_t length = sizeof peer;
    char text[INET_ADDRSTRLEN] = "";
    if (::getpeername(connection->fd, reinterpret_cast<sockaddr*>(&peer), &length) == 0)
      ::inet_ntop(AF_INET, &peer.sin_addr, text, sizeof text);
    request.peerAddress = text;
    ServerResponse response = handler_(request);
    bool answer = response.hang ? Wait(-1) : Wait(response.delayMs);
    if (answer) {
      std::string head = "HTTP/1.1 " + std::to_string(response.status) + " " +
                         ReasonPhrase(response.status) + "\r\n";
      if (!response.contentType.empty()) head += "Content-Type: " + response.contentType + "\r\n";
      for (const std::string& line : response.extraHeaders) head += line + "\r\n";
      head += "Content-Length: " + std::to_string(response.body.size()) +
              "\r\nConnection: close\r\n\r\n";
      if (SendAll(connection->fd, head) && request.method != "HEAD")
        SendAll(connection->fd, response.body);
    }
  }
  std::lock_guard<std::mutex> lock(mutex_);
  ::close(connection->fd);
  connection->fd = -1;
  connection->done = true;
}

}  // namespace dudivizo::demo
