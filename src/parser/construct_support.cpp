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

void reportUnknownEvent(Parser& parser) {
  parser.diag().throwMessage(Msg::UnknownEvent, parser.line().startLine);
}

}  // namespace pelc
