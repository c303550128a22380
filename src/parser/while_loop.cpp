// The WHILE loop, compiled with its test at the bottom.
#include "parser/condition_scanner.h"
#include "parser/construct_support.h"
#include "parser/constructs.h"

namespace pelc {
namespace {

constexpr int kFirstWhileEvent = 97;

void endWhile(Parser& parser, WhileRecord& loop, EndPoint end) {
  appendEndNode<WhileEndRecord>(parser, NodeKind::WhileEnd, end, loop.startLine).loop = &loop;
  parser.blocks().pop();
}

}  // namespace

void whileHead(Parser& parser, std::string_view rest, RewriteMark, bool) {
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
  const std::optional<LoopAction> action = actionOf(kTestedLoopActions, kFirstWhileEvent, event);
  if (!action) reportUnknownEvent(parser);
  WhileRecord& loop = topRecord<WhileRecord>(parser);
  switch (*action) {
    case LoopAction::SwitchJumpEnds:
    case LoopAction::SwitchJump:
      parser.findJumpTarget(token, JumpClass::Switch);
      break;
    case LoopAction::ContinueEnds:
    case LoopAction::Continue:
      // CONTINUE re-runs the test, which sits at the test label.
      appendGoto(parser, loop.testLabel);
      break;
    case LoopAction::ExitEnds:
    case LoopAction::Exit:
      appendGoto(parser, parser.labels().onDemand(loop.exitLabel));
      break;
    case LoopAction::Brace:
    case LoopAction::CloseBrace:
      parser.appendSilentNode();
      break;
    case LoopAction::EndBefore:
      endWhile(parser, loop, beforeCurrentLine(parser));
      return;
  }
  if (endsAfterLine(*action)) endWhile(parser, loop, afterCurrentLine(parser));
}

}  // namespace pelc
