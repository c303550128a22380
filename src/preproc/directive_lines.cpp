// #DEFINE and #UNDEF lines of the source: the table change and its node.
#include "parser/constructs.h"
#include "parser/parser.h"
#include "preproc/define_directive.h"

namespace pelc {
namespace {

void appendDirectiveNode(Parser& parser, DirectiveEffect effect) {
  switch (effect) {
    case DirectiveEffect::NoNode: return;
    case DirectiveEffect::SilentNode: parser.appendSilentNode(); return;
    case DirectiveEffect::DefineNode: parser.appendLineNode<DirectiveRecord>(NodeKind::Define); return;
    case DirectiveEffect::UndefNode: parser.appendLineNode<DirectiveRecord>(NodeKind::Undef); return;
  }
}

}  // namespace

void defineLine(Parser& parser, std::string_view name, std::string_view rest) {
  appendDirectiveNode(parser, defineDirective(parser.file().macros, parser.diag(),
                                              parser.line().startLine, name, rest, true));
}

void undefLine(Parser& parser, std::string_view name, std::string_view rest) {
  appendDirectiveNode(parser, undefDirective(parser.file().macros, parser.diag(),
                                             parser.line().startLine, name, rest, true));
}

}  // namespace pelc
