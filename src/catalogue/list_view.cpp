#include "catalogue/list_view.h"

#include "platform/text.h"

namespace dudivizo::catalogue {
namespace {

// Collects the rows of one fill and hands them to the list box at once, so
// the view redraws once rather than once per row.
class Fill {
 public:
  explicit Fill(CatalogueView& c) : c_(c), hold_(c.catalogue->mutex()) {
    ViewState& v = *c_.view;
    v.shownCount = v.normalCount = v.faultCount = 0;
  }
  ~Fill() { c_.window->超级列表框EX1.SetRows(std::move(rows_)); }

  // A header row carries its group number (node part 0); one beyond what a
  // reference holds carries 0 rather than a number read as some node.
  void Header(int group, const std::string& name) {
    header_ = rows_.size();
    rows_.push_back({{{name, {}}, {}, {}, {}}, MakeNodeRef(group, 0), 0});
  }
  // Drops the last header when no node row followed it.
  void EndGroup() {
    if (header_ + 1 == rows_.size()) rows_.pop_back();
  }
  void NodeRow(int group, int index, const Node& node) {
    rows_.push_back({{{}, {node.city, {}}, {node.isp, {}}, {StatusName(node.status), {}}},
                     MakeNodeRef(group, index),
                     0});
    ViewState& v = *c_.view;
    ++v.shownCount;
    if (node.status != 0 || node.YanChi < 0) {
      ++v.faultCount;
    } else {
      ++v.normalCount;
    }
  }
  const Groups& groups() const { return c_.catalogue->groups; }

 private:
  CatalogueView& c_;
  std::lock_guard<std::recursive_mutex> hold_;
  std::vector<ui::ListRow> rows_;
  size_t header_ = 0;
};

// The whole list or the favourites: each group under its header row, a
// header without node rows left out.
template <typename Shown>
void FillGroups(CatalogueView& c, Shown shown) {
  Fill fill(c);
  const Groups& groups = fill.groups();
  for (size_t g = 0; g < groups.size(); ++g) {
    const int group = static_cast<int>(g) + 1;
    fill.Header(group, groups[g].name);
    const bool groupHit = shown(groups[g], nullptr);
    const auto& nodes = groups[g].nodes;
    for (size_t k = 0; k < nodes.size(); ++k) {
      if (nodes[k].status == -1) continue;
      if (groupHit || shown(groups[g], &nodes[k]))
        fill.NodeRow(group, static_cast<int>(k) + 1, nodes[k]);
    }
    fill.EndGroup();
  }
}

void SetSummary(CatalogueView& c, const std::string& prefix) {
  c.window->标签_状态2.SetText(prefix + SummaryText(*c.view));
}

}  // namespace

std::string StatusName(int32_t status) {
  if (status == 0) return "正常";
  if (status == -1) return "遗弃";
  return "故障";
}

std::vector<std::string> SplitWords(std::string_view text) {
  std::vector<std::string> words;
  size_t start = 0;
  for (;;) {
    size_t blank = text.find(' ', start);
    if (blank == std::string_view::npos) {
      // A final blank ends the last word; it starts no empty one.
      if (start < text.size() || words.empty()) words.emplace_back(text.substr(start));
      return words;
    }
    words.emplace_back(text.substr(start, blank - start));
    start = blank + 1;
  }
}

bool Occurs(std::string_view word, std::string_view text) {
  // UTF-8 is self-synchronising: a found character sequence always starts
  // at a character boundary.
  return !text.empty() && text.find(word) != std::string_view::npos;
}

bool MatchLatency(std::string_view spec, int32_t latency) {
  int32_t lo = 0, hi = 0;
  if (size_t dash = spec.find('-'); dash != std::string_view::npos) {
    lo = platform::TextToInt(spec.substr(0, dash));
    hi = platform::TextToInt(spec.substr(dash + 1));
  } else {
    lo = platform::TextToInt(spec);
  }
  if (hi > 0) return lo <= latency && latency <= hi;
  if (lo == 0) return latency == 0;
  if (lo == -1) return latency == -1;
  return latency > 0 && latency <= lo;
}

bool NodeMatches(const std::vector<std::string>& words, const Node& node) {
  static constexpr std::string_view kLatency = "延迟:";
  for (const std::string& word : words) {
    if (Occurs(word, node.city)) return true;
    if (size_t at = word.find(kLatency); at != std::string::npos) {
      if (MatchLatency(std::string_view(word).substr(at + kLatency.size()), node.YanChi))
        return true;
    }
  }
  return false;
}

std::string SummaryText(const ViewState& v) {
  return "共:" + std::to_string(v.shownCount) + "个节点 | 正常:" + std::to_string(v.normalCount) +
         "个 | 故障:" + std::to_string(v.faultCount) + "个";
}

void SetupNodeList(ui::MainWindow& w) {
  w.超级列表框EX1.SetColumns({{"", 60}, {"名称", 300}, {"运营商", 150}, {"状态", 100}});
  w.超级列表框EX1.SetRowHeight(kRowHeight);
}

void FillAllView(CatalogueView& c) {
  FillGroups(c, [](const NodeGroup&, const Node* node) { return node != nullptr; });
}

void FillFavouriteView(CatalogueView& c) {
  FillGroups(
      c, [](const NodeGroup&, const Node* node) { return node != nullptr && node->ShouCang != 0; });
}

void FillSearchView(CatalogueView& c, std::string_view text) {
  const std::vector<std::string> words = SplitWords(text);
  FillGroups(c, [&words](const NodeGroup& group, const Node* node) {
    if (node == nullptr) {
      for (const std::string& word : words) {
        if (Occurs(word, group.name)) return true;
      }
      return false;
    }
    return NodeMatches(words, *node);
  });
}

void FillProvinceView(CatalogueView& c, int group, const std::string& name) {
  Fill fill(c);
  const Groups& groups = fill.groups();
  if (group < 1 || static_cast<size_t>(group) > groups.size()) return;
  const NodeGroup& g = groups[static_cast<size_t>(group) - 1];
  if (g.name != name) return;
  for (size_t k = 0; k < g.nodes.size(); ++k) {
    if (g.nodes[k].status != -1) fill.NodeRow(group, static_cast<int>(k) + 1, g.nodes[k]);
  }
}

void FillRegionBox(CatalogueView& c) {
  std::vector<ui::ComboItem> items{{"收藏线路", -1}, {"全部线路", 0}};
  {
    std::lock_guard<std::recursive_mutex> hold(c.catalogue->mutex());
    const Groups& groups = c.catalogue->groups;
    for (size_t g = 0; g < groups.size(); ++g) {
      std::string title(platform::Trim(groups[g].name));
      if (!title.empty()) items.push_back({std::move(title), static_cast<int64_t>(g) + 1});
    }
  }
  ui::ComboBox& box = c.window->组合框_选择区域;
  box.SetItems(std::move(items));
  box.SetSelected(1);
  SelectRegion(c, 1);
}

void SelectRegion(CatalogueView& c, int index) {
  ViewState& v = *c.view;
  v.highlightedRow = -1;
  const auto& items = c.window->组合框_选择区域.items();
  if (index < 0 || static_cast<size_t>(index) >= items.size()) {
    v.currentView = 0;
    return;
  }
  const ui::ComboItem& item = items[static_cast<size_t>(index)];
  v.currentView = static_cast<int32_t>(item.data);
  v.currentViewName =
      item.text.substr(std::min(item.text.find_first_not_of(' '), item.text.size()));
  if (v.viewBusy) return;
  v.viewBusy = true;
  if (v.currentView == 0) {
    FillAllView(c);
    SetSummary(c, " | (全部线路) ");
  } else if (v.currentView == -1) {
    FillFavouriteView(c);
    SetSummary(c, " | (收藏线路) ");
  } else {
    FillProvinceView(c, v.currentView, v.currentViewName);
    SetSummary(c, " | (" + v.currentViewName + ") ");
  }
  v.viewBusy = false;
}

void RefreshList(CatalogueView& c) {
  ViewState& v = *c.view;
  if (v.viewBusy) return;
  v.viewBusy = true;
  if (v.currentView >= 1) {
    FillProvinceView(c, v.currentView, v.currentViewName);
    SetSummary(c, "(" + v.currentViewName + ") ");
  } else if (v.currentView == 0) {
    if (c.startDownload) c.startDownload();
    FillAllView(c);
  } else {
    FillFavouriteView(c);
  }
  v.viewBusy = false;
}

void SearchNodes(CatalogueView& c) {
  const std::string text = c.window->编辑框_搜索.text();
  if (text.empty()) return;
  FillSearchView(c, text);
  SetSummary(c, "(搜索节点)");
}

void BindListViews(CatalogueView& c) {
  ui::MainWindow& w = *c.window;
  w.组合框_选择区域.onSelect = [&c] { SelectRegion(c, c.window->组合框_选择区域.selected()); };
  w.按钮_搜索.onClick = [&c] { SearchNodes(c); };
  ui::EditBox& search = w.编辑框_搜索;
  search.onFocus = [&search](bool focused) {
    if (focused && search.text() == kSearchPlaceholder) search.SetText("");
    if (!focused && search.text().empty()) search.SetText(kSearchPlaceholder);
  };
  search.onKey = [&c](int key) {
    if (key != ui::EditBox::kKeyEnter) return false;
    SearchNodes(c);
    return true;
  };
}

}  // namespace dudivizo::catalogue
