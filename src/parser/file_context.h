// Everything that belongs to the compilation of one queued file.
#pragma once

#include <string>

#include "ir/node_list.h"
#include "parser/block_stack.h"
#include "parser/chain_targets.h"
#include "preproc/preproc_context.h"

namespace pelc {

/// Built for each queued file and dropped after it: dropping it releases the
/// node list, the macro table and every source buffer.
struct FileContext : PreprocContext {
  FileContext(RunServices run, ChainTargets& chainTargets, std::string queuedFilePath)
      : PreprocContext(run, std::move(queuedFilePath)), chainTargets(chainTargets) {}

  ChainTargets& chainTargets;
  NodeList nodes;
  BlockStack blocks;
  LabelCounter labels;
  int maxSwitchDepth = 0;
  bool exitSeen = false;
};

}  // namespace pelc
