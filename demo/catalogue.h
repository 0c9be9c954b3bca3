#pragma once
// The demo service's node catalogue and accounts.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace dudivizo::demo {

struct DemoNode {
  std::string province;
  std::string city;
  std::string domain;
  std::string isp;  // 电信, 联通 or 移动
  std::string url;
  int64_t updateTime = 0;
  bool updateTimeAsText = false;  // written as "1700000000" instead of 1700000000
  int status = 0;                 // 0 normal, -1 abandoned, other values faulty
  std::string address;            // the public address a tunnel through it shows
};

struct DemoAccount {
  std::string user;
  std::string password;
  std::string expireTime;
  int refusalCode = 100;  // 100 signs in; any other code refuses with `refusal`
  std::string refusal;
};

// The demo catalogue: every one of the 31 provinces with three cities and
// the three operators; a few nodes are faulty and a few abandoned.
std::vector<DemoNode> StandardCatalogue();

// A catalogue of `count` nodes over the 31 provinces, for load tests.
std::vector<DemoNode> GeneratedCatalogue(size_t count);

std::vector<DemoAccount> StandardAccounts();

// The node list answer for `nodes`, as UTF-8 JSON text.
std::string NodeListJson(const std::vector<DemoNode>& nodes);

// The location text of a node, such as 中国-广东-深圳.
std::string LocationOf(const DemoNode& node);

}  // namespace dudivizo::demo
