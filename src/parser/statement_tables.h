// The keyword tables of the statement loop: directives, statement keywords,
// block statements and transfer statements.
#pragma once

#include <array>
#include <string_view>

#include "parser/grammar_table.h"

namespace pelc {

class Parser;

using DirectiveHandler = void (*)(Parser& parser, std::string_view name, std::string_view rest);
using BlockHandler = void (*)(Parser& parser, std::string_view rest, int rewriteMark, bool plain);
using TransferHandler = int (*)(Parser& parser, std::string_view rest, int rewriteMark);

struct DirectiveRow {
  std::string_view name;
  bool runsWhileSkipping;
  DirectiveHandler handler;  // none for REM
};

struct StatementKeywordRow {
  std::string_view name;
  int token;
  bool takesNoOperand;
};

struct BlockStatementRow {
  std::string_view name;
  BlockHandler handler;
};

struct TransferStatementRow {
  std::string_view name;
  TransferHandler handler;
};

extern const std::array<DirectiveRow, 8> kDirectiveTable;
extern const std::array<StatementKeywordRow, 9> kStatementKeywordTable;
extern const std::array<BlockStatementRow, 6> kBlockStatementTable;
extern const std::array<TransferStatementRow, 3> kTransferStatementTable;

}  // namespace pelc
