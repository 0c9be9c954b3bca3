#pragma once
// The two files that carry one account's catalogue and state from run to
// run: "<user>_JieDianLieBiao.BIN" (every listed node with its favourite flag
// and latency) and "<user>_DangQian.bin" (the current node and the settings
// object "PenZhi"). Both are compact JSON in GBK.

#include <string>

#include "catalogue/current_state.h"
#include "catalogue/node.h"

namespace dudivizo::catalogue {

// Largest node list or state file that is read; a larger one reads as
// missing (it would hold far more nodes than a list row can designate).
inline constexpr size_t kMaxNodeFileBytes = 64u << 20;

std::string NodeListPath(const std::string& dataDirectory, const std::string& userName);
std::string StatePath(const std::string& dataDirectory, const std::string& userName);

// The node object: province, city, domain, isp, url, update_time, status,
// YanChi, ShouCang, every value a JSON string.
std::string NodeToJson(const Node& node);

// The node list text (UTF-8) of `groups`: the template members msg, code and
// data, data being the array of every node whose status is not -1, or the
// empty text when there is none. The caller holds the catalogue lock.
std::string NodeListText(const Groups& groups);

// Writes the node list file (GBK), building the text under the lock and
// writing outside it. False when the write failed.
bool SaveNodeFile(NodeCatalogue& catalogue, const std::string& path);
// Empties the catalogue and reads the file into it; a missing, unreadable
// or unparsable file leaves it empty.
void LoadNodeFile(NodeCatalogue& catalogue, const std::string& path);

// The state file: data = the current node, PenZhi = the settings object.
std::string StateText(const CurrentState& state);
bool SaveStateFile(const CurrentState& state, const std::string& path);
// Reads the file into `state`; false (nothing changed) when it does not parse.
bool LoadStateFile(CurrentState& state, const std::string& path);

}  // namespace dudivizo::catalogue
