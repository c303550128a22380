// Steps that the structured-statement handlers share.
#include "parser/construct_support.h"

#include <cassert>

namespace pelc {

EndPoint beforeCurrentLine(const Parser& parser) {
  return EndPoint{parser.line().startPos, parser.line().startLine};
}

EndPoint afterCurrentLine(const Parser& parser) {
  return EndPoint{parser.line().endPos, parser.endLine()};
}

void openBlock(Parser& parser, int state, EventHandler handler, BlockKind kind,
               NodeRecord& record) {
  BlockEntry& entry = parser.blocks().top();
  entry.state = state;
  entry.handler = handler;
  entry.kind = kind;
  entry.record = &record;
}

void appendGoto(Parser& parser, std::int32_t label) {
  parser.appendLineNode<GotoRecord>(NodeKind::Goto).targetLabel = label;
}

std::int32_t loopJumpLabel(Parser& parser, const BlockEntry& entry, bool toContinue) {
  LabelCounter& labels = parser.labels();
  switch (entry.kind) {
    case BlockKind::Do: {
      auto& loop = *static_cast<DoRecord*>(entry.record);
      return labels.onDemand(toContinue ? loop.continueLabel : loop.exitLabel);
    }
    case BlockKind::For: {
      auto& loop = *static_cast<ForRecord*>(entry.record);
      return labels.onDemand(toContinue ? loop.continueLabel : loop.exitLabel);
    }
    case BlockKind::While: {
      // CONTINUE runs the test again, which sits at the test label.
      auto& loop = *static_cast<WhileRecord*>(entry.record);
      return toContinue ? loop.testLabel : labels.onDemand(loop.exitLabel);
    }
    case BlockKind::Base:
    case BlockKind::If:
    case BlockKind::Switch:
      break;
  }
  assert(false && "a loop jump names a block that is not a loop");
  return 0;
}

void reportUnknownEvent(Parser& parser, BlockAction action) {
  // Only an open block's row names an action.
  const std::string construct(blockName(parser.blocks().top().kind));
  parser.diag().throwMessage(Msg::UnknownEvent, parser.line().startLine,
                             {{"construct", construct}, {"event", static_cast<int>(action)}});
}

}  // namespace pelc
