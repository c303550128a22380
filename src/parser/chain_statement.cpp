// CHAIN and DOSUB: statements that also hand over the file they name.
#include "parser/constructs.h"
#include "parser/parser.h"

namespace pelc {

RewriteMark chainStatement(Parser& parser, std::string_view rest, RewriteMark rewriteMark) {
  parser.file().chainTargets.addChainTarget(rest, parser.line().startLine);
  return rewriteMark;
}

}  // namespace pelc
