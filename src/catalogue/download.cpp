#include "catalogue/download.h"

#include <cmath>
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

void MergeNodeList(Groups& catalogue, Groups& fresh) {
  const auto stamp = static_cast<int32_t>(platform::TickCount());
  // Indexes stand in for the linear scans: the first group of each name and
  // the first node of each domain, kept up to date as nodes are appended.
  std::unordered_map<std::string_view, size_t> groupIndex;
  for (size_t g = 0; g < catalogue.size(); ++g) groupIndex.emplace(catalogue[g].name, g);

  Groups leftOver;  // fresh groups of provinces new to the catalogue, in reverse order
  for (size_t fi = fresh.size(); fi-- > 0;) {
    NodeGroup& f = fresh[fi];
    auto found = groupIndex.find(f.name);
    if (found == groupIndex.end()) {
      leftOver.push_back(std::move(f));
      continue;
    }
    NodeGroup& g = catalogue[found->second];
    // Room for every node of F first, so the domains the index points at
    // never move while nodes are appended.
    g.nodes.reserve(g.nodes.size() + f.nodes.size());
    std::unordered_map<std::string_view, size_t> nodeIndex;
    nodeIndex.reserve(g.nodes.size() + f.nodes.size());
    for (size_t n = 0; n < g.nodes.size(); ++n) nodeIndex.emplace(g.nodes[n].domain, n);
    for (size_t ni = f.nodes.size(); ni-- > 0;) {
      Node& fn = f.nodes[ni];
      auto known = nodeIndex.find(fn.domain);
      if (known == nodeIndex.end()) {
        fn.seenStamp = stamp;
        g.nodes.push_back(std::move(fn));
        nodeIndex.emplace(g.nodes.back().domain, g.nodes.size() - 1);
      } else {
        // F is consumed by the merge, so its texts can be moved over.
        Node& n = g.nodes[known->second];
        n.seenStamp = stamp;
        n.city = std::move(fn.city);
        n.status = fn.status;
        n.url = std::move(fn.url);
        n.isp = std::move(fn.isp);
      }
    }
  }
  for (NodeGroup& g : catalogue) {
    for (Node& n : g.nodes) {
      if (n.seenStamp != stamp) n.status = -1;
    }
  }
  for (size_t i = leftOver.size(); i-- > 0;) catalogue.push_back(std::move(leftOver[i]));
  fresh.clear();
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
