// Steps that the structured-statement handlers share.
#include "parser/construct_support.h"

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
    default: {
      // CONTINUE runs the test again, which sits at the test label.
      auto& loop = *static_cast<WhileRecord*>(entry.record);
      return toContinue ? loop.testLabel : labels.onDemand(loop.exitLabel);
    }
  }
}

void reportUnknownEvent(Parser& parser, BlockAction action) {
  const std::vector<OpenBlock> blocks = parser.blocks().openBlocks();
  const std::string construct(blocks.empty() ? "top-level" : blocks.front().construct);
  parser.diag().throwMessage(Msg::UnknownEvent, parser.line().startLine,
                             {{"construct", construct}, {"event", static_cast<int>(action)}});
}

}  // namespace pelc
