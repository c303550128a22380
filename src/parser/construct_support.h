// Steps that the structured-statement handlers share: opening a block, jumps and end nodes.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>

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

/// The action a construct's table of actions (which starts at event `first`) holds for
/// `event`; nothing for an event outside the table.
template <class Action, std::size_t N>
constexpr std::optional<Action> actionOf(const std::array<Action, N>& table, int first, int event) {
  if (event < first || event - first >= static_cast<int>(N)) return std::nullopt;
  return table[static_cast<std::size_t>(event - first)];
}

/// What a WHILE or a FOR block does on its events; both loops have the same grammar rows.
enum class LoopAction {
  SwitchJumpEnds,  // BREAK as the whole body
  ContinueEnds,    // CONTINUE as the whole body
  ExitEnds,        // EXITLOOP as the whole body
  Brace,           // `{` after the head
  SwitchJump,
  Continue,
  Exit,
  CloseBrace,  // `}` ends the loop after it
  EndBefore,   // the token after a one-statement body ends the loop, then goes on
};

/// True for the actions after which the loop ends behind the current line.
constexpr bool endsAfterLine(LoopAction action) {
  return action == LoopAction::SwitchJumpEnds || action == LoopAction::ContinueEnds ||
         action == LoopAction::ExitEnds || action == LoopAction::CloseBrace;
}

/// The actions of a WHILE or FOR block by event, from its first event on.
// clang-format off
inline constexpr std::array<LoopAction, 21> kTestedLoopActions = [] {
  using enum LoopAction;
  return std::array<LoopAction, 21>{
      SwitchJumpEnds, ContinueEnds, ExitEnds, Brace,            // head
      SwitchJump, Continue, Exit,                               // brace opened
      SwitchJump, Continue, Exit, CloseBrace,                   // brace body
      EndBefore, EndBefore, EndBefore, EndBefore, EndBefore,    // done
      EndBefore, EndBefore, EndBefore, EndBefore, EndBefore};
}();
// clang-format on

/// The grammar table raised an event that the construct has no action for.
[[noreturn]] void reportUnknownEvent(Parser& parser);

}  // namespace pelc
