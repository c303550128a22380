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
  return top();
}

void BlockStack::pop() {
  if (depth_ > 0) --depth_;
}

}  // namespace pelc
