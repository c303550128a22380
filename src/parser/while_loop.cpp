// The WHILE loop, compiled with its test at the bottom.
#include "parser/condition_scanner.h"
#include "parser/construct_support.h"
#include "parser/constructs.h"

namespace pelc {

void whileHead(Parser& parser, std::string_view rest, RewriteMark, bool) {
  WhileRecord& loop = parser.appendLineNode<WhileRecord>(NodeKind::While);
  openBlock(parser, kWhileHead, loopEvent, BlockKind::While, loop);
  loop.condition =
      scanCondition(rest, parser.diag(), parser.line().startLine).value_or(std::string{});
  // The emitter relies on the top label directly following the test label.
  loop.testLabel = parser.labels().allocate();
  loop.topLabel = parser.labels().allocate();
  loop.exitLabel = 0;
  loop.notAtEol = parser.notAtEol();
}

}  // namespace pelc
