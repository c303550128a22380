// Blank normalisation of statement lines that are written again after a rewrite.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace pelc {

/// Keeps the leading blanks (the indentation), turns every later run of blanks outside quotes
/// into one space, keeps quoted sections (`"`, `'`, backquote, with backslash escapes) as they
/// are, and removes the trailing blanks. Blanks are space, tab, LF, VT, FF and CR; every other
/// byte, NUL included, is an ordinary character.
void normalizeBlanks(std::string& text);

/// The same normalisation of `text` written to `out`, which has room for text.size() bytes
/// (the result is never longer) and may be text.data() itself; returns the result's length.
std::size_t normalizeBlanksInto(std::string_view text, char* out);

}  // namespace pelc
