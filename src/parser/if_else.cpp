// IF and ELSE with ELSE IF chains: a passed-through IF line, or a negated test that jumps
// around the body.
#include <optional>
#include <string>

#include "base/text.h"
#include "parser/condition_negation.h"
#include "parser/condition_scanner.h"
#include "parser/construct_support.h"
#include "parser/constructs.h"
#include "parser/keyword.h"
#include "parser/statement_tables.h"

namespace pelc {
namespace {

enum class IfEndKind { NoElse, AfterElse };

// An ELSE IF keeps its condition as written while it may still guard one line; once a body
// needs a jump around it, the test must be negated.
void makeLabelled(Parser& parser, IfRecord& record) {
  // An empty condition is one whose syntax error was reported at the head: there is nothing
  // to negate, and nothing more to report. A scanned condition keeps its parentheses.
  if (record.form == IfForm::Plain && !record.condition.empty()) {
    // The negation is a new string, so the condition may be read while it is built.
    const std::size_t used = record.condition.size() + 1;
    const std::size_t room = used >= kLineBufferSize ? 0 : kLineBufferSize - used;
    std::optional<std::string> negated =
        negateCondition(record.condition, room, parser.diag(), parser.line().startLine);
    if (negated) record.condition = std::move(*negated);
  }
  if (record.form == IfForm::Plain || record.form == IfForm::NegatedUndecided) {
    record.form = IfForm::Labelled;
  }
}

void endIf(Parser& parser, IfRecord& record, IfEndKind kind, EndPoint end) {
  if (kind == IfEndKind::NoElse) {
    // An IF still undecided guarded one simple line: its own line does the guarding.
    if (record.form == IfForm::NegatedUndecided) record.form = IfForm::PassThrough;
    if (record.form != IfForm::Labelled) {
      parser.blocks().pop();
      return;
    }
  }
  appendEndNode<IfEndRecord>(parser, NodeKind::IfEnd, end, record.startLine).endLabel =
      record.endLabel;
  parser.blocks().pop();
}

/// The rest of an ELSE line after its IF keyword, or nothing for a plain ELSE.
std::optional<std::string_view> elseIfRest(Parser& parser, std::string_view rest) {
  if (isAllBlank(rest)) return std::nullopt;
  const Keyword keyword = extractKeyword(rest);
  if (compareKeywords(keyword.text(), "IF") == 0) return rest.substr(keyword.restOffset());
  parser.diag().reportMessage(Msg::ExtraText, parser.line().startLine, {{"keyword", "ELSE"}});
  return std::nullopt;
}

void elseLine(Parser& parser, IfRecord& record, std::string_view rest) {
  const std::optional<std::string_view> ifRest = elseIfRest(parser, rest);
  record.form = IfForm::LabelledWithElse;
  ElseRecord& node = parser.appendLineNode<ElseRecord>(NodeKind::Else);
  node.ownLabel = parser.labels().allocate();
  node.ifElseLabel = record.elseLabel;
  node.notAtEol = parser.notAtEol();
  record.endLabel = node.ownLabel;
  if (!ifRest) return;
  // The line belongs to the inner IF; the ELSE node only marks where the ELSE part begins.
  node.endPos = node.startPos;
  node.endLine = node.startLine;
  parser.blocks().top().state = kElseDone;
  parser.blocks().push(parser.diag(), parser.line().startLine);
  ifHead(parser, *ifRest, {}, true);
}

}  // namespace

void ifHead(Parser& parser, std::string_view rest, RewriteMark rewriteMark, bool plain) {
  IfRecord& record = parser.appendLineNode<IfRecord>(NodeKind::If);
  openBlock(parser, kIfHead, ifEvent, BlockKind::If, record);
  Diagnostics& diag = parser.diag();
  const int line = parser.line().startLine;
  std::optional<std::string> condition =
      plain ? scanCondition(rest, diag, line)
            : negateCondition(rest, parser.lineBufferRoom(), diag, line);
  record.condition = std::move(condition).value_or(std::string{});
  record.form = plain ? IfForm::Plain : IfForm::NegatedUndecided;
  record.rewriteMark = rewriteMark;
  if (rewriteMark.any()) record.text = parser.keepLineText();
  record.elseLabel = parser.labels().allocate();
  record.endLabel = record.elseLabel;
  record.notAtEol = parser.notAtEol();
}

void ifEvent(Parser& parser, BlockAction action, int& token, std::string_view keyword,
             std::string_view rest) {
  IfRecord& record = topRecord<IfRecord>(parser);
  switch (action) {
    case BlockAction::SwitchJump:
    case BlockAction::SwitchJumpEnds:
      parser.findJumpTarget(token, JumpClass::Switch);
      break;
    case BlockAction::LoopJump:
    case BlockAction::LoopJumpEnds:
      parser.findJumpTarget(token, JumpClass::Loop);
      break;
    case BlockAction::Brace:
    case BlockAction::CloseBrace:
      parser.appendSilentNode();
      break;
    case BlockAction::IfBody:
      // A block statement as the body cannot be guarded by a one-line IF.
      if (lookUpKeyword(keyword).block != nullptr) makeLabelled(parser, record);
      return;
    case BlockAction::CloseIfBody:
      parser.appendSilentNode();
      makeLabelled(parser, record);
      return;
    case BlockAction::Else:
      if (record.form == IfForm::Plain) makeLabelled(parser, record);
      elseLine(parser, record, rest);
      return;
    case BlockAction::EndWithoutElse:
      endIf(parser, record, IfEndKind::NoElse, beforeCurrentLine(parser));
      return;
    case BlockAction::EndBefore:
      endIf(parser, record, IfEndKind::AfterElse, beforeCurrentLine(parser));
      return;
    default:
      reportUnknownEvent(parser, action);
  }
  // Only the rows of the ELSE part name these: an IF body still waits for its ELSE.
  if (endsAfterLine(action)) endIf(parser, record, IfEndKind::AfterElse, afterCurrentLine(parser));
}

}  // namespace pelc
