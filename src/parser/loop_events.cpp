// The events of WHILE and FOR blocks: both loops have the same grammar rows and
// differ only in where CONTINUE goes and in their end nodes.
#include "parser/construct_support.h"
#include "parser/constructs.h"

namespace pelc {
namespace {

void endLoop(Parser& parser, const BlockEntry& entry, EndPoint end) {
  if (entry.kind == BlockKind::For) {
    auto& loop = *static_cast<ForRecord*>(entry.record);
    appendEndNode<ForEndRecord>(parser, NodeKind::ForEnd, end, loop.startLine).loop = &loop;
  } else {
    auto& loop = *static_cast<WhileRecord*>(entry.record);
    appendEndNode<WhileEndRecord>(parser, NodeKind::WhileEnd, end, loop.startLine).loop = &loop;
  }
  parser.blocks().pop();
}

}  // namespace

void loopEvent(Parser& parser, BlockAction action, int& token, std::string_view,
               std::string_view) {
  const BlockEntry& entry = parser.blocks().top();
  switch (action) {
    case BlockAction::SwitchJumpEnds:
    case BlockAction::SwitchJump:
      parser.findJumpTarget(token, JumpClass::Switch);
      break;
    case BlockAction::ContinueEnds:
    case BlockAction::Continue:
      appendGoto(parser, loopJumpLabel(parser, entry, true));
      break;
    case BlockAction::ExitEnds:
    case BlockAction::Exit:
      appendGoto(parser, loopJumpLabel(parser, entry, false));
      break;
    case BlockAction::Brace:
    case BlockAction::CloseBrace:
      parser.appendSilentNode();
      break;
    case BlockAction::EndBefore:
      endLoop(parser, entry, beforeCurrentLine(parser));
      return;
    default:
      reportUnknownEvent(parser, action);
  }
  if (endsAfterLine(action)) endLoop(parser, entry, afterCurrentLine(parser));
}

}  // namespace pelc
