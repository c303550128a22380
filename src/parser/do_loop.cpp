// The DO loop: a top label at the DO line and the test at the WHILE line that closes it.
#include "base/text.h"
#include "parser/condition_scanner.h"
#include "parser/construct_support.h"
#include "parser/constructs.h"

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

void doHead(Parser& parser, std::string_view rest, RewriteMark, bool) {
  if (!isAllBlank(rest)) {
    parser.diag().reportMessage(Msg::ExtraText, parser.line().startLine, {{"keyword", "DO"}});
  }
  DoRecord& loop = parser.appendLineNode<DoRecord>(NodeKind::Do);
  openBlock(parser, kDoHead, doEvent, BlockKind::Do, loop);
  loop.topLabel = parser.labels().allocate();
  loop.continueLabel = 0;
  loop.exitLabel = 0;
  loop.notAtEol = parser.notAtEol();
}

void doEvent(Parser& parser, BlockAction action, int& token, std::string_view,
             std::string_view rest) {
  const BlockEntry& entry = parser.blocks().top();
  switch (action) {
    case BlockAction::SwitchJump:
      parser.findJumpTarget(token, JumpClass::Switch);
      return;
    case BlockAction::Continue:
    case BlockAction::Exit:
      appendGoto(parser, loopJumpLabel(parser, entry, action == BlockAction::Continue));
      return;
    case BlockAction::WhileClosesDo:
      closeDo(parser, topRecord<DoRecord>(parser), token, rest);
      return;
    case BlockAction::Brace:
      parser.appendSilentNode();
      return;
    default:
      reportUnknownEvent(parser, action);
  }
}

}  // namespace pelc
