#include <gtest/gtest.h>

#include "catalogue/selection.h"
#include "platform/gbk.h"
#include "platform/profile.h"
#include "view_fixture.h"

namespace dudivizo::catalogue {
namespace {

using Strings = std::vector<std::string>;

class Selection : public ViewFixture {
 protected:
  void SetUp() override {
    Node shenzhen = MakeNode("广东", "深圳", 0, 20);
    shenzhen.update_time = 1591424475;
    shenzhen.url = "http://sz/";
    Add(shenzhen);
    Add(MakeNode("广东", "东莞"));
    Add(MakeNode("上海", "浦东", 0, -1, 1));
    FillRegionBox(c_);  // 0 #广东, 1 深圳, 2 东莞, 3 #上海, 4 浦东
  }
  // Which entries of the menu are enabled, as "1"/"0" for the eleven.
  std::string Enabled() const {
    std::string out;
    for (const ui::MenuEntry& e : w_._右键菜单.entries())
      out += e.caption.empty() ? "-" : e.enabled ? "1" : "0";
    return out;
  }
};

TEST_F(Selection, ClickOnANodeRowSelectsSavesAndShowsIt) {
  w_.超级列表框EX1.UserClick(1);
  EXPECT_EQ(selectedItem_, MakeNodeRef(1, 1));
  EXPECT_EQ(selectedNode_.city, "深圳");
  EXPECT_EQ(Rows()[1], "*深圳/电信/正常");
  EXPECT_EQ(w_.超级列表框EX1.rows()[1].cells[0].icon, kMarkerPicture);
  EXPECT_EQ(w_.标签_已选线路.text(), "已选线路：广东 | 深圳");
  EXPECT_EQ(w_.标签_状态2.text(), " | 广东 | 深圳 (单击选中/右键菜单)");
  EXPECT_EQ(dir_.Read("pz.ini"),
            platform::Utf8ToGbk("[当前选中节点]\r\n省份=广东\r\n城市=深圳\r\n域名=深圳.vpn\r\n"
                                "url=http://sz/\r\n运营商=电信\r\n最后时间=1591424475\r\n状态=0\r\n"
                                "延迟=20\r\n收藏=0\r\n连接=0\r\n计数=0\r\n时间=0\r\n"));

  // The mark moves; the earlier row goes back to plain.
  w_.超级列表框EX1.UserClick(4);
  EXPECT_EQ(Rows(),
            (Strings{"#广东", "深圳/电信/正常", "东莞/电信/正常", "#上海", "*浦东/电信/正常"}));
  EXPECT_TRUE(w_.超级列表框EX1.rows()[1].cells[0].icon.empty());
  EXPECT_EQ(selectedNode_.city, "浦东");
}

TEST_F(Selection, HeaderRowsAndMissesChangeNothing) {
  w_.超级列表框EX1.UserClick(1);
  for (int row : {0, 3, -1, 99}) {
    SelectRow(c_, row);
    EXPECT_EQ(view_.highlightedRow, 1) << row;
    EXPECT_EQ(selectedItem_, MakeNodeRef(1, 1)) << row;
  }
}

TEST_F(Selection, WhileALinkIsUpAClickOnlyMovesTheMark) {
  w_.超级列表框EX1.UserClick(1);
  const std::string saved = dir_.Read("pz.ini");
  w_.按钮_连接.SetText("断  开");
  w_.超级列表框EX1.UserClick(2);
  EXPECT_EQ(view_.highlightedRow, 2);
  EXPECT_EQ(selectedItem_, MakeNodeRef(1, 1));
  EXPECT_EQ(selectedNode_.city, "深圳");
  EXPECT_EQ(dir_.Read("pz.ini"), saved);
  EXPECT_EQ(w_.标签_已选线路.text(), "已选线路：广东 | 深圳");
}

TEST_F(Selection, SavedSelectionIsShownButNotSelected) {
  w_.超级列表框EX1.UserClick(4);
  selectedItem_ = 0;
  selectedNode_ = {};
  w_.标签_已选线路.SetText("");
  Node record;
  ShowSavedSelection(c_, record);
  EXPECT_EQ(record.city, "浦东");
  EXPECT_EQ(record.YanChi, -1);
  EXPECT_EQ(record.ShouCang, 1);
  EXPECT_EQ(w_.标签_已选线路.text(), "已选线路：上海 | 浦东");
  EXPECT_EQ(selectedItem_, 0);

  dir_.Write("pz.ini", "\x01\xff garbage\r\n[当前选中节点\r\n=");
  ShowSavedSelection(c_, record);
  EXPECT_EQ(w_.标签_已选线路.text(), "已选线路： | ");
  EXPECT_EQ(w_.标签_状态2.text(), " |  |  (单击选中/右键菜单)");
}

TEST_F(Selection, MenuEntriesFollowTheSelection) {
  int linkMenuCalls = 0;
  c_.updateLinkMenu = [&] { ++linkMenuCalls; };
  w_.超级列表框EX1.UserRightClick(-1);
  EXPECT_EQ(popups_, 1);
  EXPECT_EQ(Enabled(), "1-00-01-100");  // before any selection
  EXPECT_EQ(linkMenuCalls, 0);

  w_.超级列表框EX1.UserClick(1);
  ShowNodeMenu(c_);
  EXPECT_EQ(Enabled(), "1-00-11-110");
  EXPECT_EQ(linkMenuCalls, 1);

  // Adding marks the catalogue entry; the menu keeps offering it until the
  // row is clicked again, and the favourites view lists it.
  w_._右键菜单.UserChoose(kMenuAddFavourite);
  EXPECT_EQ(catalogue_.groups[0].nodes[0].ShouCang, 1);
  ShowNodeMenu(c_);
  EXPECT_EQ(Enabled(), "1-00-11-110");
  w_.超级列表框EX1.UserClick(1);
  ShowNodeMenu(c_);
  EXPECT_EQ(Enabled(), "1-00-11-101");

  w_._右键菜单.UserChoose(kMenuShowFavourites);
  EXPECT_EQ(w_.组合框_选择区域.selected(), 0);
  EXPECT_EQ(Rows(), (Strings{"#广东", "深圳/电信/正常", "#上海", "浦东/电信/正常"}));
  w_._右键菜单.UserChoose(kMenuRemoveFavourite);
  EXPECT_EQ(catalogue_.groups[0].nodes[0].ShouCang, 0);
  w_._右键菜单.UserChoose(kMenuRefresh);
  EXPECT_EQ(Rows(), (Strings{"#上海", "浦东/电信/正常"}));
  EXPECT_EQ(downloads_, 0);  // only the whole list downloads
}

TEST_F(Selection, AnAbandonedSelectionStillTakesFavourites) {
  w_.超级列表框EX1.UserClick(2);
  catalogue_.groups[0].nodes[1].status = -1;  // as a merge marks it
  FillAllView(c_);
  AddFavourite(c_);
  EXPECT_EQ(catalogue_.groups[0].nodes[1].ShouCang, 1);
  selectedItem_ = MakeNodeRef(1, 9);  // no longer a node: nothing happens
  RemoveFavourite(c_);
  EXPECT_EQ(catalogue_.groups[0].nodes[1].ShouCang, 1);
}

}  // namespace
}  // namespace dudivizo::catalogue
