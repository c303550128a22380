// The FOR loop: init before the loop, step and test after the body.
#include <optional>
#include <string>

#include "parser/condition_scanner.h"
#include "parser/construct_support.h"
#include "parser/constructs.h"

namespace pelc {
namespace {

/// Scans the three parts of a FOR head into the record; a part after a failed one stays absent.
void scanForHead(Parser& parser, ForRecord& loop, std::string_view rest) {
  Diagnostics& diag = parser.diag();
  const int line = parser.line().startLine;
  struct Part {
    std::optional<std::string>& field;
    char opening;
    char closing;
  };
  const Part parts[] = {{loop.init, '(', ';'}, {loop.condition, '\0', ';'}, {loop.step, '\0', ')'}};
  std::size_t offset = 0;
  for (const Part& part : parts) {
    ForPart scanned = scanForPart(rest.substr(offset), part.opening, part.closing, diag, line);
    if (scanned.status == ForPart::Status::Failed) return;
    if (scanned.status == ForPart::Status::Text) part.field = std::move(scanned.text);
    offset += scanned.next;
  }
}

}  // namespace

void forHead(Parser& parser, std::string_view rest, RewriteMark, bool) {
  ForRecord& loop = parser.appendLineNode<ForRecord>(NodeKind::For);
  openBlock(parser, kForHead, loopEvent, BlockKind::For, loop);
  scanForHead(parser, loop, rest);
  // Without a condition the loop jumps straight back to its top: there is no test to place.
  loop.testLabel = loop.condition ? parser.labels().allocate() : 0;
  loop.continueLabel = 0;
  loop.topLabel = parser.labels().allocate();
  loop.exitLabel = 0;
  loop.notAtEol = parser.notAtEol();
}

}  // namespace pelc
