// Blank normalisation of statement lines that are written again after a rewrite.
#include "codegen/normalize_blanks.h"

#include <array>
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

/// Bytes that normalisation always leaves where they are: neither blanks nor quotes.
constexpr std::array<bool, 256> kKeptAsIs = [] {
  std::array<bool, 256> table{};
  for (int c = 0; c < 256; ++c) table[static_cast<std::size_t>(c)] = !isBlank(c) && !isQuote(c);
  return table;
}();

/// Where the text from `read` on first needs a change. Most re-emitted lines are already
/// normal (single spaces between words), so they are only read, not written again; a
/// quoted section is copied onto itself.
const char* findFirstChange(char* const begin, const char* read, const char* end) {
  while (read != end) {
    const auto c = static_cast<unsigned char>(*read);
    if (kKeptAsIs[c]) {
      ++read;
    } else if (c == ' ' && read + 1 != end && !isBlank(read[1])) {
      ++read;
    } else if (isQuote(c)) {
      char* write = begin + (read - begin);
      ++read;
      ++write;
      copyQuoted(read, end, write, static_cast<char>(c));
    } else {
      break;
    }
  }
  return read;
}

}  // namespace

void normalizeBlanks(std::string& text) {
  char* const begin = text.data();
  const char* const end = begin + text.size();
  const char* read = begin;
  while (read != end && isBlank(*read)) ++read;
  read = findFirstChange(begin, read, end);
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
