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
  struct Step {
    std::optional<std::string>& field;
    char opening;
    char closing;
  };
  const Step steps[] = {{loop.init, '(', ';'}, {loop.condition, '\0', ';'}, {loop.step, '\0', ')'}};
  std::size_t offset = 0;
  for (const Step& step : steps) {
    ForPart part = scanForPart(rest.substr(offset), step.opening, step.closing, diag, line);
    if (part.status == ForPart::Status::Failed) return;
    if (part.status == ForPart::Status::Text) step.field = std::move(part.text);
    offset += part.next;
  }
}

void endFor(Parser& parser, ForRecord& loop, EndPoint end) {
  appendEndNode<ForEndRecord>(parser, NodeKind::ForEnd, end, loop.startLine).loop = &loop;
  parser.blocks().pop();
}

}  // namespace

void forHead(Parser& parser, std::string_view rest, int, bool) {
  ForRecord& loop = parser.appendLineNode<ForRecord>(NodeKind::For);
  openBlock(parser, kForHead, forEvent, BlockKind::For, loop);
  scanForHead(parser, loop, rest);
  // Without a condition the loop jumps straight back to its top: there is no test to place.
  loop.testLabel = loop.condition ? parser.labels().allocate() : 0;
  loop.continueLabel = 0;
  loop.topLabel = parser.labels().allocate();
  loop.exitLabel = 0;
  loop.notAtEol = parser.notAtEol();
}

void forEvent(Parser& parser, int event, int& token, std::string_view, std::string_view) {
  ForRecord& loop = topRecord<ForRecord>(parser);
  switch (event) {
    case 14:
      parser.findJumpTarget(token, JumpClass::Switch);
      endFor(parser, loop, afterCurrentLine(parser));
      return;
    case 15:
      appendGoto(parser, parser.labels().onDemand(loop.continueLabel));
      endFor(parser, loop, afterCurrentLine(parser));
      return;
    case 16:
      appendGoto(parser, parser.labels().onDemand(loop.exitLabel));
      endFor(parser, loop, afterCurrentLine(parser));
      return;
    case 17:
      parser.appendSilentNode();
      return;
    case 18: case 21:
      parser.findJumpTarget(token, JumpClass::Switch);
      return;
    case 19: case 22:
      appendGoto(parser, parser.labels().onDemand(loop.continueLabel));
      return;
    case 20: case 23:
      appendGoto(parser, parser.labels().onDemand(loop.exitLabel));
      return;
    case 24:
      parser.appendSilentNode();
      endFor(parser, loop, afterCurrentLine(parser));
      return;
    default:
      break;
  }
  if (eventIn(event, 25, 34)) {
    endFor(parser, loop, beforeCurrentLine(parser));
  } else {
    reportUnknownEvent(parser);
  }
}

}  // namespace pelc
