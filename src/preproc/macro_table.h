// The macro table: named texts kept sorted for binary search, the rule for macro names and
// the word scanner that directives use to take their argument.
#pragma once

#include <bitset>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "source/char_class.h"

namespace pelc {

struct MacroEntry {
  std::string name;
  std::string value;
};

/// -1, 0 or 1: by length first, then byte by byte as unsigned values, so upper-case letters
/// sort before lower-case ones and "B" before "AA".
int compareMacroName(std::string_view name, const MacroEntry& entry);

/// True when a macro name may start at text[pos]: a letter, `$` and a letter, or `@` and a
/// letter or digit.
inline bool opensMacroName(std::string_view text, std::size_t pos) {
  const char c = text[pos];
  if (isLetter(c)) return true;
  if (pos + 1 >= text.size()) return false;
  const char next = text[pos + 1];
  return (c == '$' && isLetter(next)) || (c == '@' && (isLetter(next) || isDigit(next)));
}

/// True for the characters that continue a macro name: letters, digits and underscore.
inline bool continuesMacroName(char c) { return isLetter(c) || isDigit(c) || c == '_'; }

/// Walks `text` as far as the macro name rule allows and returns the index at which it
/// stopped; `text` is a macro name iff the result equals text.size(). The empty text is never
/// a name, though the index alone cannot show it: callers only ask about words.
std::size_t isMacroName(std::string_view text);

/// Skips leading blanks and copies the following non-blank characters into `out`, at most
/// size - 1 of them. Returns no value when only blanks remain (there is no word), else the
/// index in `text` at which copying stopped.
std::optional<std::size_t> scanWord(std::string_view text, std::string& out,
                                    std::size_t size = 128);

class MacroTable {
 public:
  static constexpr std::size_t MAX_MACROS = 2500;

  /// Binary search. Returns 0 and the entry's index when `name` is present. Otherwise
  /// returns the sign of the comparison of `name` with the entry where the search ended, and
  /// that entry's index: the name belongs at the index (negative) or after it (positive).
  /// An empty table gives -1 and index 0.
  int findMacro(std::string_view name, std::size_t& index) const;

  /// The first entry in table order whose name equals `name` ignoring ASCII letter case.
  std::optional<std::size_t> findIgnoringCase(std::string_view name) const;

  const MacroEntry& at(std::size_t index) const { return entries_[index]; }
  std::size_t size() const { return entries_.size(); }

  /// Places an entry at `index`, which must keep the table sorted (as findMacro gives it).
  /// The caller enforces MAX_MACROS, because exceeding it is a reported error.
  void insertAt(std::size_t index, MacroEntry entry);
  void replaceValue(std::size_t index, std::string value);
  void eraseAt(std::size_t index);
  void clearMacros() {
    entries_.clear();
    lengths_.reset();
  }

  /// False when no entry can have this name: none has its length. Most words
  /// of a line are no macro, and this spares them the search.
  bool mayContain(std::string_view name) const {
    return lengths_.test(name.size() < kLengthSlots ? name.size() : kLengthSlots - 1);
  }

 private:
  static constexpr std::size_t kLengthSlots = 64;  // the last slot stands for longer names
  void noteLength(std::size_t length) {
    lengths_.set(length < kLengthSlots ? length : kLengthSlots - 1);
  }

  std::vector<MacroEntry> entries_;
  std::bitset<kLengthSlots> lengths_;
};

}  // namespace pelc
