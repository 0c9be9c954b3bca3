#include <gtest/gtest.h>

#include <random>

#include "catalogue/download.h"
#include "catalogue/node.h"
#include "demo/demo_service.h"
#include "platform/clock.h"
#include "support/fake_event_loop.h"
#include "support/reference_merge.h"

namespace dudivizo::catalogue {
namespace {

Node N(std::string province, std::string domain, std::string city = "c") {
  Node n;
  n.province = std::move(province);
  n.domain = std::move(domain);
  n.city = std::move(city);
  return n;
}

TEST(NodeRef, PacksGroupLowAndSignedNodeHigh) {
  EXPECT_EQ(MakeNodeRef(3, 2), 0x00020003);
  EXPECT_EQ(RefGroup(MakeNodeRef(3, 2)), 3);
  EXPECT_EQ(RefNode(MakeNodeRef(3, 2)), 2);
  EXPECT_EQ(RefNode(MakeNodeRef(7, 0)), 0);                  // a header row
  EXPECT_EQ(RefNode(static_cast<NodeRef>(0xFFFF0001)), -1);  // read back signed
  // Positions that do not fit designate nothing instead of another node.
  EXPECT_EQ(MakeNodeRef(65536, 1), 0);
  EXPECT_EQ(MakeNodeRef(1, 32768), 0);
  EXPECT_EQ(MakeNodeRef(0, 1), 0);
}

TEST(NodeCatalogue, ResolveRefChecksBothParts) {
  NodeCatalogue c;
  AddNode(c.groups, N("广东", "a"));
  AddNode(c.groups, N("北京", "b"));
  AddNode(c.groups, N("广东", "c"));
  ASSERT_EQ(c.groups.size(), 2u);
  EXPECT_EQ(c.ResolveRef(MakeNodeRef(1, 2))->domain, "c");
  EXPECT_EQ(c.ResolveRef(MakeNodeRef(1, 0)), nullptr);
  EXPECT_EQ(c.ResolveRef(MakeNodeRef(2, 2)), nullptr);
  EXPECT_EQ(c.ResolveRef(MakeNodeRef(3, 1)), nullptr);
  EXPECT_EQ(c.ResolveRef(0), nullptr);
  AddNode(c.groups, N(" 广东", "d"));  // blanks make another province
  EXPECT_EQ(c.groups.size(), 3u);
}

TEST(NodeCatalogue, CountConnectionIgnoresCase) {
  NodeCatalogue c;
  AddNode(c.groups, N("广东", "gd-sz.vpn"));
  AddNode(c.groups, N("广东", "GD-SZ.VPN"));
  c.CountConnection("Gd-Sz.Vpn");
  c.CountConnection("none");
  EXPECT_EQ(c.groups[0].nodes[0].connectCount, 1);
  EXPECT_EQ(c.groups[0].nodes[1].connectCount, 0);
}

TEST(ParseNodeList, GroupsByProvinceSkipsAbandonedAndLowersDomains) {
  const std::string text =
      R"({"code":200,"data":[{"province":"广东","city":"深圳","domain":"GD.A","url":"HTTP://X","isp":"电信","update_time":"1700000000","status":0},)"
      R"({"province":"北京","city":"北京","domain":"bj.a","status":-1},)"
      R"({"province":"北京","city":"朝阳","domain":"bj.b","update_time":1700000002,"status":"2","YanChi":5,"ShouCang":1},)"
      R"({"province":"广东","city":"广州","domain":"gd.b"}]})";
  Groups plain;
  EXPECT_EQ(ParseNodeList(text, plain, false), 3);
  ASSERT_EQ(plain.size(), 2u);
  EXPECT_EQ(plain[0].name, "广东");
  EXPECT_EQ(plain[0].nodes[0].domain, "gd.a");
  EXPECT_EQ(plain[0].nodes[0].url, "http://x");
  EXPECT_EQ(plain[0].nodes[0].update_time, 1700000000);
  EXPECT_EQ(plain[0].nodes[0].linkState, 4);
  EXPECT_EQ(plain[0].nodes[1].city, "广州");
  EXPECT_EQ(plain[1].nodes[0].status, 2);
  EXPECT_EQ(plain[1].nodes[0].update_time, 1700000002);
  EXPECT_EQ(plain[1].nodes[0].ShouCang, 0);  // only the file carries local fields
  Groups local;
  ParseNodeList(text, local, true);
  EXPECT_EQ(local[1].nodes[0].YanChi, 5);
  EXPECT_EQ(local[1].nodes[0].ShouCang, 1);
  Groups none;
  EXPECT_EQ(ParseNodeList("<html>", none, false), 0);
  EXPECT_EQ(ParseNodeList(R"({"code":200,"data":"x"})", none, false), 0);
  EXPECT_TRUE(none.empty());
}

Groups RandomGroups(std::mt19937& rng, int nodes, bool local) {
  Groups groups;
  std::uniform_int_distribution<int> province(0, 5), domain(0, 12), status(0, 3), any(0, 99);
  for (int i = 0; i < nodes; ++i) {
    Node n = N("p" + std::to_string(province(rng)), "d" + std::to_string(domain(rng)),
               "city" + std::to_string(any(rng)));
    n.status = status(rng) == 3 ? 2 : 0;
    n.url = "u" + std::to_string(any(rng));
    n.isp = "isp" + std::to_string(any(rng) % 3);
    n.update_time = any(rng);
    if (local) {
      n.YanChi = any(rng);
      n.ShouCang = any(rng) % 2;
    }
    n.linkState = 4;
    AddNode(groups, n);  // duplicate domains within a group stay, as a parse keeps them
  }
  return groups;
}

// The usual reply: the catalogue again, in its order, with a few nodes
// renamed, dropped or added.
Groups Reissued(std::mt19937& rng, const Groups& catalogue) {
  Groups fresh = catalogue;
  for (NodeGroup& g : fresh) {
    for (Node& n : g.nodes) {
      if (rng() % 5 == 0) n.domain = "d" + std::to_string(rng() % 16);
      n.city = "new";
    }
    if (!g.nodes.empty() && rng() % 3 == 0) g.nodes.erase(g.nodes.begin());
    if (rng() % 3 == 0) g.nodes.push_back(N(g.name, "d" + std::to_string(rng() % 16)));
  }
  return fresh;
}

TEST(MergeNodeList, EqualsTheLoopsOfTheAlgorithmOnRandomInputs) {
  platform::FakeClock clock(5000);
  std::mt19937 rng(20261211);
  for (int round = 0; round < 1000; ++round) {
    Groups catalogue = RandomGroups(rng, round % 40, true);
    // Successive merges into one catalogue, as successive downloads do; a
    // node added between them (as a parse may) can repeat a domain.
    for (int merge = 0; merge < 3; ++merge) {
      Groups fresh = (round + merge) % 2 == 1 ? Reissued(rng, catalogue)
                                              : RandomGroups(rng, (round * 7) % 45, false);
      if (merge > 0 && rng() % 4 == 0 && !catalogue.empty())
        AddNode(catalogue,
                catalogue[0].nodes.empty() ? N(catalogue[0].name, "d1") : catalogue[0].nodes[0]);
      Groups expected = catalogue;
      Groups expectedFresh = fresh;
      clock.Advance(1);
      testing::ReferenceMerge(expected, expectedFresh, static_cast<int32_t>(platform::TickCount()));
      MergeNodeList(catalogue, fresh);
      ASSERT_EQ(catalogue, expected) << "round " << round << " merge " << merge;
    }
  }
}

TEST(MergeNodeList, KnownNodesStayAndKeepTheirLocalFields) {
  platform::FakeClock clock(777);
  Groups catalogue;
  Node known = N("广东", "a", "old city");
  known.ShouCang = 1;
  known.YanChi = 33;
  known.update_time = 1;
  AddNode(catalogue, known);
  AddNode(catalogue, N("广东", "gone"));
  AddNode(catalogue, N("北京", "b"));
  Groups fresh;
  Node update = N("广东", "a", "new city");
  update.update_time = 2;
  update.isp = "联通";
  AddNode(fresh, N("上海", "s1"));
  AddNode(fresh, update);
  AddNode(fresh, N("广东", "n1"));
  AddNode(fresh, N("广东", "n2"));
  AddNode(fresh, N("北京", "b"));
  AddNode(fresh, N("天津", "t1"));
  MergeNodeList(catalogue, fresh);
  ASSERT_EQ(catalogue.size(), 4u);
  const auto& gd = catalogue[0].nodes;
  ASSERT_EQ(gd.size(), 4u);
  EXPECT_EQ(gd[0].city, "new city");
  EXPECT_EQ(gd[0].isp, "联通");
  EXPECT_EQ(gd[0].ShouCang, 1);
  EXPECT_EQ(gd[0].YanChi, 33);
  EXPECT_EQ(gd[0].update_time, 1);  // the first-seen update time stays
  EXPECT_EQ(gd[1].status, -1);      // vanished, in place
  EXPECT_EQ(gd[2].domain, "n2");    // new nodes in the reverse of the reply's order
  EXPECT_EQ(gd[3].domain, "n1");
  EXPECT_EQ(catalogue[2].name, "上海");  // new provinces last, in reply order
  EXPECT_EQ(catalogue[3].name, "天津");
  EXPECT_EQ(catalogue[1].nodes[0].status, 0);
}

class DownloadTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(service_.Start());
    context_.loop = &loop_;
    context_.serviceHost = service_.Host();
    context_.catalogue = &catalogue_;
    context_.busy = &busy_;
    context_.window = &window_;
    context_.windowAlive = window_.token().Watch();
    window_.标签_状态1.AddObserver([this] { shown_.push_back(window_.标签_状态1.text()); });
  }
  void Run() {
    DownloadNodeList(context_);
    loop_.ProcessPending();
  }
  demo::DemoService service_;
  ui::FakeEventLoop loop_;
  ui::MainWindow window_{loop_};
  NodeCatalogue catalogue_;
  std::atomic<bool> busy_{false};
  DownloadContext context_;
  std::vector<std::string> shown_;
};

TEST_F(DownloadTest, SuccessMergesTheServiceList) {
  Run();
  EXPECT_EQ(shown_, (std::vector<std::string>{" | 更新节点中...", " | 更新节点 已完成"}));
  EXPECT_EQ(catalogue_.groups.size(), 31u);
  size_t nodes = 0;
  for (const NodeGroup& g : catalogue_.groups) nodes += g.nodes.size();
  EXPECT_EQ(nodes, 307u);  // 310 less the 3 abandoned
  EXPECT_FALSE(busy_);
}

TEST_F(DownloadTest, FailuresShowTheirCodeAndKeepTheCatalogue) {
  AddNode(catalogue_.groups, N("广东", "kept"));
  const struct {
    demo::Behaviour behaviour;
    const char* last;
  } cases[] = {
      {{0, 500, false, false, false}, " | 下载节点数据错误:1"},
      {{0, 200, true, false, false}, " | 下载节点数据错误:2"},
      {{0, 200, false, true, false}, " | 下载节点数据错误:2"},
  };
  for (const auto& c : cases) {
    service_.SetBehaviour(demo::Endpoint::NodeList, c.behaviour);
    shown_.clear();
    Run();
    ASSERT_EQ(shown_.size(), 3u);
    EXPECT_EQ(shown_[1], " | 更新节点 错误");
    EXPECT_EQ(shown_[2], c.last);
  }
  service_.SetBehaviour(demo::Endpoint::NodeList, {});
  service_.SetNodes({});  // code 200 but an empty data array
  shown_.clear();
  Run();
  EXPECT_EQ(shown_.back(), " | 处理节点数据错误");
  ASSERT_EQ(catalogue_.groups.size(), 1u);
  EXPECT_EQ(catalogue_.groups[0].nodes[0].status, 0);
}

TEST_F(DownloadTest, ASecondStartWhileOneRunsChangesNothing) {
  busy_ = true;
  Run();
  EXPECT_TRUE(shown_.empty());
  EXPECT_TRUE(catalogue_.groups.empty());
  EXPECT_EQ(service_.RequestCount(demo::Endpoint::NodeList), 0);
}

}  // namespace
}  // namespace dudivizo::catalogue
