// A branch of an #IFDEF group as the output sees it.
#pragma once

#include <cstdint>

namespace pelc {

/// What becomes of a branch's lines.
enum class BranchState : std::uint8_t {
  Taken,          // compiled like the lines around the group
  Skipped,        // left out, up to the next directive of the group
  InSkippedText,  // the whole group lies in skipped text: nothing of it is written
};

/// Filled in while the group is read: the parse decides the state, and a
/// skipped branch learns where it ends only at the next directive of its group.
struct ConditionalBranch {
  BranchState state = BranchState::Taken;
  /// Where the copy resumes after a skipped branch: the start of that directive's line.
  std::int32_t skippedEndPos = 0;
  std::int32_t skippedEndLine = 0;
};

}  // namespace pelc
