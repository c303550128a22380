// The #DEFINE and #UNDEF directive handlers and the preparation of -D definitions.
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "diag/diagnostics.h"
#include "preproc/macro_table.h"

namespace pelc {

/// The node that the caller appends for the directive line; always NoNode for a definition
/// that does not come from the source (a -D text or a replayed directive).
enum class DirectiveEffect { NoNode, SilentNode, DefineNode, UndefNode };

/// Enters or replaces the macro named by the first word of `rest`, whose value is the rest
/// of the text with blanks trimmed at both ends. `directiveName` is the insert of the
/// messages, which their printed form does not show; `line` is where they are reported.
/// Only a definition from source warns about a changed value. Throws AbortFile when the
/// table would overflow.
DirectiveEffect defineDirective(MacroTable& table, Diagnostics& diag, int line,
                                std::string_view directiveName, std::string_view rest,
                                bool fromSource);

/// Removes the first macro in table order whose name equals the first word of `rest`
/// ignoring case; an unknown name is silently ignored.
DirectiveEffect undefDirective(MacroTable& table, Diagnostics& diag, int line,
                               std::string_view directiveName, std::string_view rest,
                               bool fromSource);

/// Turns a -D text into the argument of defineDirective: an `=` directly after the longest
/// macro-name prefix becomes a blank, so "NAME=text" defines NAME as "text".
void prepareCommandLineDefinition(std::string& text);

/// Enters prepared -D texts, in order, as definitions that append no nodes.
void enterCommandLineDefinitions(MacroTable& table, Diagnostics& diag, int line,
                                 std::span<const std::string> texts);

}  // namespace pelc
