#include <gtest/gtest.h>
#include <unistd.h>

#include <random>

#include "catalogue/node_files.h"
#include "platform/gbk.h"
#include "service/json_document.h"
#include "support/temp_dir.h"

namespace dudivizo::catalogue {
namespace {

constexpr char kTemplate[] = R"({"msg": "\u6210\u529f", "code": 200, "data": ""})";

// The files as a JSON document builds them, one document per node: the
// reference the direct writer must equal byte for byte.
std::string DocumentNodeJson(const Node& n) {
  service::JsonDocument d;
  d.parse("{}");
  d.setMember("province", n.province, false);
  d.setMember("city", n.city, false);
  d.setMember("domain", n.domain, false);
  d.setMember("isp", n.isp, false);
  d.setMember("url", n.url, false);
  d.setMember("update_time", std::to_string(n.update_time), false);
  d.setMember("status", std::to_string(n.status), false);
  d.setMember("YanChi", std::to_string(n.YanChi), false);
  d.setMember("ShouCang", std::to_string(n.ShouCang), false);
  return d.toText();
}

std::string DocumentNodeList(const Groups& groups) {
  service::JsonDocument d;
  d.parse(kTemplate);
  for (const NodeGroup& g : groups) {
    for (const Node& n : g.nodes) {
      if (n.status != -1) d.append(DocumentNodeJson(n), "data", true);
    }
  }
  return d.toText();
}

Node Sample() {
  Node n;
  n.province = "广东";
  n.city = "深圳";
  n.domain = "gd-sz1.vpn.example";
  n.isp = "电信";
  n.url = "http://gd-sz1.vpn.example/";
  n.update_time = 1591424475;
  n.YanChi = 35;
  n.ShouCang = 1;
  n.linkState = 2;
  n.connectCount = 7;
  n.seenStamp = 99;
  return n;
}

class NodeFiles : public ::testing::Test {
 protected:
  std::string ListFile() const { return NodeListPath(dir_.path(), "demo"); }
  std::string StateFile() const { return StatePath(dir_.path(), "demo"); }
  testing::TempDir dir_;
  NodeCatalogue catalogue_;
};

TEST_F(NodeFiles, NodeListFileIsCompactGbkJsonWithStringValues) {
  AddNode(catalogue_.groups, Sample());
  Node gone = Sample();
  gone.domain = "gone";
  gone.status = -1;
  AddNode(catalogue_.groups, gone);
  ASSERT_TRUE(SaveNodeFile(catalogue_, ListFile()));
  EXPECT_EQ(dir_.Read("demo_JieDianLieBiao.BIN"),
            platform::Utf8ToGbk(
                R"({"msg":"成功","code":200,"data":[{"province":"广东","city":"深圳",)"
                R"("domain":"gd-sz1.vpn.example","isp":"电信","url":"http://gd-sz1.vpn.example/",)"
                R"("update_time":"1591424475","status":"0","YanChi":"35","ShouCang":"1"}]})"));
  EXPECT_EQ(NodeToJson(Sample()), DocumentNodeJson(Sample()));
}

TEST_F(NodeFiles, AllAbandonedGivesEmptyDataThatReadsBackEmpty) {
  Node gone = Sample();
  gone.status = -1;
  AddNode(catalogue_.groups, gone);
  ASSERT_TRUE(SaveNodeFile(catalogue_, ListFile()));
  EXPECT_EQ(dir_.Read("demo_JieDianLieBiao.BIN"),
            platform::Utf8ToGbk(R"({"msg":"成功","code":200,"data":""})"));
  LoadNodeFile(catalogue_, ListFile());
  EXPECT_TRUE(catalogue_.groups.empty());
}

TEST_F(NodeFiles, DirectWriterEqualsTheDocumentOnRandomNodes) {
  std::mt19937 random(7);
  const std::vector<std::string> pieces = {"a",    "广东", "'", "\\", "\"", "\n", "\t",
                                           "\x01", "</",   " ", "é",  "Z",  "{",  "}"};
  auto text = [&] {
    std::string s;
    for (int i = std::uniform_int_distribution<int>(0, 6)(random); i > 0; --i)
      s += pieces[random() % pieces.size()];
    return s;
  };
  for (int round = 0; round < 50; ++round) {
    Groups groups;
    for (int i = std::uniform_int_distribution<int>(0, 12)(random); i > 0; --i) {
      Node n;
      n.province = random() % 3 == 0 ? "北京" : text();
      n.city = text();
      n.domain = text();
      n.isp = text();
      n.url = text();
      n.update_time = static_cast<int64_t>(random()) * (random() % 2 ? -1 : 1) << 20;
      n.status = static_cast<int32_t>(random() % 4) - 1;
      n.YanChi = static_cast<int32_t>(random() % 300) - 5;
      n.ShouCang = static_cast<int32_t>(random() % 2);
      AddNode(groups, n);
    }
    ASSERT_EQ(NodeListText(groups), DocumentNodeList(groups)) << "round " << round;
  }
}

TEST_F(NodeFiles, FavouritesAndLatencySurviveARestartConnectionCountsDoNot) {
  Node upper = Sample();
  upper.domain = "UPPER.Example";
  upper.url = "HTTP://X/";
  AddNode(catalogue_.groups, Sample());
  AddNode(catalogue_.groups, upper);
  ASSERT_TRUE(SaveNodeFile(catalogue_, ListFile()));
  LoadNodeFile(catalogue_, ListFile());
  ASSERT_EQ(catalogue_.groups.size(), 1u);
  const auto& nodes = catalogue_.groups[0].nodes;
  ASSERT_EQ(nodes.size(), 2u);
  EXPECT_EQ(nodes[0].YanChi, 35);
  EXPECT_EQ(nodes[0].ShouCang, 1);
  EXPECT_EQ(nodes[0].update_time, 1591424475);
  EXPECT_EQ(nodes[0].connectCount, 0);
  EXPECT_EQ(nodes[0].seenStamp, 0);
  EXPECT_EQ(nodes[0].linkState, 4);
  EXPECT_EQ(nodes[1].domain, "upper.example");
  EXPECT_EQ(nodes[1].url, "http://x/");
}

TEST_F(NodeFiles, BadNodeListFilesGiveAnEmptyCatalogue) {
  const std::string whole = platform::Utf8ToGbk(
      R"({"msg":"成功","code":200,"data":[{"province":"广东","city":"深圳"}]})");
  const std::vector<std::pair<const char*, std::string>> cases = {
      {"empty", ""},
      {"truncated", whole.substr(0, whole.size() / 2)},
      {"binary", std::string("\x89PNG\r\n\x1a\n\0\0\xff\xfe", 12)},
      {"not an object", "[1,2,3]"},
  };
  for (const auto& [name, bytes] : cases) {
    AddNode(catalogue_.groups, Sample());
    dir_.Write("demo_JieDianLieBiao.BIN", bytes);
    LoadNodeFile(catalogue_, ListFile());
    EXPECT_TRUE(catalogue_.groups.empty()) << name;
  }
  AddNode(catalogue_.groups, Sample());
  LoadNodeFile(catalogue_, dir_.File("missing.BIN"));
  EXPECT_TRUE(catalogue_.groups.empty());

  // A file beyond the limit is not read at all (a sparse file: no disk used).
  dir_.Write("demo_JieDianLieBiao.BIN", whole);
  ASSERT_EQ(::truncate(ListFile().c_str(), static_cast<off_t>(kMaxNodeFileBytes) + 1), 0);
  AddNode(catalogue_.groups, Sample());
  LoadNodeFile(catalogue_, ListFile());
  EXPECT_TRUE(catalogue_.groups.empty());
}

TEST_F(NodeFiles, StateFileCarriesTheCurrentNodeAndPenZhi) {
  CurrentState state;
  state.current = Sample();
  state.MuoShi = 5;
  state.YinChang = true;
  state.reconnect.ChongLian = true;
  state.reconnect.CL_JianGe = 120;
  state.reconnect.HuiFu = true;
  state.reconnect.HF_WangKa = "以太网 \"2\"";
  state.reconnect.lastConnectTick = 5000;
  state.ipText = "1.2.3.4";
  ASSERT_TRUE(SaveStateFile(state, StateFile()));
  EXPECT_EQ(dir_.Read("demo_DangQian.bin"),
            platform::Utf8ToGbk(
                R"({"msg":"成功","code":200,"data":{"province":"广东","city":"深圳",)"
                R"("domain":"gd-sz1.vpn.example","isp":"电信","url":"http://gd-sz1.vpn.example/",)"
                R"("update_time":"1591424475","status":"0","YanChi":"35","ShouCang":"1"},)"
                R"("PenZhi":{"MuoShi":5,"YinChang":1,"KaiQi":0,"ChongLian":1,"CL_JianGe":120,)"
                R"("GengHuan":0,"HuiFu":1,"HF_WangKa":"以太网 \"2\""}})"));

  CurrentState read;
  read.current.seenStamp = 42;
  read.current.connectCount = 9;
  ASSERT_TRUE(LoadStateFile(read, StateFile()));
  Node expected = Sample();
  expected.linkState = 4;
  expected.connectCount = 0;
  expected.seenStamp = 42;  // not in the file: kept
  EXPECT_EQ(read.current, expected);
  EXPECT_EQ(read.MuoShi, 5);
  EXPECT_TRUE(read.YinChang);
  EXPECT_TRUE(read.reconnect.ChongLian);
  EXPECT_EQ(read.reconnect.CL_JianGe, 120);
  EXPECT_TRUE(read.reconnect.HuiFu);
  EXPECT_EQ(read.reconnect.HF_WangKa, "以太网 \"2\"");
  EXPECT_EQ(read.reconnect.lastConnectTick, 0);
}

TEST_F(NodeFiles, StateFileReadingRules) {
  struct Case {
    const char* name;
    std::string text;
    bool parses;
    int32_t muoShi;
    int32_t interval;
    std::string domain;
  };
  const std::vector<Case> cases = {
      {"MuoShi 0 reads as 1", R"({"data":{},"PenZhi":{"MuoShi":0,"CL_JianGe":-7}})", true, 1, -7,
       ""},
      {"no PenZhi", R"({"data":{"domain":"GD.VPN"}})", true, 1, 0, "gd.vpn"},
      {"no data", R"({"PenZhi":{"MuoShi":3,"CL_JianGe":999999}})", true, 3, 999999, ""},
      {"unparsable", R"({"data":)", false, 8, 8, "kept"},
      {"empty", "", false, 8, 8, "kept"},
  };
  for (const Case& c : cases) {
    CurrentState state;
    state.MuoShi = 8;
    state.reconnect.CL_JianGe = 8;
    state.current.domain = "kept";
    dir_.Write("demo_DangQian.bin", c.text);
    EXPECT_EQ(LoadStateFile(state, StateFile()), c.parses) << c.name;
    EXPECT_EQ(state.MuoShi, c.muoShi) << c.name;
    EXPECT_EQ(state.reconnect.CL_JianGe, c.interval) << c.name;
    EXPECT_EQ(state.current.domain, c.domain) << c.name;
  }
}

}  // namespace
}  // namespace dudivizo::catalogue
