// CHAIN and DOSUB: statements that also queue the file they name.
#include "driver/compile_queue.h"
#include "parser/constructs.h"
#include "parser/parser.h"

namespace pelc {

int chainStatement(Parser& parser, std::string_view rest, int rewriteMark) {
  FileContext& file = parser.file();
  file.run.queue.registerChainTarget(rest, file.run.settings, file.queuedFilePath, parser.diag(),
                                     parser.line().startLine);
  return rewriteMark;
}

}  // namespace pelc
