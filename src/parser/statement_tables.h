// The keyword tables of the statement loop: directives, statement keywords,
// block statements and transfer statements.
#pragma once

#include <array>
#include <string_view>

#include "ir/node_records.h"
#include "parser/grammar_table.h"
#include "preproc/directives.h"

namespace pelc {

class Parser;

using DirectiveHandler = void (*)(DirectiveLine& at, std::string_view name, std::string_view rest);
using BlockHandler = void (*)(Parser& parser, std::string_view rest, RewriteMark rewriteMark,
                              bool plain);
using TransferHandler = RewriteMark (*)(Parser& parser, std::string_view rest,
                                        RewriteMark rewriteMark);

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

/// The rows that one keyword names in the four tables; null where it names none.
struct KeywordRows {
  const DirectiveRow* directive = nullptr;
  const StatementKeywordRow* statement = nullptr;
  const BlockStatementRow* block = nullptr;
  const TransferStatementRow* transfer = nullptr;
};

/// Looks `keyword` (letters in any case) up in all four tables at once; the same
/// rows as a search of each table. Most lines start with no keyword at all, and
/// they are turned away by their first letter.
const KeywordRows& lookUpKeyword(std::string_view keyword);

}  // namespace pelc
