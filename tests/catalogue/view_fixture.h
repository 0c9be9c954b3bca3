#pragma once
// A main window over a small catalogue, for the list and selection tests.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "catalogue/list_view.h"
#include "catalogue/selection.h"
#include "support/fake_event_loop.h"
#include "support/temp_dir.h"

namespace dudivizo::catalogue {

inline Node MakeNode(std::string province, std::string city, int32_t status = 0,
                     int32_t latency = 0, int32_t favourite = 0) {
  Node n;
  n.province = std::move(province);
  n.city = std::move(city);
  n.domain = n.city + ".vpn";
  n.isp = "电信";
  n.status = status;
  n.YanChi = latency;
  n.ShouCang = favourite;
  return n;
}

class ViewFixture : public ::testing::Test {
 protected:
  ViewFixture() {
    c_.window = &w_;
    c_.catalogue = &catalogue_;
    c_.view = &view_;
    c_.selectedNode = &selectedNode_;
    c_.selectedItem = &selectedItem_;
    c_.pzIniPath = dir_.File("pz.ini");
    c_.startDownload = [this] { ++downloads_; };
    c_.popupMenu = [this] { ++popups_; };
    SetupNodeList(w_);
    BindListViews(c_);
    BindSelection(c_);
  }

  void Add(const Node& n) { AddNode(catalogue_.groups, n); }

  // The list as one text per row: "#name" for a header row, else
  // "city/isp/status", with "*" in front of a marked row.
  std::vector<std::string> Rows() const {
    std::vector<std::string> out;
    for (const ui::ListRow& r : w_.超级列表框EX1.rows()) {
      std::string mark = r.fontColour == kMarkColour ? "*" : "";
      if (!r.cells[0].text.empty()) {
        out.push_back(mark + "#" + r.cells[0].text);
      } else {
        out.push_back(mark + r.cells[1].text + "/" + r.cells[2].text + "/" + r.cells[3].text);
      }
    }
    return out;
  }
  std::vector<int32_t> RowData() const {
    std::vector<int32_t> out;
    for (const ui::ListRow& r : w_.超级列表框EX1.rows()) out.push_back(r.data);
    return out;
  }

  testing::TempDir dir_;
  ui::FakeEventLoop loop_;
  ui::MainWindow w_{loop_};
  NodeCatalogue catalogue_;
  ViewState view_;
  Node selectedNode_;
  NodeRef selectedItem_ = 0;
  CatalogueView c_;
  int downloads_ = 0;
  int popups_ = 0;
};

}  // namespace dudivizo::catalogue
