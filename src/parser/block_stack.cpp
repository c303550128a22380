// The stack of open blocks.
#include "parser/block_stack.h"

namespace pelc {

void BlockStack::reset() {
  depth_ = 0;
  entries_[0] = BlockEntry{};
}

BlockEntry& BlockStack::push(Diagnostics& diag, int line) {
  if (depth_ + 1 > kMaxOpenBlocks) diag.throwMessage(Msg::TooManyBlocks, line);
  ++depth_;
  top().headLine = line;
  top().headFile = diag.currentFileHandle();
  return top();
}

std::string_view blockName(BlockKind kind) {
  static constexpr std::string_view kNames[] = {"DO", "FOR", "IF", "SWITCH", "WHILE"};
  const auto index = static_cast<std::size_t>(kind);
  return index < std::size(kNames) ? kNames[index] : "?";
}

std::vector<OpenBlock> BlockStack::openBlocks() const {
  std::vector<OpenBlock> blocks;
  for (int depth = depth_; depth > 0; --depth) {
    const BlockEntry& entry = entries_[static_cast<std::size_t>(depth)];
    blocks.push_back({blockName(entry.kind), entry.headLine, entry.headFile});
  }
  return blocks;
}

void BlockStack::pop() {
  if (depth_ > 0) --depth_;
}

}  // namespace pelc
