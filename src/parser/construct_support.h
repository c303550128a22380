// Steps that the structured-statement handlers share: opening a block, jumps and end nodes.
#pragma once

#include <cstdint>

#include "parser/block_stack.h"
#include "parser/parser.h"

namespace pelc {

/// Where a construct's closing code is placed, and the line the copy resumes under.
struct EndPoint {
  std::int32_t position = 0;
  std::int32_t line = 0;
};

/// Before the current line: the line that arrived is not part of the construct.
EndPoint beforeCurrentLine(const Parser& parser);

/// After the current line: the closing `}` or jump line is the construct's last line.
EndPoint afterCurrentLine(const Parser& parser);

/// Fills the entry pushed for a new block with its head state, handler, kind and record.
void openBlock(Parser& parser, int state, EventHandler handler, BlockKind kind, NodeRecord& record);

/// The head record of the block on top, the block an event is addressed to.
template <class Record>
Record& topRecord(Parser& parser) {
  return *static_cast<Record*>(parser.blocks().top().record);
}

/// Appends an end node at `end`; `headLine` is the start line of the construct's head.
template <class Record>
Record& appendEndNode(Parser& parser, NodeKind kind, EndPoint end, std::int32_t headLine) {
  Record& record = parser.nodes().appendNode<Record>(kind);
  record.position = end.position;
  record.headLine = headLine;
  record.line = end.line;
  return record;
}

/// Replaces the current line by a jump to `label`.
void appendGoto(Parser& parser, std::int32_t label);

/// The label that CONTINUE (with `toContinue`) or EXITLOOP of the loop `entry`
/// jumps to, allocated when it is first needed.
std::int32_t loopJumpLabel(Parser& parser, const BlockEntry& entry, bool toContinue);

/// The grammar table named an action that the construct does not take.
[[noreturn]] void reportUnknownEvent(Parser& parser, BlockAction action);

}  // namespace pelc
