#include <gtest/gtest.h>

#include "catalogue/download.h"
#include "catalogue/list_view.h"
#include "view_fixture.h"

namespace dudivizo::catalogue {
namespace {

using Strings = std::vector<std::string>;

TEST(SplitWords, CutsAtEveryBlankButTheLast) {
  const std::vector<std::pair<std::string, Strings>> cases = {
      {"", {""}},
      {"深圳", {"深圳"}},
      {"深圳 上海", {"深圳", "上海"}},
      {" 深圳", {"", "深圳"}},
      {"深圳  上海", {"深圳", "", "上海"}},
      {"深圳 ", {"深圳"}},
      {"深圳  ", {"深圳", ""}},
      {" ", {""}},
  };
  for (const auto& [text, words] : cases) EXPECT_EQ(SplitWords(text), words) << "'" << text << "'";
}

TEST(MatchLatency, RangesSinglesAndFullWidthForms) {
  struct Case {
    const char* spec;
    std::vector<int32_t> match, miss;
  };
  const std::vector<Case> cases = {
      {"80", {1, 80}, {0, 81, -1}},   {"0", {0}, {1, -1}}, {"50-200", {50, 120, 200}, {49, 201, 0}},
      {"-5", {0, 5}, {6, -1}},  // an ASCII hyphen always makes a range
      {"90-10", {}, {10, 50, 90, 0}}, {"abc", {0}, {1}},   {"", {0}, {1}},
      {"－1", {-1}, {0, 1}},       // full-width minus
      {"－3", {}, {-3, 0, 1, 3}},  // other negative singles match nothing
      {"８０", {80}, {81}},        // full-width digits
      {"１０-２０", {10, 20}, {21}},
  };
  for (const Case& c : cases) {
    for (int32_t l : c.match) EXPECT_TRUE(MatchLatency(c.spec, l)) << c.spec << " " << l;
    for (int32_t l : c.miss) EXPECT_FALSE(MatchLatency(c.spec, l)) << c.spec << " " << l;
  }
}

TEST(NodeMatches, CityWordsOrLatencyFilters) {
  const Node fast = MakeNode("广东", "深圳", 0, 30);
  const Node unmeasured = MakeNode("广东", "广州");
  EXPECT_TRUE(NodeMatches({"深"}, fast));
  EXPECT_FALSE(NodeMatches({"上海"}, fast));
  EXPECT_TRUE(NodeMatches({"上海", "延迟:50"}, fast));
  EXPECT_FALSE(NodeMatches({"延迟:50"}, unmeasured));
  EXPECT_TRUE(NodeMatches({"x延迟:0"}, unmeasured));  // text before the filter is ignored
  EXPECT_FALSE(NodeMatches({"延迟：50"}, fast));      // only the ASCII colon
  EXPECT_FALSE(NodeMatches({""}, MakeNode("广东", "")));
  EXPECT_TRUE(NodeMatches({""}, fast));
}

class ListViews : public ViewFixture {
 protected:
  void SetUp() override {
    Add(MakeNode("广东", "深圳", 0, 20, 1));
    Add(MakeNode("广东", "广州", -1));
    Add(MakeNode(" 北京 ", "海淀", 3));
    Add(MakeNode("上海", "浦东", 0, -3));
    Add(MakeNode("西藏", "拉萨", -1, 0, 1));
    Add(MakeNode("广东", "东莞", 0, 0, 1));
  }
};

TEST_F(ListViews, WholeListHasHeadersAndSkipsAbandonedNodes) {
  FillAllView(c_);
  EXPECT_EQ(Rows(), (Strings{"#广东", "深圳/电信/正常", "东莞/电信/正常", "# 北京 ",
                             "海淀/电信/故障", "#上海", "浦东/电信/正常"}));
  // Header rows carry their group number, node rows their position.
  EXPECT_EQ(RowData(), (std::vector<int32_t>{1, MakeNodeRef(1, 1), MakeNodeRef(1, 3), 2,
                                             MakeNodeRef(2, 1), 3, MakeNodeRef(3, 1)}));
  // 浦东 is normal but its latency -3 counts it as faulty.
  EXPECT_EQ(SummaryText(view_), "共:4个节点 | 正常:2个 | 故障:2个");
  EXPECT_EQ(w_.超级列表框EX1.rowHeight(), 38);
  ASSERT_EQ(w_.超级列表框EX1.columns().size(), 4u);
  EXPECT_EQ(w_.超级列表框EX1.columns()[1].title, "名称");
  EXPECT_EQ(w_.超级列表框EX1.columns()[1].width, 300);
}

TEST_F(ListViews, FavouritesAndProvinceViews) {
  FillFavouriteView(c_);
  EXPECT_EQ(Rows(), (Strings{"#广东", "深圳/电信/正常", "东莞/电信/正常"}));  // 拉萨 is abandoned
  FillProvinceView(c_, 1, "广东");
  EXPECT_EQ(Rows(), (Strings{"深圳/电信/正常", "东莞/电信/正常"}));
  FillProvinceView(c_, 2, "北京");  // the trimmed title no longer equals the name
  EXPECT_TRUE(Rows().empty());
  EXPECT_EQ(SummaryText(view_), "共:0个节点 | 正常:0个 | 故障:0个");
  FillProvinceView(c_, 9, "广东");
  EXPECT_TRUE(Rows().empty());
}

TEST_F(ListViews, SearchByProvinceCityOrLatency) {
  const std::vector<std::pair<std::string, Strings>> cases = {
      {"广东", {"#广东", "深圳/电信/正常", "东莞/电信/正常"}},
      {"海淀 浦东", {"# 北京 ", "海淀/电信/故障", "#上海", "浦东/电信/正常"}},
      {"延迟:1-50", {"#广东", "深圳/电信/正常"}},
      {"延迟:0", {"#广东", "东莞/电信/正常", "# 北京 ", "海淀/电信/故障"}},
      {" 无",
       {"#广东", "深圳/电信/正常", "东莞/电信/正常", "# 北京 ", "海淀/电信/故障", "#上海",
        "浦东/电信/正常"}},
      {"输入线路名称", {}},
      {"拉萨", {}},
  };
  for (const auto& [text, rows] : cases) {
    FillSearchView(c_, text);
    EXPECT_EQ(Rows(), rows) << text;
  }
}

TEST_F(ListViews, RegionBoxListsTrimmedProvincesAndChoosesTheWholeList) {
  FillRegionBox(c_);
  const std::vector<ui::ComboItem> items = {{"收藏线路", -1}, {"全部线路", 0}, {"广东", 1},
                                            {"北京", 2},      {"上海", 3},     {"西藏", 4}};
  EXPECT_EQ(w_.组合框_选择区域.items(), items);
  EXPECT_EQ(w_.组合框_选择区域.selected(), 1);
  EXPECT_EQ(Rows().size(), 7u);
  EXPECT_EQ(w_.标签_状态2.text(), " | (全部线路) 共:4个节点 | 正常:2个 | 故障:2个");

  w_.组合框_选择区域.UserSelect(4);
  EXPECT_EQ(view_.currentView, 3);
  EXPECT_EQ(Rows(), (Strings{"浦东/电信/正常"}));
  EXPECT_EQ(w_.标签_状态2.text(), " | (上海) 共:1个节点 | 正常:0个 | 故障:1个");
  w_.组合框_选择区域.UserSelect(0);
  EXPECT_EQ(w_.标签_状态2.text(), " | (收藏线路) 共:2个节点 | 正常:2个 | 故障:0个");
  SelectRegion(c_, -1);
  EXPECT_EQ(view_.currentView, 0);
  EXPECT_EQ(Rows().size(), 3u);  // nothing refilled
}

TEST_F(ListViews, BusyViewRecordsTheChoiceWithoutFilling) {
  FillRegionBox(c_);
  view_.viewBusy = true;
  view_.highlightedRow = 3;
  SelectRegion(c_, 2);
  EXPECT_EQ(view_.currentView, 1);
  EXPECT_EQ(view_.highlightedRow, -1);
  EXPECT_EQ(Rows().size(), 7u);
  RefreshList(c_);
  EXPECT_EQ(Rows().size(), 7u);
  view_.viewBusy = false;
  RefreshList(c_);
  EXPECT_EQ(Rows().size(), 2u);
  EXPECT_EQ(w_.标签_状态2.text(), "(广东) 共:2个节点 | 正常:2个 | 故障:0个");
}

TEST_F(ListViews, RefreshOfTheWholeListDownloadsAndRefillsFromThePresentCatalogue) {
  FillRegionBox(c_);
  w_.标签_状态2.SetText("unchanged");
  Add(MakeNode("新疆", "乌鲁木齐"));  // as a merge would
  RefreshList(c_);
  EXPECT_EQ(downloads_, 1);
  EXPECT_EQ(Rows().back(), "乌鲁木齐/电信/正常");
  EXPECT_EQ(w_.标签_状态2.text(), "unchanged");
  // A province that only the download brought has no region entry yet.
  EXPECT_EQ(w_.组合框_选择区域.items().size(), 6u);
}

TEST_F(ListViews, SearchBoxPlaceholderAndEnter) {
  FillRegionBox(c_);
  ui::EditBox& search = w_.编辑框_搜索;
  EXPECT_EQ(search.text(), "输入线路名称");
  search.UserKey(ui::EditBox::kKeyEnter);  // searches the placeholder itself
  EXPECT_TRUE(Rows().empty());
  EXPECT_EQ(w_.标签_状态2.text(), "(搜索节点)共:0个节点 | 正常:0个 | 故障:0个");

  w_.SetFocus(&search);
  EXPECT_EQ(search.text(), "");
  w_.按钮_搜索.UserClick();  // an empty search does nothing
  EXPECT_EQ(w_.标签_状态2.text(), "(搜索节点)共:0个节点 | 正常:0个 | 故障:0个");
  search.UserType("深圳");
  w_.按钮_搜索.UserClick();
  EXPECT_EQ(Rows(), (Strings{"#广东", "深圳/电信/正常"}));
  EXPECT_EQ(view_.currentView, 0);  // a search is no view of its own

  search.UserType("");
  w_.SetFocus(nullptr);
  EXPECT_EQ(search.text(), "输入线路名称");
}

// A reply a broken or hostile service could send: 10 000 provinces, a
// province name of 1 MB, wrong types, duplicate domains and domains that
// differ only in case.
TEST_F(ViewFixture, HostileReplyIsListedWithoutHarm) {
  std::string reply = R"({"code":200,"data":[)";
  for (int p = 0; p < 10000; ++p)
    reply += R"({"province":"p)" + std::to_string(p) + R"(","city":"c","domain":"d"},)";
  reply += R"({"province":")" + std::string(1 << 20, 'x') + R"(","city":"big","domain":"b"},)";
  reply += R"({"province":"p1","city":7,"domain":"D","status":{"a":1},"update_time":[1]},)";
  reply += R"({"province":"p1","city":"dup","domain":"d"},)";
  reply += R"({"province":null,"city":"none"}]})";
  Groups fresh;
  ASSERT_EQ(ParseNodeList(reply, fresh, false), 10004);
  MergeNodeList(catalogue_.groups, fresh);
  ASSERT_EQ(catalogue_.groups.size(), 10002u);
  // p1 keeps all three: "d" twice as the service sent it, and "D" lowered.
  const auto& p1 = catalogue_.groups[1].nodes;
  ASSERT_EQ(p1.size(), 3u);
  EXPECT_EQ(p1[1].city, "7");
  EXPECT_EQ(p1[1].domain, "d");
  EXPECT_EQ(p1[1].status, 0);
  FillRegionBox(c_);
  // The nameless province has no region entry; the 1 MB one has.
  EXPECT_EQ(w_.组合框_选择区域.items().size(), 2u + 10001u);
  EXPECT_EQ(view_.shownCount, 10004u);
  FillSearchView(c_, "big");
  EXPECT_EQ(view_.shownCount, 1u);
}

// Beyond 65 535 groups no row can be told apart by its reference: such rows
// carry 0 and select nothing, instead of a reference read as another node.
TEST_F(ViewFixture, RowsBeyondWhatAReferenceHoldsSelectNothing) {
  for (int p = 0; p < 65537; ++p) catalogue_.groups.push_back({"", {MakeNode("", "c")}});
  FillAllView(c_);
  const auto& rows = w_.超级列表框EX1.rows();
  ASSERT_EQ(rows.size(), 2u * 65537u);
  EXPECT_EQ(rows[2 * 65534 + 1].data, MakeNodeRef(65535, 1));
  EXPECT_EQ(rows[2 * 65536].data, 0);  // header of group 65 537 would read as group 1, node 1
  EXPECT_EQ(rows[2 * 65536 + 1].data, 0);
  SelectRow(c_, 2 * 65536);  // an unnamed header looks like a node row
  SelectRow(c_, 2 * 65536 + 1);
  EXPECT_EQ(selectedItem_, 0);
  EXPECT_TRUE(selectedNode_.city.empty());
}

}  // namespace
}  // namespace dudivizo::catalogue
