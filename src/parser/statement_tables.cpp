// The keyword tables, sorted by case-insensitive keyword order.
#include "parser/statement_tables.h"

#include "parser/constructs.h"

namespace pelc {

constexpr std::array<DirectiveRow, 8> kDirectiveTable = {{
    {"#DEFINE", false, defineLine},
    {"#ELSE", true, elseDirective},
    {"#ENDIF", true, endifDirective},
    {"#IFDEF", true, ifdefDirective},
    {"#IFNDEF", true, ifdefDirective},
    {"#INCLUDE", false, includeDirective},
    {"#UNDEF", false, undefLine},
    {"REM", false, nullptr},
}};

constexpr std::array<StatementKeywordRow, 9> kStatementKeywordTable = {{
    {"BREAK", kTokenBreak, true},
    {"CASE", kTokenCase, false},
    {"CONTINUE", kTokenContinue, true},
    {"DEFAULT", kTokenDefault, true},
    {"ELSE", kTokenElse, false},
    {"EXITLOOP", kTokenExitLoop, true},
    {"WHILE", kTokenWhile, false},
    {"{", kTokenOpenBrace, false},
    {"}", kTokenCloseBrace, false},
}};

constexpr std::array<BlockStatementRow, 6> kBlockStatementTable = {{
    {"ARRAY", arrayStatement},
    {"DO", doHead},
    {"FOR", forHead},
    {"IF", ifHead},
    {"SWITCH", switchHead},
    {"WHILE", whileHead},
}};

constexpr std::array<TransferStatementRow, 3> kTransferStatementTable = {{
    {"CHAIN", chainStatement},
    {"DOSUB", chainStatement},
    {"EXIT", exitStatement},
}};

}  // namespace pelc
