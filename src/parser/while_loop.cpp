// The WHILE loop, compiled with its test at the bottom.
#include "parser/condition_scanner.h"
#include "parser/construct_support.h"
#include "parser/constructs.h"

namespace pelc {
namespace {

void endWhile(Parser& parser, WhileRecord& loop, EndPoint end) {
  appendEndNode<WhileEndRecord>(parser, NodeKind::WhileEnd, end, loop.startLine).loop = &loop;
  parser.blocks().pop();
}

}  // namespace

void whileHead(Parser& parser, std::string_view rest, int, bool) {
  WhileRecord& loop = parser.appendLineNode<WhileRecord>(NodeKind::While);
  openBlock(parser, kWhileHead, whileEvent, BlockKind::While, loop);
  loop.condition =
      scanCondition(rest, parser.diag(), parser.line().startLine).value_or(std::string{});
  // The emitter relies on the top label directly following the test label.
  loop.testLabel = parser.labels().allocate();
  loop.topLabel = parser.labels().allocate();
  loop.exitLabel = 0;
  loop.notAtEol = parser.notAtEol();
}

void whileEvent(Parser& parser, int event, int& token, std::string_view, std::string_view) {
  WhileRecord& loop = topRecord<WhileRecord>(parser);
  switch (event) {
    case 97:
      parser.findJumpTarget(token, JumpClass::Switch);
      endWhile(parser, loop, afterCurrentLine(parser));
      return;
    case 98:
      appendGoto(parser, loop.testLabel);
      endWhile(parser, loop, afterCurrentLine(parser));
      return;
    case 99:
      appendGoto(parser, parser.labels().onDemand(loop.exitLabel));
      endWhile(parser, loop, afterCurrentLine(parser));
      return;
    case 100:
      parser.appendSilentNode();
      return;
    case 101: case 104:
      parser.findJumpTarget(token, JumpClass::Switch);
      return;
    case 102: case 105:
      appendGoto(parser, loop.testLabel);
      return;
    case 103: case 106:
      appendGoto(parser, parser.labels().onDemand(loop.exitLabel));
      return;
    case 107:
      parser.appendSilentNode();
      endWhile(parser, loop, afterCurrentLine(parser));
      return;
    default:
      break;
  }
  if (eventIn(event, 108, 117)) {
    endWhile(parser, loop, beforeCurrentLine(parser));
  } else {
    reportUnknownEvent(parser);
  }
}

}  // namespace pelc
