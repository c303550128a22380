// The DO loop: a top label at the DO line and the test at the WHILE line that closes it.
#include <array>

#include "base/text.h"
#include "parser/condition_scanner.h"
#include "parser/construct_support.h"
#include "parser/constructs.h"

namespace pelc {
namespace {

enum class DoAction { SwitchJump, Continue, Exit, Close, Brace };

constexpr int kFirstDoEvent = 1;
// clang-format off
constexpr std::array<DoAction, 13> kDoActions = [] {
  using enum DoAction;
  return std::array<DoAction, 13>{
      SwitchJump, Continue, Exit, Close, Brace,  // DoHead
      SwitchJump, Continue, Exit,                // DoBraceOpen
      SwitchJump, Continue, Exit, Brace,         // DoBraceBody
      Close};                                    // DoAwaitWhile
}();
// clang-format on

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

void doEvent(Parser& parser, int event, int& token, std::string_view, std::string_view rest) {
  const std::optional<DoAction> action = actionOf(kDoActions, kFirstDoEvent, event);
  if (!action) reportUnknownEvent(parser);
  DoRecord& loop = topRecord<DoRecord>(parser);
  switch (*action) {
    case DoAction::SwitchJump:
      parser.findJumpTarget(token, JumpClass::Switch);
      return;
    case DoAction::Continue:
      appendGoto(parser, parser.labels().onDemand(loop.continueLabel));
      return;
    case DoAction::Exit:
      appendGoto(parser, parser.labels().onDemand(loop.exitLabel));
      return;
    case DoAction::Close:
      closeDo(parser, loop, token, rest);
      return;
    case DoAction::Brace:
      parser.appendSilentNode();
      return;
  }
}

}  // namespace pelc
