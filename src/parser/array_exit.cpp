// ARRAY declarations that take over the lines of their initialiser list, and EXIT.
#include <string>

#include "parser/construct_support.h"
#include "parser/constructs.h"

namespace pelc {
namespace {

bool endsWithEquals(std::string_view rest) {
  const std::size_t last = rest.find_last_not_of(" \t\n\v\f\r");
  return last != std::string_view::npos && rest[last] == '=';
}

/// The node of an ARRAY line and its `{` line, the `{` line being the current one
/// and `braceLine` its text; the parser's line is still the ARRAY line's. Both
/// lines are written as one.
void appendOpeningNode(Parser& parser, const LineInfo& arrayLine, RewriteMark mark,
                       std::string_view braceLine) {
  StatementRecord& node = parser.appendLineNode<StatementRecord>(NodeKind::Statement);
  node.startPos = arrayLine.startPos;
  node.startLine = arrayLine.startLine;
  node.notAtEol = parser.notAtEol();
  node.rewriteMark = mark;
  node.rewriteMark.joinedWithBrace = true;
  std::string joined = parser.lineText();
  joined += braceLine;
  node.text = parser.file().nodes.keepText(joined);
}

/// The lines after the `{`: data up to the first line that holds a `}`.
void readInitialiserList(Parser& parser, std::string& text) {
  for (;;) {
    bool commentRemoved = false;
    if (parser.readLine(text, &commentRemoved) == 0) {
      parser.reportSyntaxError({"end of input inside the ARRAY list", "end of input", true});
      return;
    }
    const bool expanded = parser.expander().expandMacros(text, parser.line().startLine) == 2;
    const RewriteMark mark{.commentRemoved = commentRemoved, .macrosExpanded = expanded};
    if (mark.any()) parser.appendStatementNode(mark, text);
    if (text.find('{') != std::string::npos) {
      parser.reportSyntaxError({"'{' inside the ARRAY list", "{"});
    }
    if (text.find('}') != std::string::npos) return;
  }
}

}  // namespace

void arrayStatement(Parser& parser, std::string_view rest, RewriteMark rewriteMark, bool) {
  // ARRAY goes through the block table only to reach this handler; it never stays open.
  parser.blocks().pop();
  if (!endsWithEquals(rest)) {
    if (rewriteMark.any()) parser.appendStatementNode(rewriteMark);
    return;
  }
  const LineInfo arrayLine = parser.line();
  const std::int32_t lineAfterArray = parser.endLine();
  // Our own buffer: `rest` still points into the parser's line.
  std::string text;
  text.reserve(kLineBufferSize);
  bool commentRemoved = false;
  if (parser.readLine(text, &commentRemoved) != 0 && text.front() == '{') {
    const RewriteMark mark =
        rewriteMark.any() ? rewriteMark : RewriteMark{.commentRemoved = commentRemoved};
    if (mark.any()) appendOpeningNode(parser, arrayLine, mark, text);
    readInitialiserList(parser, text);
    return;
  }
  // The line after the ARRAY line is an ordinary statement after all: the dispatcher must read
  // it again, from the ARRAY line's end and under the line number it had there.
  parser.readAgainAfter(arrayLine, lineAfterArray);
  if (rewriteMark.any()) parser.appendStatementNode(rewriteMark);
}

RewriteMark exitStatement(Parser& parser, std::string_view, RewriteMark rewriteMark) {
  ExitRecord& node = parser.appendLineNode<ExitRecord>(NodeKind::Exit);
  node.rewriteMark = rewriteMark;
  if (rewriteMark.any()) node.text = parser.keepLineText();
  node.notAtEol = parser.notAtEol();
  parser.file().exitSeen = true;
  // The EXIT node stands for the line, so the dispatcher must add no node of its own.
  return {};
}

}  // namespace pelc
