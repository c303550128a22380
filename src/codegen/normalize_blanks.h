// Blank normalisation of statement lines that are written again after a rewrite.
#pragma once

#include <string>

namespace pelc {

/// Keeps the leading blanks (the indentation), turns every later run of blanks outside quotes
/// into one space, keeps quoted sections (`"`, `'`, backquote, with backslash escapes) as they
/// are, and removes the trailing blanks. Blanks are space, tab, LF, VT, FF and CR; every other
/// byte, NUL included, is an ordinary character.
void normalizeBlanks(std::string& text);

}  // namespace pelc
