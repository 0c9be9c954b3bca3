#pragma once
// The demo subscription service: the sign-in, node list and IP information
// endpoints on loopback, answering like the real service. Runs in-process
// (tests) or as the dudivizo-demo program.

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "demo/catalogue.h"
#include "demo/http_server.h"

namespace dudivizo::demo {

enum class Endpoint { SignIn = 0, NodeList = 1, IpInfo = 2 };

// How an endpoint misbehaves; the default answers normally.
struct Behaviour {
  int delayMs = 0;         // answer this much later
  int status = 200;        // HTTP status of the answer
  bool malformed = false;  // a body that is not the expected format
  bool empty = false;      // an empty body
  bool hang = false;       // accept the request and never answer
};

class DemoService {
 public:
  DemoService();
  ~DemoService();

  // Listens on `address`:`port` (0 picks a free port).
  bool Start(uint16_t port = 0, const std::string& address = "127.0.0.1");
  void Stop();
  // "address:port", the service host to give the client.
  std::string Host() const;
  uint16_t port() const { return server_.port(); }

  void SetBehaviour(Endpoint endpoint, Behaviour behaviour);
  void SetBehaviourForAll(Behaviour behaviour);
  void SetNodes(std::vector<DemoNode> nodes);
  // The address and location "/ipinfohtml/" reports; empty address: the caller's own.
  void SetPublicAddress(std::string address, std::string location);
  int RequestCount(Endpoint endpoint) const;

 private:
  ServerResponse Handle(const ServerRequest& request);
  ServerResponse SignIn(const ServerRequest& request);
  ServerResponse NodeList();
  ServerResponse IpInfo(const ServerRequest& request);

  mutable std::mutex mutex_;
  std::array<Behaviour, 3> behaviours_{};
  std::array<std::atomic<int>, 3> requests_{};
  std::vector<DemoAccount> accounts_;
  std::vector<DemoNode> nodes_;
  std::string nodeListBody_;  // GBK, rebuilt when the nodes change
  std::string publicAddress_;
  std::string publicLocation_ = "中国-北京-北京";
  std::string address_ = "127.0.0.1";
  HttpServer server_;
};

}  // namespace dudivizo::demo
