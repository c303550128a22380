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

std::vector<OpenBlock> BlockStack::openBlocks() const {
  static constexpr std::string_view kNames[] = {"DO", "FOR", "IF", "SWITCH", "WHILE"};
  std::vector<OpenBlock> blocks;
  for (int depth = depth_; depth > 0; --depth) {
    const BlockEntry& entry = entries_[static_cast<std::size_t>(depth)];
    const auto kind = static_cast<std::size_t>(entry.kind);
    blocks.push_back(
        {kind < std::size(kNames) ? kNames[kind] : "?", entry.headLine, entry.headFile});
  }
  return blocks;
}

void BlockStack::pop() {
  if (depth_ > 0) --depth_;
}

}  // namespace pelc
