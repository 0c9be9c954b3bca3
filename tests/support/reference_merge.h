#pragma once
// The node list merge as its loops are written, scan by scan: the reference
// that the indexed merge must match on every input, and the baseline of the
// merge benchmark.

#include "catalogue/node.h"

namespace dudivizo::testing {

void ReferenceMerge(catalogue::Groups& catalogue, catalogue::Groups& fresh, int32_t stamp);

}  // namespace dudivizo::testing
