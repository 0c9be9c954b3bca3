#include "support/reference_merge.h"

namespace dudivizo::testing {

void ReferenceMerge(catalogue::Groups& catalogue, catalogue::Groups& fresh, int32_t stamp) {
  using namespace catalogue;
  NodeCatalogue finder;
  for (size_t fi = fresh.size(); fi-- > 0;) {
    finder.groups.swap(catalogue);
    int g = finder.FindGroup(fresh[fi].name);
    finder.groups.swap(catalogue);
    if (g == 0) continue;
    NodeGroup& f = fresh[fi];
    for (size_t ni = f.nodes.size(); ni-- > 0;) {
      finder.groups.swap(catalogue);
      int n = finder.FindNodeInGroup(g, f.nodes[ni].domain);
      finder.groups.swap(catalogue);
      if (n == 0) {
        f.nodes[ni].seenStamp = stamp;
        catalogue[static_cast<size_t>(g - 1)].nodes.push_back(f.nodes[ni]);
        f.nodes.erase(f.nodes.begin() + static_cast<std::ptrdiff_t>(ni));
      } else {
        Node& c = catalogue[static_cast<size_t>(g - 1)].nodes[static_cast<size_t>(n - 1)];
        c.seenStamp = stamp;
        c.city = f.nodes[ni].city;
        c.status = f.nodes[ni].status;
        c.url = f.nodes[ni].url;
        c.isp = f.nodes[ni].isp;
      }
    }
    fresh.erase(fresh.begin() + static_cast<std::ptrdiff_t>(fi));
  }
  for (size_t g = catalogue.size(); g-- > 0;) {
    for (size_t n = catalogue[g].nodes.size(); n-- > 0;) {
      if (catalogue[g].nodes[n].seenStamp != stamp) catalogue[g].nodes[n].status = -1;
    }
  }
  for (const NodeGroup& g : fresh) catalogue.push_back(g);
  fresh.clear();
}

}  // namespace dudivizo::testing
