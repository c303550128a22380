// Where CHAIN and DOSUB hand over the files they name.
#pragma once

#include <string_view>

namespace pelc {

/// Takes each CHAIN or DOSUB target as the parse meets it; the run compiles
/// the files later.
class ChainTargets {
 public:
  /// `argument` is the rest of the statement. May throw a message at `line`:
  /// no name, or no room for one more file in the run.
  virtual void addChainTarget(std::string_view argument, int line) = 0;

 protected:
  ~ChainTargets() = default;
};

}  // namespace pelc
