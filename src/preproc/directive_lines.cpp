// #DEFINE and #UNDEF lines of the source: the table change and its node.
#include "preproc/define_directive.h"
#include "preproc/directives.h"

namespace pelc {

void defineLine(DirectiveLine& at, std::string_view name, std::string_view rest) {
  at.appendDefinitionNode(
      defineDirective(at.file().macros, at.diag(), at.line().startLine, name, rest, true));
}

void undefLine(DirectiveLine& at, std::string_view name, std::string_view rest) {
  at.appendDefinitionNode(
      undefDirective(at.file().macros, at.diag(), at.line().startLine, name, rest, true));
}

}  // namespace pelc
