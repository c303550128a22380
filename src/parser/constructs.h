// The handlers of the structured statements, reached through the tables.
#pragma once

#include <string_view>

#include "ir/node_records.h"
#include "parser/grammar_table.h"

namespace pelc {

class Parser;

// Head handlers of block statements: rest of the line, its rewrite mark and
// the plain-condition flag (set only by ELSE IF).
void arrayStatement(Parser& parser, std::string_view rest, RewriteMark rewriteMark, bool plain);
void doHead(Parser& parser, std::string_view rest, RewriteMark rewriteMark, bool plain);
void forHead(Parser& parser, std::string_view rest, RewriteMark rewriteMark, bool plain);
void ifHead(Parser& parser, std::string_view rest, RewriteMark rewriteMark, bool plain);
void switchHead(Parser& parser, std::string_view rest, RewriteMark rewriteMark, bool plain);
void whileHead(Parser& parser, std::string_view rest, RewriteMark rewriteMark, bool plain);

// Transfer statements: return the rewrite mark to use from then on.
RewriteMark chainStatement(Parser& parser, std::string_view rest, RewriteMark rewriteMark);
RewriteMark exitStatement(Parser& parser, std::string_view rest, RewriteMark rewriteMark);

// Event handlers of the open blocks; WHILE and FOR share one.
void doEvent(Parser& parser, BlockAction action, int& token, std::string_view keyword,
             std::string_view rest);
void ifEvent(Parser& parser, BlockAction action, int& token, std::string_view keyword,
             std::string_view rest);
void loopEvent(Parser& parser, BlockAction action, int& token, std::string_view keyword,
               std::string_view rest);
void switchEvent(Parser& parser, BlockAction action, int& token, std::string_view keyword,
                 std::string_view rest);

}  // namespace pelc

namespace pelc {

struct SwitchRecord;

/// Appends the jump to a SWITCH's break label, allocating the label first.
void switchBreak(Parser& parser, SwitchRecord& owner);

}  // namespace pelc
