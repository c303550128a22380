// The statement loop: classification of logical lines and the grammar steps.
#include "parser/parser.h"

#include "base/text.h"
#include "parser/construct_support.h"
#include "parser/constructs.h"
#include "parser/statement_tables.h"

namespace pelc {

Parser::Parser(FileContext& file) : file_(file), expander_(file.macros, file.run.diag) {
  lineText_.reserve(kLineBufferSize);
}

std::size_t Parser::lineBufferRoom() const {
  const std::size_t used = lineText_.size() + 1;
  return used >= kLineBufferSize ? 0 : kLineBufferSize - used;
}

void Parser::fillHead(LineHead& head) const {
  head.startPos = line_.startPos;
  head.endPos = line_.endPos;
  head.startLine = line_.startLine;
  head.endLine = endLine();
}

void Parser::appendSilentNode() {
  appendLineNode<SilentRecord>(NodeKind::Silent).notAtEol = notAtEol();
}

void Parser::appendStatementNode(RewriteMark rewriteMark, std::string_view text) {
  auto& record = appendLineNode<StatementRecord>(NodeKind::Statement);
  record.notAtEol = notAtEol();
  record.rewriteMark = rewriteMark;
  record.text = file_.nodes.keepText(text);
}

void Parser::reportSyntaxError(const SyntaxProblem& problem) {
  diag().reportSyntaxError(line_.startLine, problem);
}

std::size_t Parser::readLine(std::string& text, bool* commentRemoved) {
  return readLogicalLine(file_.reader, diag(), text, true, line_, commentRemoved);
}

void Parser::readAgainAfter(const LineInfo& info, std::int32_t lineAfter) {
  line_ = info;
  file_.reader.seekSource(info.endPos);
  file_.reader.setCurrentLine(lineAfter);
}

void Parser::parseFile() {
  file_.blocks.reset();
  diag().setSyntaxContext(&file_.blocks);
  file_.reader.setCurrentLine(1);
  for (;;) {
    dispatchLines();
    endOfFileCheck(*this);
    if (file_.includeStack.empty()) break;
    endInclude(*this);
  }
  closeOpenBlocks();
}

void Parser::closeOpenBlocks() {
  while (file_.blocks.anyBlockOpen()) {
    int token = kTokenEnd;
    if (stepGrammar(token, {}, {}) != 0) return;
  }
}

void Parser::dispatchLines() {
  bool commentRemoved = false;
  while (readLine(lineText_, &commentRemoved) != 0) {
    dispatchLine(RewriteMark{.commentRemoved = commentRemoved});
    if (consumer_ != nullptr && handOverDue()) {
      handedOverTo_ = file_.reader.sourcePosition();
      consumer_->consumeNodes(file_.nodes, handedOverTo_);
    }
  }
}

// Nodes are final once no block, group or include is open: nothing refers
// back to them. An EXIT's jump depends on the whole file, and after an error
// nothing is written at all. Long stretches without nodes are handed over
// too, so that their copy need not wait for the end of the parse.
bool Parser::nothingRefersBack() const {
  return !file_.blocks.anyBlockOpen() && file_.conditionals.depth() == 0 &&
         file_.includeStack.empty() && !file_.exitSeen && !file_.run.diag.anyError();
}

void Parser::dispatchLine(RewriteMark rewriteMark) {
  const bool skipping = file_.conditionals.skipping;
  Keyword keyword = extractKeyword(lineText_);
  if (keyword.blank()) {
    if (!skipping && rewriteMark.any()) appendStatementNode(rewriteMark);
    return;
  }
  bool expanded = false;
  if (!skipping && !keyword.isDirective()) {
    const char* const textBefore = lineText_.data();
    if (expander_.expandMacros(lineText_, line_.startLine) == 2) {
      rewriteMark.macrosExpanded = true;
      expanded = true;
      // The keyword is read from the bytes up to and including the one at its
      // rest; a line changed only after them keeps it.
      if (expander_.firstChange() <= keyword.restOffset() || lineText_.data() != textBefore) {
        keyword = extractKeyword(lineText_);
      }
      // A line expanded to nothing still stands for its source bytes, which
      // must not reach the output unexpanded.
      if (keyword.blank()) {
        appendStatementNode(rewriteMark);
        return;
      }
    }
  }
  const KeywordRows& rows = lookUpKeyword(keyword.text());
  if (rows.directive != nullptr) {
    dispatchDirective(*rows.directive, keyword, rewriteMark, expanded);
    return;
  }
  if (skipping) return;
  if (keyword.isDirective() && keyword.text().size() > 1) {
    // Copied through as a statement, which is rarely what a misspelt directive meant.
    diag().warn(Warning::UnknownDirective, line_.startLine,
                {{"directive", std::string(keyword.text())}});
  }
  dispatchStatement(rows, keyword, rewriteMark);
}

void Parser::dispatchDirective(const DirectiveRow& row, const Keyword& keyword,
                               RewriteMark rewriteMark, bool expanded) {
  if (file_.conditionals.skipping && !row.runsWhileSkipping) return;
  if (row.handler == nullptr) {
    if (rewriteMark.any()) appendStatementNode(rewriteMark);
    return;
  }
  if (keyword.isDirective() && expanded) {
    diag().throwMessage(Msg::MisplacedDirective, line_.startLine,
                        {{"directive", std::string(keyword.text())}});
  }
  const std::string_view rest = std::string_view(lineText_).substr(keyword.restOffset());
  row.handler(*this, row.name, rest);
}

void Parser::dispatchStatement(const KeywordRows& rows, const Keyword& keyword,
                               RewriteMark rewriteMark) {
  const std::string_view rest = std::string_view(lineText_).substr(keyword.restOffset());
  int token = kTokenOther;
  if (const StatementKeywordRow* row = rows.statement) {
    token = row->token;
    if (row->takesNoOperand && !isAllBlank(rest)) {
      diag().reportMessage(Msg::ExtraText, line_.startLine,
                           {{"keyword", std::string(keyword.text())}});
    }
  }
  stepGrammar(token, keyword.text(), rest);
  if (token == kTokenOther || token == kTokenWhile) {
    startBlockOrTransfer(rows, rest, rewriteMark);
  }
}

void Parser::startBlockOrTransfer(const KeywordRows& rows, std::string_view rest,
                                  RewriteMark rewriteMark) {
  if (const BlockStatementRow* row = rows.block) {
    file_.blocks.push(diag(), line_.startLine);
    row->handler(*this, rest, rewriteMark, false);
    return;
  }
  if (const TransferStatementRow* row = rows.transfer) {
    rewriteMark = row->handler(*this, rest, rewriteMark);
  }
  if (rewriteMark.any()) appendStatementNode(rewriteMark);
}

void Parser::reportUnexpected(int token, std::string_view keyword) {
  if (token == kTokenEnd) {
    reportSyntaxError({"unexpected end of input", "end of input", true});
  } else if (keyword.empty()) {
    reportSyntaxError({"unexpected statement"});
  } else {
    const std::string problem = "unexpected '" + std::string(keyword) + "'";
    reportSyntaxError({problem, keyword});
  }
}

int Parser::stepGrammar(int& token, std::string_view keyword, std::string_view rest) {
  for (;;) {
    BlockEntry& entry = file_.blocks.top();
    const GrammarCell cell = grammarRow(entry.state)[static_cast<std::size_t>(token)];
    if (cell.action == BlockAction::NotAllowed) {
      reportUnexpected(token, keyword);
      return 1;
    }
    if (cell.next > 0) entry.state = cell.next;
    const bool redo = cell.next == kRedo;
    if (cell.action != BlockAction::None) entry.handler(*this, cell.action, token, keyword, rest);
    if (!redo) return 0;
    // The handler may have consumed the token (set it below 0): then nothing is
    // left to apply again.
    if (token < 0) return 0;
  }
}

void Parser::findJumpTarget(int token, JumpClass wanted) {
  BlockStack& blocks = file_.blocks;
  for (int below = 1;; ++below) {
    BlockEntry& entry = blocks.below(below);
    if (entry.kind == BlockKind::Base) {
      const bool toSwitch = wanted == JumpClass::Switch;
      diag().reportMessage(Msg::NoJumpTarget, line_.startLine,
                           {{"keyword", token == kTokenBreak      ? "BREAK"
                                        : token == kTokenContinue ? "CONTINUE"
                                                                  : "EXITLOOP"},
                            {"needed", toSwitch ? "SWITCH" : "loop"}});
      return;
    }
    if (jumpClassOf(entry.kind) != wanted) continue;
    if (wanted == JumpClass::Switch) {
      switchBreak(*this, *static_cast<SwitchRecord*>(entry.record));
    } else {
      const std::int32_t label = loopJumpLabel(*this, entry, token == kTokenContinue);
      appendLineNode<GotoRecord>(NodeKind::Goto).targetLabel = label;
    }
    return;
  }
}

}  // namespace pelc
