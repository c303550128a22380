// IF and ELSE with ELSE IF chains: a passed-through IF line, or a negated test that jumps
// around the body.
#include <optional>
#include <string>

#include "codegen/condition_negation.h"
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
  if (record.form == IfForm::Plain) {
    const std::string copy = record.condition;
    const std::size_t used = copy.size() + 1;
    const std::size_t room = used >= kLineBufferSize ? 0 : kLineBufferSize - used;
    std::optional<std::string> negated =
        negateCondition(copy, room, parser.diag(), parser.line().startLine);
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
  parser.diag().reportMessage(Msg::ExtraText, parser.line().startLine);
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
  ifHead(parser, *ifRest, 0, true);
}

}  // namespace

void ifHead(Parser& parser, std::string_view rest, int rewriteMark, bool plain) {
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
  record.elseLabel = parser.labels().allocate();
  record.endLabel = record.elseLabel;
  record.notAtEol = parser.notAtEol();
}

void ifEvent(Parser& parser, int event, int& token, std::string_view keyword,
             std::string_view rest) {
  IfRecord& record = topRecord<IfRecord>(parser);
  switch (event) {
    case 35: case 40: case 43: case 62: case 65:
      parser.findJumpTarget(token, JumpClass::Switch);
      return;
    case 36: case 37: case 41: case 42: case 44: case 45: case 63: case 64: case 66: case 67:
      parser.findJumpTarget(token, JumpClass::Loop);
      return;
    case 38: case 61:
      parser.appendSilentNode();
      return;
    case 39:
      if (findKeyword(kBlockStatementTable, keyword) != nullptr) makeLabelled(parser, record);
      return;
    case 46: case 47:
      parser.appendSilentNode();
      makeLabelled(parser, record);
      return;
    case 52:
      if (record.form == IfForm::Plain) makeLabelled(parser, record);
      elseLine(parser, record, rest);
      return;
    case 58:
      parser.findJumpTarget(token, JumpClass::Switch);
      endIf(parser, record, IfEndKind::AfterElse, afterCurrentLine(parser));
      return;
    case 59: case 60:
      parser.findJumpTarget(token, JumpClass::Loop);
      endIf(parser, record, IfEndKind::AfterElse, afterCurrentLine(parser));
      return;
    case 68: case 69:
      parser.appendSilentNode();
      endIf(parser, record, IfEndKind::AfterElse, afterCurrentLine(parser));
      return;
    default:
      break;
  }
  if (eventIn(event, 48, 57)) {
    endIf(parser, record, IfEndKind::NoElse, beforeCurrentLine(parser));
  } else if (eventIn(event, 70, 79)) {
    endIf(parser, record, IfEndKind::AfterElse, beforeCurrentLine(parser));
  } else {
    reportUnknownEvent(parser);
  }
}

}  // namespace pelc
