// The stack of open blocks and the numbering of generated labels.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "diag/diagnostics.h"
#include "ir/node_records.h"
#include "parser/grammar_table.h"

namespace pelc {

class Parser;

enum class BlockKind : int { Base = -1, Do = 0, For = 1, If = 2, Switch = 3, While = 4 };

enum class JumpClass { None, Loop, Switch };

/// The keyword that opens a block of `kind`, as messages name it.
std::string_view blockName(BlockKind kind);

constexpr JumpClass jumpClassOf(BlockKind kind) {
  switch (kind) {
    case BlockKind::Do: case BlockKind::For: case BlockKind::While: return JumpClass::Loop;
    case BlockKind::Switch: return JumpClass::Switch;
    default: return JumpClass::None;
  }
}

/// A construct's reaction to the action that the grammar table names for a token.
using EventHandler = void (*)(Parser& parser, BlockAction action, int& token,
                              std::string_view keyword, std::string_view rest);

struct BlockEntry {
  int state = kTopLevel;
  EventHandler handler = nullptr;
  BlockKind kind = BlockKind::Base;
  NodeRecord* record = nullptr;  // owned by the node list
  // Where the block opened, for the notes of a syntax error at the end of input.
  std::int32_t headLine = 0;
  std::shared_ptr<const std::string> headFile;
};

inline constexpr int kMaxOpenBlocks = 100;

class BlockStack final : public SyntaxContext {
 public:
  BlockStack() { reset(); }

  /// Back to the base entry alone.
  void reset();

  /// Opens a new entry for the construct's head handler to fill; a 101st
  /// open block is message -238.
  BlockEntry& push(Diagnostics& diag, int line);
  void pop();

  BlockEntry& top() { return entries_[static_cast<std::size_t>(depth_)]; }
  const BlockEntry& top() const { return entries_[static_cast<std::size_t>(depth_)]; }
  /// The entry `below` places under the top (0 = the top itself).
  BlockEntry& below(int below) { return entries_[static_cast<std::size_t>(depth_ - below)]; }
  int nestingDepth() const { return depth_; }

  bool anyBlockOpen() const override { return depth_ > 0; }
  std::vector<OpenBlock> openBlocks() const override;

 private:
  std::array<BlockEntry, kMaxOpenBlocks + 1> entries_{};
  int depth_ = 0;
};

/// Generated label numbers of one file, from 1.
class LabelCounter {
 public:
  std::int32_t allocate() { return next_++; }
  /// Allocates into `field` when it still holds 0; returns the label.
  std::int32_t onDemand(std::int32_t& field) {
    if (field == 0) field = allocate();
    return field;
  }
  std::int32_t next() const { return next_; }

 private:
  std::int32_t next_ = 1;
};

}  // namespace pelc
