#pragma once
// The service's node list: fetched on a worker thread, parsed into province
// groups and merged into the catalogue.

#include <atomic>
#include <memory>
#include <string>

#include "catalogue/node.h"
#include "ui/event_loop.h"
#include "ui/main_window.h"

namespace dudivizo::catalogue {

// The reply body as UTF-8 text, or empty with `error` set: 1 when the status
// is not 200 (a failed request included), 2 when the body is not JSON, else
// the reply's own code when it is not 200.
std::string FetchServerList(const std::string& serviceHost, int32_t& error);

// Parses a node list (the reply, or the node list file when `withLocalFields`,
// whose nodes carry YanChi and ShouCang) into `groups`; nodes with status -1
// are skipped. Returns the number of nodes stored.
int ParseNodeList(const std::string& text, Groups& groups, bool withLocalFields);

// Merges fresh groups into the catalogue's: known nodes keep their place,
// favourite, latency and update time and take the fresh city, status, url
// and isp; new nodes of a known province are appended (in the reverse of the
// reply's order); nodes the reply lacks become abandoned (-1); new
// provinces come last in reply order. The caller holds the catalogue lock.
// `fresh` is left with what the merge did not take over; the caller frees
// it, after releasing the lock, so the lock is held for the merge alone.
void MergeNodeList(Groups& catalogue, Groups& fresh);

struct DownloadContext {
  ui::EventLoop* loop = nullptr;
  std::string serviceHost;
  NodeCatalogue* catalogue = nullptr;
  std::atomic<bool>* busy = nullptr;  // downloadBusy
  ui::MainWindow* window = nullptr;
  std::weak_ptr<bool> windowAlive;
};

// The download worker's body: at most one runs at a time; the status label
// shows its progress and result.
void DownloadNodeList(const DownloadContext& context);
// Starts it on a thread of its own, fire and forget; nothing when one runs.
void StartNodeListDownload(const DownloadContext& context);

}  // namespace dudivizo::catalogue
