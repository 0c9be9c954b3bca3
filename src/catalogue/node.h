#pragma once
// The node records, their province groups and the catalogue that holds them.

#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

namespace dudivizo::catalogue {

// One server node. Texts are UTF-8; domain and url are kept in lower case.
struct Node {
  std::string province;
  std::string city;
  std::string domain;
  std::string url;
  std::string isp;
  int64_t update_time = 0;
  int32_t status = 0;    // 0 normal, -1 abandoned, other values faulty
  int32_t YanChi = 0;    // latency; 0 not measured, negative faulty
  int32_t ShouCang = 0;  // non-zero: favourite
  int32_t linkState = 0;
  int32_t connectCount = 0;
  int32_t seenStamp = 0;  // tick of the last merge that found the node

  bool operator==(const Node&) const = default;
};

struct NodeGroup {
  std::string name;
  std::vector<Node> nodes;
  // A memo of the last merge: the number of nodes it left, when their
  // domains were all different (0: not known). Valid because a stored
  // node's domain never changes; nodes added since make the number stale.
  size_t distinctDomains = 0;
  bool operator==(const NodeGroup& o) const { return name == o.name && nodes == o.nodes; }
};

using Groups = std::vector<NodeGroup>;

// The reference a list row carries: the 1-based group number in the low 16
// bits, the 1-based node number in the high 16 bits (read back signed).
using NodeRef = int32_t;

// The reference of a position, or 0 (designating nothing) when the
// position does not fit: group numbers above 65535 or node numbers above
// 32767 cannot be carried, so such rows select nothing rather than
// another node.
NodeRef MakeNodeRef(int group, int node);
int RefGroup(NodeRef ref);
int RefNode(NodeRef ref);

// Appends a copy of `node` to the group named like its province, making
// that group at the end when there is none.
void AddNode(Groups& groups, const Node& node);

class NodeCatalogue {
 public:
  void Lock() { lock_.lock(); }
  void Unlock() { lock_.unlock(); }
  std::recursive_mutex& mutex() { return lock_; }

  // Everything below expects the caller to hold the lock.
  Groups groups;
  void ClearCatalogue() { groups.clear(); }
  int FindGroup(const std::string& province) const;  // 1-based, 0 when none
  int FindNodeInGroup(int group, const std::string& domain) const;
  Node* ResolveRef(NodeRef ref);

  // Counts a successful connection for the first node whose domain equals
  // `domain` without regard to ASCII case. Takes the lock itself.
  void CountConnection(const std::string& domain);

 private:
  std::recursive_mutex lock_;
};

}  // namespace dudivizo::catalogue
