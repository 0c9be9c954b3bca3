#include "catalogue/download.h"

#include <cmath>
#include <cstring>
#include <unordered_map>

#include "platform/clock.h"
#include "platform/gbk.h"
#include "platform/process.h"
#include "platform/text.h"
#include "service/endpoints.h"
#include "service/http_request.h"
#include "service/json_document.h"

namespace dudivizo::catalogue {

std::string FetchServerList(const std::string& serviceHost, int32_t& error) {
  service::HttpOutputs out;
  std::string body = service::HttpRequest(service::NodeListUrl(serviceHost), {}, &out);
  if (out.status != 200) {
    error = 1;
    return {};
  }
  std::string text = platform::GbkToUtf8(body);
  service::JsonDocument reply;
  if (!reply.parse(text)) {
    error = 2;
    return {};
  }
  double code = std::trunc(reply.getReal("code"));
  if (code != 200) {
    error = static_cast<int32_t>(code);
    return {};
  }
  return text;
}

int ParseNodeList(const std::string& text, Groups& groups, bool withLocalFields) {
  service::JsonDocument doc;
  if (!doc.parse(text)) return 0;
  const int n = doc.count("data");
  int stored = 0;
  // Group positions by name: a list with thousands of provinces must not
  // make every node scan all groups.
  std::unordered_map<std::string, size_t> groupOf;
  for (size_t g = 0; g < groups.size(); ++g) groupOf.emplace(groups[g].name, g);
  for (int i = 0; i < n; ++i) {
    const std::string prefix = "data[" + std::to_string(i) + "].";
    Node node;
    node.province = doc.getText(prefix + "province");
    node.city = doc.getText(prefix + "city");
    node.domain = platform::AsciiLower(doc.getText(prefix + "domain"));
    node.isp = doc.getText(prefix + "isp");
    node.url = platform::AsciiLower(doc.getText(prefix + "url"));
    node.update_time = platform::TextToInt64(doc.getText(prefix + "update_time"));
    node.status = doc.getInt(prefix + "status");
    node.linkState = 4;
    if (withLocalFields) {
      node.YanChi = doc.getInt(prefix + "YanChi");
      node.ShouCang = doc.getInt(prefix + "ShouCang");
    }
    if (node.status == -1) continue;
    auto [at, isNew] = groupOf.emplace(node.province, groups.size());
    if (isNew) groups.push_back({node.province, {}});
    groups[at->second].nodes.push_back(std::move(node));
    ++stored;
  }
  return stored;
}

namespace {

uint64_t HashDomain(std::string_view s) {
  uint64_t h = 0x9E3779B97F4A7C15ull ^ s.size();
  size_t i = 0;
  for (; i + 8 <= s.size(); i += 8) {
    uint64_t word;
    std::memcpy(&word, s.data() + i, 8);
    h = (h ^ word) * 0xBF58476D1CE4E5B9ull;
    h ^= h >> 31;
  }
  uint64_t tail = 0;
  std::memcpy(&tail, s.data() + i, s.size() - i);
  h = (h ^ tail) * 0x94D049BB133111EBull;
  return h ^ (h >> 29);
}

// The position of the first node of each domain in one group: an open
// addressing table of (hash tag, position + 1), rebuilt for every group
// without allocating per node.
class DomainIndex {
 public:
  // Indexes `nodes`, with room for `room` in all; returns false when two of
  // them share a domain.
  bool Build(const std::vector<Node>& nodes, size_t room) {
    size_t size = 16;
    while (size < 2 * room) size <<= 1;
    slots_.assign(size, 0);
    mask_ = size - 1;
    bool distinct = true;
    for (size_t n = 0; n < nodes.size(); ++n) distinct &= Insert(nodes, n);
    return distinct;
  }
  // The first position holding `domain`, or npos.
  size_t Find(const std::vector<Node>& nodes, std::string_view domain) const {
    const uint64_t h = HashDomain(domain);
    for (size_t i = h & mask_;; i = (i + 1) & mask_) {
      const uint64_t slot = slots_[i];
      if (slot == 0) return std::string_view::npos;
      const size_t pos = static_cast<uint32_t>(slot) - 1;
      if ((slot >> 32) == (h >> 32) && nodes[pos].domain == domain) return pos;
    }
  }
  // Adds nodes[pos] unless its domain is there already (the first stays).
  bool Insert(const std::vector<Node>& nodes, size_t pos) {
    const std::string_view domain = nodes[pos].domain;
    const uint64_t h = HashDomain(domain);
    for (size_t i = h & mask_;; i = (i + 1) & mask_) {
      uint64_t& slot = slots_[i];
      if (slot == 0) {
        slot = (h >> 32 << 32) | (pos + 1);
        return true;
      }
      const size_t at = static_cast<uint32_t>(slot) - 1;
      if ((slot >> 32) == (h >> 32) && nodes[at].domain == domain) return false;
    }
  }

 private:
  std::vector<uint64_t> slots_;
  size_t mask_ = 0;
};

// Takes the fresh text over; an equal one is left alone, which spares
// freeing and moving buffers in the usual merge where little changed.
void TakeText(std::string& to, std::string& from) {
  if (to != from) to = std::move(from);
}

}  // namespace

void MergeNodeList(Groups& catalogue, Groups& fresh) {
  const auto stamp = static_cast<int32_t>(platform::TickCount());
  // Indexes stand in for the linear scans: the first group of each name and
  // the first node of each domain, kept up to date as nodes are appended.
  std::unordered_map<std::string_view, size_t> groupIndex;
  for (size_t g = 0; g < catalogue.size(); ++g) groupIndex.emplace(catalogue[g].name, g);

  DomainIndex nodeIndex;
  Groups leftOver;  // fresh groups of provinces new to the catalogue, in reverse order
  for (size_t fi = fresh.size(); fi-- > 0;) {
    NodeGroup& f = fresh[fi];
    auto found = groupIndex.find(f.name);
    if (found == groupIndex.end()) {
      leftOver.push_back(std::move(f));
      continue;
    }
    std::vector<Node>& nodes = catalogue[found->second].nodes;
    const size_t known = nodes.size();
    // Room for every node of F first, so the domains the index points at
    // never move while nodes are appended.
    nodes.reserve(known + f.nodes.size());
    // With distinct domains, the known node at the fresh node's own
    // position is the first (and only) one of its domain whenever the
    // domains match: the usual reply, in the same order, needs no lookup.
    // Whether they are distinct is known from the last merge, else learnt
    // while indexing them; the index itself is built when first needed.
    const size_t room = known + f.nodes.size();
    bool indexed = false;
    bool distinct = known > 0 && catalogue[found->second].distinctDomains == known;
    if (!distinct) {
      distinct = nodeIndex.Build(nodes, room);
      indexed = true;
    }
    for (size_t ni = f.nodes.size(); ni-- > 0;) {
      Node& fn = f.nodes[ni];
      size_t at = ni;
      if (!distinct || ni >= known || nodes[ni].domain != fn.domain) {
        if (!indexed) indexed = (nodeIndex.Build(nodes, room), true);
        at = nodeIndex.Find(nodes, fn.domain);
      }
      if (at == std::string_view::npos) {
        fn.seenStamp = stamp;
        nodes.push_back(std::move(fn));
        if (indexed) nodeIndex.Insert(nodes, nodes.size() - 1);
      } else {
        // F is consumed by the merge, so its texts can be moved over.
        Node& n = nodes[at];
        n.seenStamp = stamp;
        TakeText(n.city, fn.city);
        n.status = fn.status;
        TakeText(n.url, fn.url);
        TakeText(n.isp, fn.isp);
      }
    }
    // Nodes are appended only when their domain is not there yet, so
    // distinct domains stay distinct.
    catalogue[found->second].distinctDomains = distinct ? nodes.size() : 0;
  }
  for (NodeGroup& g : catalogue) {
    for (Node& n : g.nodes) {
      if (n.seenStamp != stamp) n.status = -1;
    }
  }
  for (size_t i = leftOver.size(); i-- > 0;) catalogue.push_back(std::move(leftOver[i]));
}

namespace {

// The download itself; the caller has set the busy flag, the body clears it.
void DownloadHeld(const DownloadContext& c) {
  auto label = [&c](std::string text) {
    c.loop->PostFor(c.windowAlive,
                    [w = c.window, text = std::move(text)] { w->标签_状态1.SetText(text); });
  };
  label(" | 更新节点中...");
  int32_t error = 0;
  std::string text = FetchServerList(c.serviceHost, error);
  std::string message;
  if (text.empty()) {
    message = "下载节点数据错误:" + std::to_string(error);
  } else {
    Groups fresh;
    if (ParseNodeList(text, fresh, false) <= 0) {
      message = "处理节点数据错误";
    } else {
      {
        std::lock_guard<std::recursive_mutex> hold(c.catalogue->mutex());
        MergeNodeList(c.catalogue->groups, fresh);
      }
      Groups().swap(fresh);  // what the merge left is freed outside the lock
      label(" | 更新节点 已完成");
      c.busy->store(false);  // the last touch of shared state
      return;
    }
  }
  label(" | 更新节点 错误");
  label(" | " + message);
  c.busy->store(false);
}

}  // namespace

void DownloadNodeList(const DownloadContext& context) {
  if (!context.busy->exchange(true)) DownloadHeld(context);
}

void StartNodeListDownload(const DownloadContext& context) {
  // The flag is taken before the thread starts, so a second start that
  // follows at once already finds it set.
  if (context.busy->exchange(true)) return;
  platform::StartThread([context] { DownloadHeld(context); });
}

}  // namespace dudivizo::catalogue
