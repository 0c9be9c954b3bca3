#include "catalogue/selection.h"

#include "platform/profile.h"
#include "platform/text.h"

namespace dudivizo::catalogue {
namespace {

struct SelectionKey {
  const char* key;
  std::string Node::*text = nullptr;
  int64_t Node::*wide = nullptr;
  int32_t Node::*number = nullptr;
};

// The keys in the order they are written.
const SelectionKey kKeys[] = {
    {"省份", &Node::province},
    {"城市", &Node::city},
    {"域名", &Node::domain},
    {"url", &Node::url},
    {"运营商", &Node::isp},
    {"最后时间", nullptr, &Node::update_time},
    {"状态", nullptr, nullptr, &Node::status},
    {"延迟", nullptr, nullptr, &Node::YanChi},
    {"收藏", nullptr, nullptr, &Node::ShouCang},
    {"连接", nullptr, nullptr, &Node::linkState},
    {"计数", nullptr, nullptr, &Node::connectCount},
    {"时间", nullptr, nullptr, &Node::seenStamp},
};

void ShowChoice(CatalogueView& c, const std::string& province, const std::string& city) {
  c.window->标签_已选线路.SetText("已选线路：" + province + " | " + city);
  c.window->标签_状态2.SetText(" | " + province + " | " + city + " (单击选中/右键菜单)");
}

void SetRowMark(ui::ListBox& list, int row, bool marked) {
  if (row < 0 || static_cast<size_t>(row) >= list.rows().size()) return;
  list.SetRowColour(row, marked ? kMarkColour : 0);
  list.SetCell(row, 0, {"", marked ? kMarkerPicture : ""});
}

void SetFavourite(CatalogueView& c, int32_t flag) {
  std::lock_guard<std::recursive_mutex> hold(c.catalogue->mutex());
  if (Node* node = c.catalogue->ResolveRef(*c.selectedItem)) node->ShouCang = flag;
}

}  // namespace

bool SelectionValid(NodeRef ref) { return ref != 0 && RefGroup(ref) > 0 && RefNode(ref) > 0; }

void SelectRow(CatalogueView& c, int row) {
  ui::ListBox& list = c.window->超级列表框EX1;
  if (row < 0 || static_cast<size_t>(row) >= list.rows().size()) return;
  const ui::ListRow& clicked = list.rows()[static_cast<size_t>(row)];
  if (!clicked.cells.empty() && !clicked.cells[0].text.empty()) return;  // a header row
  ViewState& v = *c.view;
  if (v.highlightedRow != -1) SetRowMark(list, v.highlightedRow, false);
  SetRowMark(list, row, true);
  v.highlightedRow = row;
  if (c.window->按钮_连接.text() != kConnectCaption) return;
  const NodeRef ref = list.rows()[static_cast<size_t>(row)].data;
  if (ref == 0) return;
  *c.selectedItem = ref;
  std::unique_lock<std::recursive_mutex> hold(c.catalogue->mutex());
  const Node* node = c.catalogue->ResolveRef(ref);
  if (node == nullptr) return;
  *c.selectedNode = *node;
  SaveSelection(c.pzIniPath, *c.selectedNode);
  hold.unlock();
  ShowChoice(c, c.selectedNode->province, c.selectedNode->city);
}

void SaveSelection(const std::string& pzIniPath, const Node& node) {
  // One write of the whole section: a killed process leaves either the old
  // selection or the new one, never half of each.
  platform::ProfileFile ini = platform::ProfileFile::Load(pzIniPath);
  for (const SelectionKey& k : kKeys) {
    std::string value = k.text   ? node.*k.text
                        : k.wide ? std::to_string(node.*k.wide)
                                 : std::to_string(node.*k.number);
    ini.Set(kSelectionSection, k.key, value);
  }
  ini.Save();
}

void ShowSavedSelection(CatalogueView& c, Node& record) {
  const platform::ProfileFile ini = platform::ProfileFile::Load(c.pzIniPath);
  for (const SelectionKey& k : kKeys) {
    std::string value = ini.Get(kSelectionSection, k.key);
    if (k.text) {
      record.*k.text = std::move(value);
    } else if (k.wide) {
      record.*k.wide = platform::TextToInt64(value);
    } else {
      record.*k.number = platform::TextToInt(value);
    }
  }
  ShowChoice(c, record.province, record.city);
}

void ShowNodeMenu(CatalogueView& c) {
  auto& entries = c.window->_右键菜单.entries();
  entries[kMenuTestAll].enabled = true;
  for (int e :
       {kMenuConnect, kMenuDisconnect, kMenuTestNode, kMenuRemoveFavourite, kMenuAddFavourite})
    entries[static_cast<size_t>(e)].enabled = false;
  if (SelectionValid(*c.selectedItem)) {
    const bool favourite = c.selectedNode->ShouCang != 0;
    entries[kMenuAddFavourite].enabled = !favourite;
    entries[kMenuRemoveFavourite].enabled = favourite;
    entries[kMenuTestNode].enabled = true;
    if (c.updateLinkMenu) c.updateLinkMenu();
  }
  if (c.popupMenu) c.popupMenu();
}

void AddFavourite(CatalogueView& c) { SetFavourite(c, 1); }
void RemoveFavourite(CatalogueView& c) { SetFavourite(c, 0); }

void ShowFavourites(CatalogueView& c) {
  c.window->组合框_选择区域.SetSelected(0);
  SelectRegion(c, 0);
}

void BindSelection(CatalogueView& c) {
  ui::MainWindow& w = *c.window;
  w.超级列表框EX1.onClick = [&c](int row) { SelectRow(c, row); };
  w.超级列表框EX1.onRightClick = [&c](int) { ShowNodeMenu(c); };
  auto& entries = w._右键菜单.entries();
  entries[kMenuRefresh].onChoose = [&c] { RefreshList(c); };
  entries[kMenuConnect].onChoose = [&c] {
    if (c.connect) c.connect();
  };
  entries[kMenuDisconnect].onChoose = [&c] {
    if (c.disconnect) c.disconnect();
  };
  entries[kMenuShowFavourites].onChoose = [&c] { ShowFavourites(c); };
  entries[kMenuAddFavourite].onChoose = [&c] { AddFavourite(c); };
  entries[kMenuRemoveFavourite].onChoose = [&c] { RemoveFavourite(c); };
}

}  // namespace dudivizo::catalogue
