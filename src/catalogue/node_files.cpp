#include "catalogue/node_files.h"

#include "catalogue/download.h"
#include "platform/file.h"
#include "platform/gbk.h"
#include "platform/text.h"
#include "service/json_document.h"

namespace dudivizo::catalogue {
namespace {

// Both files start from this text and extend it.
constexpr char kTemplate[] = R"({"msg": "\u6210\u529f", "code": 200, "data": ""})";
// What the template's members give as compact text, ahead of the node array.
constexpr char kListHead[] = R"({"msg":"成功","code":200,"data":)";

void AppendMember(std::string& out, const char* name, std::string_view value) {
  if (out.back() != '{') out.push_back(',');
  out.push_back('"');
  out.append(name);
  out.append("\":");
  service::WriteJsonString(value, out);
}

void AppendNode(const Node& node, std::string& out) {
  out.push_back('{');
  AppendMember(out, "province", node.province);
  AppendMember(out, "city", node.city);
  AppendMember(out, "domain", node.domain);
  AppendMember(out, "isp", node.isp);
  AppendMember(out, "url", node.url);
  AppendMember(out, "update_time", std::to_string(node.update_time));
  AppendMember(out, "status", std::to_string(node.status));
  AppendMember(out, "YanChi", std::to_string(node.YanChi));
  AppendMember(out, "ShouCang", std::to_string(node.ShouCang));
  out.push_back('}');
}

std::string ReadGbkFile(const std::string& path) {
  platform::FileContents file = platform::ReadFileBytes(path, kMaxNodeFileBytes);
  if (file.status != platform::ReadStatus::Ok) return {};
  return platform::GbkToUtf8(file.bytes);
}

bool WriteGbkFile(const std::string& path, const std::string& text) {
  return platform::WriteFileAtomic(path, platform::Utf8ToGbk(text));
}

}  // namespace

std::string NodeListPath(const std::string& dataDirectory, const std::string& userName) {
  return dataDirectory + userName + "_JieDianLieBiao.BIN";
}

std::string StatePath(const std::string& dataDirectory, const std::string& userName) {
  return dataDirectory + userName + "_DangQian.bin";
}

std::string NodeToJson(const Node& node) {
  std::string out;
  AppendNode(node, out);
  return out;
}

std::string NodeListText(const Groups& groups) {
  // Written directly rather than through a document per node: the bytes are
  // the same, and a hundred thousand nodes take a fraction of the time.
  std::string out = kListHead;
  const size_t head = out.size();
  for (const NodeGroup& group : groups) {
    for (const Node& node : group.nodes) {
      if (node.status == -1) continue;
      out.push_back(out.size() == head ? '[' : ',');
      AppendNode(node, out);
    }
  }
  out.append(out.size() == head ? "\"\"}" : "]}");
  return out;
}

bool SaveNodeFile(NodeCatalogue& catalogue, const std::string& path) {
  std::string text;
  {
    std::lock_guard<std::recursive_mutex> hold(catalogue.mutex());
    text = NodeListText(catalogue.groups);
  }
  return WriteGbkFile(path, text);
}

void LoadNodeFile(NodeCatalogue& catalogue, const std::string& path) {
  std::lock_guard<std::recursive_mutex> hold(catalogue.mutex());
  catalogue.ClearCatalogue();
  ParseNodeList(ReadGbkFile(path), catalogue.groups, true);
}

std::string StateText(const CurrentState& state) {
  service::JsonDocument doc;
  doc.parse(kTemplate);
  doc.setMember("data", NodeToJson(state.current), true);
  service::JsonDocument settings;
  settings.parse("{}");
  const ReconnectSettings& r = state.reconnect;
  settings.setInt("MuoShi", state.MuoShi);
  settings.setInt("YinChang", state.YinChang ? 1 : 0);
  settings.setInt("KaiQi", r.KaiQi ? 1 : 0);
  settings.setInt("ChongLian", r.ChongLian ? 1 : 0);
  settings.setInt("CL_JianGe", r.CL_JianGe);
  settings.setInt("GengHuan", r.GengHuan ? 1 : 0);
  settings.setInt("HuiFu", r.HuiFu ? 1 : 0);
  settings.setText("HF_WangKa", r.HF_WangKa);
  doc.setMember("PenZhi", settings.toText(), true);
  return doc.toText();
}

bool SaveStateFile(const CurrentState& state, const std::string& path) {
  return WriteGbkFile(path, StateText(state));
}

bool LoadStateFile(CurrentState& state, const std::string& path) {
  service::JsonDocument doc;
  if (!doc.parse(ReadGbkFile(path))) return false;

  service::JsonDocument settings;
  settings.parse(doc.getJson("PenZhi"));  // a missing object reads as zeros
  state.MuoShi = settings.getInt("MuoShi");
  if (state.MuoShi == 0) state.MuoShi = 1;
  state.YinChang = settings.getInt("YinChang") != 0;
  ReconnectSettings& r = state.reconnect;
  r.KaiQi = settings.getInt("KaiQi") != 0;
  r.ChongLian = settings.getInt("ChongLian") != 0;
  r.CL_JianGe = settings.getInt("CL_JianGe");
  r.GengHuan = settings.getInt("GengHuan") != 0;
  r.HuiFu = settings.getInt("HuiFu") != 0;
  r.HF_WangKa = settings.getText("HF_WangKa");

  service::JsonDocument data;
  data.parse(doc.getJson("data"));
  Node& n = state.current;
  n.province = data.getText("province");
  n.city = data.getText("city");
  n.domain = platform::AsciiLower(data.getText("domain"));
  n.isp = data.getText("isp");
  n.url = platform::AsciiLower(data.getText("url"));
  n.update_time = platform::TextToInt64(data.getText("update_time"));
  n.status = data.getInt("status");
  n.YanChi = data.getInt("YanChi");
  n.ShouCang = data.getInt("ShouCang");
  n.linkState = 4;
  n.connectCount = 0;
  return true;
}

}  // namespace dudivizo::catalogue
