#include "catalogue/node.h"

#include "platform/text.h"

namespace dudivizo::catalogue {

NodeRef MakeNodeRef(int group, int node) {
  if (group < 1 || group > 0xFFFF || node < 0 || node > 0x7FFF) return 0;
  return static_cast<NodeRef>(static_cast<uint32_t>(node) << 16 | static_cast<uint32_t>(group));
}

int RefGroup(NodeRef ref) { return static_cast<int>(static_cast<uint32_t>(ref) & 0xFFFF); }

int RefNode(NodeRef ref) {
  return static_cast<int16_t>(static_cast<uint16_t>(static_cast<uint32_t>(ref) >> 16));
}

void AddNode(Groups& groups, const Node& node) {
  for (NodeGroup& g : groups) {
    if (g.name == node.province) {
      g.nodes.push_back(node);
      return;
    }
  }
  groups.push_back({node.province, {node}});
}

int NodeCatalogue::FindGroup(const std::string& province) const {
  for (size_t i = 0; i < groups.size(); ++i) {
    if (groups[i].name == province) return static_cast<int>(i + 1);
  }
  return 0;
}

int NodeCatalogue::FindNodeInGroup(int group, const std::string& domain) const {
  if (group < 1 || group > static_cast<int>(groups.size())) return 0;
  const auto& nodes = groups[static_cast<size_t>(group - 1)].nodes;
  for (size_t i = 0; i < nodes.size(); ++i) {
    if (nodes[i].domain == domain) return static_cast<int>(i + 1);
  }
  return 0;
}

Node* NodeCatalogue::ResolveRef(NodeRef ref) {
  int g = RefGroup(ref);
  int n = RefNode(ref);
  if (g < 1 || g > static_cast<int>(groups.size())) return nullptr;
  auto& nodes = groups[static_cast<size_t>(g - 1)].nodes;
  if (n < 1 || n > static_cast<int>(nodes.size())) return nullptr;
  return &nodes[static_cast<size_t>(n - 1)];
}

void NodeCatalogue::CountConnection(const std::string& domain) {
  const std::string wanted = platform::AsciiLower(domain);
  size_t group = 0, node = 0;
  bool found = false;
  {
    std::lock_guard<std::recursive_mutex> hold(lock_);
    for (size_t g = 0; g < groups.size() && !found; ++g) {
      for (size_t n = 0; n < groups[g].nodes.size() && !found; ++n) {
        if (platform::AsciiLower(groups[g].nodes[n].domain) == wanted) {
          group = g;
          node = n;
          found = true;
        }
      }
    }
  }
  // The catalogue only grows, so the position found still holds the node
  // (a pointer would not survive a merge that appends in between).
  if (found) {
    std::lock_guard<std::recursive_mutex> hold(lock_);
    ++groups[group].nodes[node].connectCount;
  }
}

}  // namespace dudivizo::catalogue
