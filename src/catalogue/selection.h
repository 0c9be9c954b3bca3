#pragma once
// The node chosen in the list, its copy in pz.ini, the favourite flags and
// the list's context menu "_右键菜单". User-interface thread only.

#include <string>

#include "catalogue/list_view.h"

namespace dudivizo::catalogue {

inline constexpr char kSelectionSection[] = "当前选中节点";
inline constexpr char kConnectCaption[] = "连  接";

// Entries of "_右键菜单", in order (separators included).
enum NodeMenuEntry {
  kMenuRefresh = 0,
  kMenuConnect = 2,
  kMenuDisconnect = 3,
  kMenuTestNode = 5,
  kMenuTestAll = 6,
  kMenuShowFavourites = 8,
  kMenuAddFavourite = 9,
  kMenuRemoveFavourite = 10,
};

// A selection designates a row: non-zero, both halves above zero.
bool SelectionValid(NodeRef ref);

// A click on row `row` (-1: no row). Header rows are ignored; the marker
// moves; while 按钮_连接 shows "连  接" the row's node becomes the selection.
void SelectRow(CatalogueView& c, int row);
// Writes the twelve keys of "当前选中节点".
void SaveSelection(const std::string& pzIniPath, const Node& node);
// Reads them into `record` and shows the saved choice in the labels.
void ShowSavedSelection(CatalogueView& c, Node& record);

// Enables the menu's entries from the selection and pops it up.
void ShowNodeMenu(CatalogueView& c);
void AddFavourite(CatalogueView& c);
void RemoveFavourite(CatalogueView& c);
void ShowFavourites(CatalogueView& c);

// Binds the list's clicks and the menu's entries.
void BindSelection(CatalogueView& c);

}  // namespace dudivizo::catalogue
