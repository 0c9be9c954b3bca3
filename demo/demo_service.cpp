#include "demo/demo_service.h"

#include "platform/gbk.h"
#include "service/json_document.h"

namespace dudivizo::demo {
namespace {

ServerResponse GbkJson(const std::string& utf8) {
  ServerResponse r;
  r.contentType = "application/json; charset=gbk";
  r.body = platform::Utf8ToGbk(utf8);
  return r;
}

}  // namespace

DemoService::DemoService()
    : accounts_(StandardAccounts()),
      server_([this](const ServerRequest& request) { return Handle(request); }) {
  SetNodes(StandardCatalogue());
}

DemoService::~DemoService() { Stop(); }

bool DemoService::Start(uint16_t port, const std::string& address) {
  address_ = address;
  return server_.Start(address, port);
}

void DemoService::Stop() { server_.Stop(); }

std::string DemoService::Host() const { return address_ + ":" + std::to_string(server_.port()); }

void DemoService::SetBehaviour(Endpoint endpoint, Behaviour behaviour) {
  std::lock_guard<std::mutex> lock(mutex_);
  behaviours_[static_cast<size_t>(endpoint)] = behaviour;
}

void DemoService::SetBehaviourForAll(Behaviour behaviour) {
  std::lock_guard<std::mutex> lock(mutex_);
  behaviours_.fill(behaviour);
}

void DemoService::SetNodes(std::vector<DemoNode> nodes) {
  std::string body = platform::Utf8ToGbk(NodeListJson(nodes));
  std::lock_guard<std::mutex> lock(mutex_);
  nodes_ = std::move(nodes);
  nodeListBody_ = std::move(body);
}

void DemoService::SetPublicAddress(std::string address, std::string location) {
  std::lock_guard<std::mutex> lock(mutex_);
  publicAddress_ = std::move(address);
  publicLocation_ = std::move(location);
}

int DemoService::RequestCount(Endpoint endpoint) const {
  return requests_[static_cast<size_t>(endpoint)].load();
}

ServerResponse DemoService::Handle(const ServerRequest& request) {
  int which;
  if (request.path == "/userinfo/") {
    which = static_cast<int>(Endpoint::SignIn);
  } else if (request.path == "/serverlistpc_rare/") {
    which = static_cast<int>(Endpoint::NodeList);
  } else if (request.path == "/ipinfohtml/") {
    which = static_cast<int>(Endpoint::IpInfo);
  } else {
    ServerResponse missing;
    missing.status = 404;
    missing.body = "not found";
    return missing;
  }
  requests_[static_cast<size_t>(which)]++;
  Behaviour behaviour;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    behaviour = behaviours_[static_cast<size_t>(which)];
  }
  ServerResponse response;
  if (behaviour.malformed) {
    response.contentType = "text/html";
    response.body = "<html><body><h1>502 Bad Gateway</h1></body></html>";
  } else if (!behaviour.empty) {
    switch (static_cast<Endpoint>(which)) {
      case Endpoint::SignIn:
        response = SignIn(request);
        break;
      case Endpoint::NodeList:
        response = NodeList();
        break;
      case Endpoint::IpInfo:
        response = IpInfo(request);
        break;
    }
  }
  if (behaviour.empty) response.body.clear();
  response.status = behaviour.status;
  response.delayMs = behaviour.delayMs;
  response.hang = behaviour.hang;
  return response;
}

ServerResponse DemoService::SignIn(const ServerRequest& request) {
  std::string user = platform::GbkToUtf8(PercentDecode(request.QueryValue("user")));
  std::string password = platform::GbkToUtf8(PercentDecode(request.QueryValue("password")));
  service::JsonDocument answer;
  const DemoAccount* account = nullptr;
  for (const DemoAccount& a : accounts_) {
    if (a.user == user) account = &a;
  }
  if (request.QueryValue("type") != "vidir") {
    answer.setInt("code", 400);
    answer.setText("msg", "参数错误");
  } else if (account == nullptr || account->password != password) {
    answer.setInt("code", 102);
    answer.setText("msg", "账号或密码错误");
  } else if (account->refusalCode != 100) {
    answer.setInt("code", account->refusalCode);
    answer.setText("msg", account->refusal);
  } else {
    answer.setInt("code", 100);
    answer.setText("msg", "登录成功");
    service::JsonDocument data;
    data.setText("username", account->user);
    data.setText("expiretime", account->expireTime);
    data.setInt("maxdevice", 2);
    answer.setJson("data", data.toText());
  }
  return GbkJson(answer.toText());
}

ServerResponse DemoService::NodeList() {
  ServerResponse r;
  r.contentType = "application/json; charset=gbk";
  std::lock_guard<std::mutex> lock(mutex_);
  r.body = nodeListBody_;
  return r;
}

ServerResponse DemoService::IpInfo(const ServerRequest& request) {
  std::string address, location;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    address = publicAddress_.empty() ? request.peerAddress : publicAddress_;
    location = publicLocation_;
  }
  ServerResponse r;
  r.contentType = "text/html; charset=utf-8";
  r.body =
      "<!DOCTYPE html><html><head><meta charset=\"utf-8\"><title>IP</title></head><body>"
      "<p>您的IP：<ip>" +
      address + "</ip></p><p>归属地：<pos>" + location + "</pos></p></body></html>";
  return r;
}

}  // namespace dudivizo::demo
