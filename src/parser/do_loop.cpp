// The DO loop: a top label at the DO line and the test at the WHILE line that closes it.
#include "parser/condition_scanner.h"
#include "parser/construct_support.h"
#include "parser/constructs.h"
#include "parser/keyword.h"

namespace pelc {
namespace {

void closeDo(Parser& parser, DoRecord& loop, int& token, std::string_view rest) {
  DoEndRecord& end = parser.appendLineNode<DoEndRecord>(NodeKind::DoEnd);
  end.condition =
      scanCondition(rest, parser.diag(), parser.line().startLine).value_or(std::string{});
  end.loop = &loop;
  parser.blocks().pop();
  // The WHILE line is this loop's end; the dispatcher must not start a WHILE loop with it.
  token = kTokenConsumed;
}

}  // namespace

void doHead(Parser& parser, std::string_view rest, int, bool) {
  if (!isAllBlank(rest)) parser.diag().reportMessage(Msg::ExtraText, parser.line().startLine);
  DoRecord& loop = parser.appendLineNode<DoRecord>(NodeKind::Do);
  openBlock(parser, kDoHead, doEvent, BlockKind::Do, loop);
  loop.topLabel = parser.labels().allocate();
  loop.continueLabel = 0;
  loop.exitLabel = 0;
  loop.notAtEol = parser.notAtEol();
}

void doEvent(Parser& parser, int event, int& token, std::string_view, std::string_view rest) {
  DoRecord& loop = topRecord<DoRecord>(parser);
  switch (event) {
    case 1: case 6: case 9:
      parser.findJumpTarget(token, JumpClass::Switch);
      return;
    case 2: case 7: case 10:
      appendGoto(parser, parser.labels().onDemand(loop.continueLabel));
      return;
    case 3: case 8: case 11:
      appendGoto(parser, parser.labels().onDemand(loop.exitLabel));
      return;
    case 4: case 13:
      closeDo(parser, loop, token, rest);
      return;
    case 5: case 12:
      parser.appendSilentNode();
      return;
    default:
      reportUnknownEvent(parser);
  }
}

}  // namespace pelc
