// The macro table: named texts kept sorted for binary search and indexed by a hash of their
// names, the rule for macro names and the word scanner that directives use to take their
// argument.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/char_class.h"

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
constexpr bool continuesMacroName(char c) { return isLetter(c) || isDigit(c) || c == '_'; }

/// Walks `text` as far as the macro name rule allows and returns the index at which it
/// stopped; `text` is a macro name iff the result equals text.size(). The empty text is never
/// a name, though the index alone cannot show it: callers only ask about words.
std::size_t isMacroName(std::string_view text);

/// Skips leading blanks and copies the following non-blank characters into `out`, at most
/// size - 1 of them. Returns no value when only blanks remain (there is no word), else the
/// index in `text` at which copying stopped.
std::optional<std::size_t> scanWord(std::string_view text, std::string& out,
                                    std::size_t size = 128);

/// The hash of a macro name that the table's index uses: FNV-1a over the bytes with the
/// ASCII case bit cleared, so that names equal ignoring case share a hash, then mixed so that
/// the low bits, which pick the slot, depend on every byte.
constexpr std::uint32_t macroNameHash(std::string_view name) {
  std::uint32_t hash = 2166136261u;
  for (const char c : name) {
    hash ^= static_cast<unsigned char>(c) & 0xdfu;
    hash *= 16777619u;
  }
  hash ^= hash >> 16;
  hash *= 0x7feb352du;
  return hash ^ (hash >> 15);
}

/// Open addressing with linear probing from a macro name to its entry's index in the sorted
/// table. The indices are kept exact as entries move on insertion and erasure, so a lookup
/// gives what findMacro gives. At most half of the slots are in use.
class MacroNameIndex {
 public:
  static constexpr std::int32_t EMPTY = -1;

  /// The index of the entry named `name` in `entries`, or EMPTY.
  std::int32_t find(std::string_view name, const std::vector<MacroEntry>& entries) const;
  /// The least index of an entry whose name equals `name` ignoring ASCII letter case, or EMPTY.
  std::int32_t findFirstIgnoringCase(std::string_view name,
                                     const std::vector<MacroEntry>& entries) const;
  /// Records that entries[index] was inserted: later entries have moved up by one.
  void noteInserted(std::size_t index, const std::vector<MacroEntry>& entries);
  /// Records that the entry at `index`, named `name`, is being erased: later entries move
  /// down by one.
  void noteErased(std::size_t index, std::string_view name);
  void clear();

 private:
  std::size_t mask() const { return indices_.size() - 1; }
  void place(std::uint32_t hash, std::int32_t index);
  void removeSlot(std::size_t slot);
  void rebuild(std::size_t slotCount, const std::vector<MacroEntry>& entries);

  // Kept apart, and 16 bits wide (the table holds at most 2500 entries), so that moving the
  // indices after an insertion or erasure is one short vectorised loop.
  std::vector<std::int16_t> indices_;
  std::vector<std::uint32_t> hashes_;
};

class MacroTable {
 public:
  static constexpr std::size_t MAX_MACROS = 2500;

  /// Binary search. Returns 0 and the entry's index when `name` is present. Otherwise
  /// returns the sign of the comparison of `name` with the entry where the search ended, and
  /// that entry's index: the name belongs at the index (negative) or after it (positive).
  /// An empty table gives -1 and index 0.
  int findMacro(std::string_view name, std::size_t& index) const;

  /// The index of the entry named exactly `name`, or nothing: the answer of findMacro when it
  /// finds the name, taken from the hash index. The expander asks this for every word.
  std::optional<std::size_t> lookUp(std::string_view name) const {
    if (name.empty() || !mayHold(name)) return std::nullopt;
    const std::int32_t index = index_.find(name, entries_);
    if (index == MacroNameIndex::EMPTY) return std::nullopt;
    return static_cast<std::size_t>(index);
  }

  /// A set of byte values, bit b % 64 of word b / 64 standing for the byte b.
  using ByteSet = std::array<std::uint64_t, 4>;
  /// The bytes that begin at least one name.
  const ByteSet& firstBytes() const { return firstByteSet_; }
  /// Changes whenever firstBytes() does, so that a scan can tell cheaply whether what it
  /// derived from the set is still current.
  std::uint64_t firstBytesVersion() const { return firstBytesVersion_; }

  /// The first entry in table order whose name equals `name` ignoring ASCII letter case.
  std::optional<std::size_t> findIgnoringCase(std::string_view name) const;

  const MacroEntry& at(std::size_t index) const { return entries_[index]; }
  std::size_t size() const { return entries_.size(); }

  /// Places an entry, whose name is not empty, at `index`, which must keep the table sorted
  /// (as findMacro gives it). The caller enforces MAX_MACROS, because exceeding it is a
  /// reported error.
  void insertAt(std::size_t index, MacroEntry entry);
  void replaceValue(std::size_t index, std::string value);
  void eraseAt(std::size_t index);
  void clearMacros();

 private:
  static constexpr std::size_t SHAPE_LENGTHS = 16;

  /// The counter of nameShapes_ that a name, which is not empty, belongs to: its first byte
  /// and its length, the lengths from SHAPE_LENGTHS - 1 on sharing one.
  static std::size_t shapeSlot(std::string_view name) {
    const std::size_t firstByte = static_cast<unsigned char>(name[0]);
    return firstByte * SHAPE_LENGTHS + std::min<std::size_t>(name.size(), SHAPE_LENGTHS - 1);
  }
  /// False when no name has the first byte and the length of `name`, which is not empty.
  /// Most words of a line are no macro, and this spares them the hash.
  bool mayHold(std::string_view name) const { return nameShapes_[shapeSlot(name)] != 0; }
  void countName(std::string_view name, int change);

  std::vector<MacroEntry> entries_;
  MacroNameIndex index_;
  /// How many names begin with each byte, and how many have each shape (shapeSlot): in
  /// practice the macros of a program begin with a few letters, each with a few lengths.
  std::array<std::uint16_t, 256> firstByteCounts_{};
  std::array<std::uint16_t, 256 * SHAPE_LENGTHS> nameShapes_{};
  ByteSet firstByteSet_{};
  std::uint64_t firstBytesVersion_ = 0;
};

}  // namespace pelc
