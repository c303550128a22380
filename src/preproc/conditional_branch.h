// A branch of an #IFDEF group as the output sees it.
#pragma once

#include <cstdint>

namespace pelc {

/// Filled in while the group is read: the parse decides the state, and a
/// skipped branch learns where it ends only at the next directive of its group.
struct ConditionalBranch {
  std::int32_t skippedEndPos = 0;
  std::int32_t state = 0;
};

}  // namespace pelc
