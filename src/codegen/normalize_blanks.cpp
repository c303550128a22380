// Blank normalisation of statement lines that are written again after a rewrite.
#include "codegen/normalize_blanks.h"

#include <cstddef>

#include "source/char_class.h"

namespace pelc {
namespace {

// The cursors are locals, not members, so that the compiler can keep them in
// registers: a store through a char pointer might otherwise change them.

/// Copies a quoted section on from its opening quote; returns after its closing
/// quote or at the end. Backslash escapes are copied as pairs.
void copyQuoted(const char*& read, const char* end, char*& write, char quote) {
  while (read != end) {
    const char c = *read++;
    *write++ = c;
    if (c == '\\') {
      if (read != end) *write++ = *read++;
    } else if (c == quote) {
      return;
    }
  }
}

}  // namespace

void normalizeBlanks(std::string& text) {
  char* const begin = text.data();
  const char* const end = begin + text.size();
  const char* read = begin;
  while (read != end && isBlank(*read)) ++read;
  char* write = begin + (read - begin);
  bool inBlankRun = false;
  while (read != end) {
    const char c = *read++;
    if (isBlank(c)) {
      if (!inBlankRun) *write++ = ' ';
      inBlankRun = true;
      continue;
    }
    inBlankRun = false;
    *write++ = c;
    if (isQuote(c)) copyQuoted(read, end, write, c);
  }
  while (write != begin && isBlank(write[-1])) --write;
  text.resize(static_cast<std::size_t>(write - begin));
}

}  // namespace pelc
