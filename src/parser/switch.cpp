// SWITCH, CASE and DEFAULT: the selector held in a generated temporary, each CASE a test of it.
#include <algorithm>

#include "parser/condition_scanner.h"
#include "parser/construct_support.h"
#include "parser/constructs.h"
#include "parser/temporary_names.h"

namespace pelc {
namespace {

/// The nesting depth of the SWITCH on top: the SWITCH entries from the top down, itself included.
int switchDepth(BlockStack& blocks) {
  int depth = 0;
  for (int below = 0; below < blocks.nestingDepth(); ++below) {
    if (blocks.below(below).kind == BlockKind::Switch) ++depth;
  }
  return depth;
}

void caseValues(Parser& parser, CaseRecord& node, std::string_view rest) {
  Diagnostics& diag = parser.diag();
  const int line = parser.line().startLine;
  CaseValue low = scanCaseValue(rest, diag, line);
  node.low = std::move(low.value);
  if (!low.ok || low.end != ':') return;
  CaseValue high = scanCaseValue(rest.substr(low.next), diag, line);
  if (!high.ok) return;
  node.high = std::move(high.value);
  // A range has one colon; the line is still taken as the range before the second one.
  if (high.end == ':') parser.reportSyntaxError({"second ':' in the CASE range"});
}

void caseLine(Parser& parser, SwitchRecord& owner, std::string_view rest, bool fallsThrough) {
  CaseRecord& node = parser.appendLineNode<CaseRecord>(NodeKind::Case);
  owner.previousNextLabel = owner.nextLabel;
  owner.nextLabel = parser.labels().allocate();
  node.owner = &owner;
  caseValues(parser, node, rest);
  node.fallThroughLabel = fallsThrough ? parser.labels().allocate() : 0;
  node.previousNextLabel = owner.previousNextLabel;
  node.nextLabel = owner.nextLabel;
  node.notAtEol = parser.notAtEol();
}

void defaultLine(Parser& parser, SwitchRecord& owner) {
  DefaultRecord& node = parser.appendLineNode<DefaultRecord>(NodeKind::Default);
  node.nextLabel = owner.nextLabel;
  node.notAtEol = parser.notAtEol();
  owner.nextLabel = 0;
}

void endSwitch(Parser& parser, SwitchRecord& owner) {
  parser.appendSilentNode();
  if (owner.nextLabel != 0 || owner.breakLabel != 0) {
    SwitchEndRecord& end = appendEndNode<SwitchEndRecord>(
        parser, NodeKind::SwitchEnd, afterCurrentLine(parser), owner.startLine);
    end.nextLabel = owner.nextLabel;
    end.breakLabel = owner.breakLabel;
  }
  parser.blocks().pop();
}

}  // namespace

void switchHead(Parser& parser, std::string_view rest, RewriteMark, bool) {
  SwitchRecord& owner = parser.appendLineNode<SwitchRecord>(NodeKind::Switch);
  openBlock(parser, kSwitchHead, switchEvent, BlockKind::Switch, owner);
  owner.expression =
      scanCondition(rest, parser.diag(), parser.line().startLine).value_or(std::string{});
  FileContext& file = parser.file();
  const int depth = switchDepth(parser.blocks());
  file.maxSwitchDepth = std::max(file.maxSwitchDepth, depth);
  owner.temporaryName = temporaryName(file.queuedFilePath, depth);
  owner.previousNextLabel = 0;
  owner.nextLabel = 0;
  owner.breakLabel = 0;
  owner.notAtEol = parser.notAtEol();
}

void switchBreak(Parser& parser, SwitchRecord& owner) {
  SwitchBreakRecord& node = parser.appendLineNode<SwitchBreakRecord>(NodeKind::SwitchBreak);
  node.breakLabel = parser.labels().onDemand(owner.breakLabel);
  node.notAtEol = parser.notAtEol();
}

void switchEvent(Parser& parser, BlockAction action, int& token, std::string_view,
                 std::string_view rest) {
  SwitchRecord& owner = topRecord<SwitchRecord>(parser);
  switch (action) {
    case BlockAction::Brace:
      parser.appendSilentNode();
      return;
    case BlockAction::Case:
      caseLine(parser, owner, rest, false);
      return;
    case BlockAction::FallThroughCase:
      caseLine(parser, owner, rest, true);
      return;
    case BlockAction::Default:
      defaultLine(parser, owner);
      return;
    case BlockAction::Break:
      switchBreak(parser, owner);
      return;
    case BlockAction::LoopJump:
      parser.findJumpTarget(token, JumpClass::Loop);
      return;
    case BlockAction::CloseBrace:
      endSwitch(parser, owner);
      return;
    default:
      reportUnknownEvent(parser, action);
  }
}

}  // namespace pelc
