// Negation of IF conditions, for the test that jumps around a block.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "diag/diagnostics.h"

namespace pelc {

/// Negates the parenthesised condition at the start of `text` (blanks before it allowed,
/// nothing but blanks after it). Every comparison and logical operator is replaced by its
/// inverse where it stands when each parenthesised group holds one directly; otherwise the
/// result is `(` + the compacted condition + `==0)`. Blanks outside quotes are dropped.
///
/// `room` is what remains of the 2048-byte line buffer after the text and its terminator (so
/// never more than 2047): the rewritten condition may use room - 1 characters. Too little room reports Msg::TextTooLong,
/// a malformed condition a syntax error; both return nothing.
std::optional<std::string> negateCondition(std::string_view text, std::size_t room,
                                           Diagnostics& diag, int line);

}  // namespace pelc
