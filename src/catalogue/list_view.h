#pragma once
// What the main window's node list shows: the whole catalogue, the
// favourites, one province or a search, with a one-line summary in
// 标签_状态2, and the region box that chooses among them. Everything here
// runs on the user-interface thread.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "catalogue/node.h"
#include "ui/main_window.h"

namespace dudivizo::catalogue {

inline constexpr char kSearchPlaceholder[] = "输入线路名称";
inline constexpr char kMarkerPicture[] = "marker.png";
inline constexpr uint32_t kMarkColour = 0xF99F08;  // the marker's orange
inline constexpr int kRowHeight = 38;

struct ViewState {
  int32_t currentView = 0;  // 0 whole list, -1 favourites, N >= 1 province group N
  std::string currentViewName;
  bool viewBusy = false;
  int32_t highlightedRow = -1;  // the row carrying the marker, -1 for none
  uint32_t shownCount = 0, normalCount = 0, faultCount = 0;
};

// What the list, the region box and the node menu work on; the pointers
// belong to the process-wide state and outlive the window.
struct CatalogueView {
  ui::MainWindow* window = nullptr;
  NodeCatalogue* catalogue = nullptr;
  ViewState* view = nullptr;
  Node* selectedNode = nullptr;
  NodeRef* selectedItem = nullptr;
  std::string pzIniPath;
  std::function<void()> startDownload;   // a node list download on a worker
  std::function<void()> updateLinkMenu;  // sets the two connection entries
  std::function<void()> connect;         // "连接VPN(&Q)"
  std::function<void()> disconnect;      // "断开VPN(&W)"
  std::function<void()> popupMenu;       // shows 窗口's "_右键菜单"
};

// "正常" for 0, "遗弃" for -1, "故障" otherwise.
std::string StatusName(int32_t status);

// The words of a search: the pieces between blanks, empty ones included,
// but no empty last piece after a final blank; "" gives one empty word.
std::vector<std::string> SplitWords(std::string_view text);
// Whether `word` occurs in `text`, bytes compared exactly; the empty word
// occurs in every non-empty text.
bool Occurs(std::string_view word, std::string_view text);
// "80": 1..80; "0": unmeasured; "50-200": the range; "－1": exactly -1.
bool MatchLatency(std::string_view spec, int32_t latency);
// A word occurs in the city, or is a "延迟:" filter the latency passes.
bool NodeMatches(const std::vector<std::string>& words, const Node& node);

// "共:N个节点 | 正常:N个 | 故障:N个" of the last fill.
std::string SummaryText(const ViewState& view);

// The four columns and the row height of 超级列表框EX1.
void SetupNodeList(ui::MainWindow& window);

void FillAllView(CatalogueView& c);
void FillFavouriteView(CatalogueView& c);
void FillProvinceView(CatalogueView& c, int group, const std::string& name);
void FillSearchView(CatalogueView& c, std::string_view text);

// Fills 组合框_选择区域 ("收藏线路", "全部线路", every province) and
// chooses "全部线路".
void FillRegionBox(CatalogueView& c);
void SelectRegion(CatalogueView& c, int index);
// Refills the current choice; for the whole list also downloads anew.
void RefreshList(CatalogueView& c);
void SearchNodes(CatalogueView& c);

// Binds the region box, the search button, the search box's placeholder
// and Enter key to the operations above.
void BindListViews(CatalogueView& c);

}  // namespace dudivizo::catalogue
