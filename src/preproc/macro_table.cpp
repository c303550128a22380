// The macro table, the macro name rule and the word scanner.
#include "preproc/macro_table.h"

#include <algorithm>
#include <cstdint>
#include <utility>

#include "base/char_class.h"
#include "base/text.h"

namespace pelc {

namespace {

/// Equality of short names without a call to memcmp.
bool sameBytes(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (a[i] != b[i]) return false;
  }
  return true;
}

static_assert(MacroTable::MAX_MACROS <= INT16_MAX, "entry indices are stored in 16 bits");

}  // namespace

int compareMacroName(std::string_view name, const MacroEntry& entry) {
  if (name.size() != entry.name.size()) return name.size() < entry.name.size() ? -1 : 1;
  for (std::size_t i = 0; i < name.size(); ++i) {
    const auto a = static_cast<unsigned char>(name[i]);
    const auto b = static_cast<unsigned char>(entry.name[i]);
    if (a != b) return a < b ? -1 : 1;
  }
  return 0;
}

std::size_t isMacroName(std::string_view text) {
  if (text.empty() || !opensMacroName(text, 0)) return 0;
  std::size_t pos = isLetter(text[0]) ? 1 : 2;
  while (pos < text.size() && continuesMacroName(text[pos])) ++pos;
  return pos;
}

std::optional<std::size_t> scanWord(std::string_view text, std::string& out, std::size_t size) {
  std::size_t start = 0;
  while (start < text.size() && isBlank(text[start])) ++start;
  if (start == text.size()) return std::nullopt;
  std::size_t stop = start;
  while (stop < text.size() && !isBlank(text[stop]) && stop - start + 1 < size) ++stop;
  out.assign(text.substr(start, stop - start));
  return stop;
}

int MacroTable::findMacro(std::string_view name, std::size_t& index) const {
  if (entries_.empty()) {
    index = 0;
    return -1;
  }
  std::size_t lo = 0;
  std::size_t hi = entries_.size() - 1;
  // The last comparison is kept so that the entry where the search ends is not compared twice.
  std::size_t compared = entries_.size();
  int result = 0;
  while (lo < hi) {
    const std::size_t mid = lo + (hi - lo + 1) / 2;
    compared = mid;
    result = compareMacroName(name, entries_[mid]);
    if (result == 0) {
      index = mid;
      return 0;
    }
    if (result < 0) {
      hi = (hi == mid) ? lo : mid;
    } else {
      lo = mid;
    }
  }
  if (compared != lo) result = compareMacroName(name, entries_[lo]);
  index = lo;
  return result;
}

std::optional<std::size_t> MacroTable::findIgnoringCase(std::string_view name) const {
  const std::int32_t index = index_.findFirstIgnoringCase(name, entries_);
  if (index == MacroNameIndex::EMPTY) return std::nullopt;
  return static_cast<std::size_t>(index);
}

void MacroTable::insertAt(std::size_t index, MacroEntry entry) {
  countName(entry.name, +1);
  entries_.insert(entries_.begin() + static_cast<std::ptrdiff_t>(index), std::move(entry));
  index_.noteInserted(index, entries_);
}

void MacroTable::replaceValue(std::size_t index, std::string value) {
  entries_[index].value = std::move(value);
}

void MacroTable::eraseAt(std::size_t index) {
  const std::string& name = entries_[index].name;
  countName(name, -1);
  index_.noteErased(index, name);
  entries_.erase(entries_.begin() + static_cast<std::ptrdiff_t>(index));
}

void MacroTable::clearMacros() {
  entries_.clear();
  index_.clear();
  firstByteCounts_.fill(0);
  nameShapes_.fill(0);
  firstByteSet_.fill(0);
  ++firstBytesVersion_;
}

/// Counts a name in (`change` 1) or out (-1) of the first byte and shape counters.
void MacroTable::countName(std::string_view name, int change) {
  const auto firstByte = static_cast<unsigned char>(name[0]);
  std::uint16_t& count = firstByteCounts_[firstByte];
  if (count == 0 || count + change == 0) {
    firstByteSet_[firstByte / 64] ^= std::uint64_t{1} << (firstByte % 64);
    ++firstBytesVersion_;
  }
  count = static_cast<std::uint16_t>(count + change);
  std::uint16_t& shapes = nameShapes_[shapeSlot(name)];
  shapes = static_cast<std::uint16_t>(shapes + change);
}

std::int32_t MacroNameIndex::find(std::string_view name,
                                  const std::vector<MacroEntry>& entries) const {
  if (indices_.empty()) return EMPTY;
  const std::uint32_t hash = macroNameHash(name);
  for (std::size_t slot = hash & mask(); indices_[slot] != EMPTY; slot = (slot + 1) & mask()) {
    const std::int32_t index = indices_[slot];
    if (hashes_[slot] == hash && sameBytes(entries[static_cast<std::size_t>(index)].name, name)) {
      return index;
    }
  }
  return EMPTY;
}

std::int32_t MacroNameIndex::findFirstIgnoringCase(std::string_view name,
                                                   const std::vector<MacroEntry>& entries) const {
  if (indices_.empty()) return EMPTY;
  const std::uint32_t hash = macroNameHash(name);
  // Names equal ignoring case share the hash, so all of them lie in the run of slots that
  // starts at its home; the run is in no particular order.
  std::int32_t first = EMPTY;
  for (std::size_t slot = hash & mask(); indices_[slot] != EMPTY; slot = (slot + 1) & mask()) {
    const std::int32_t index = indices_[slot];
    if (hashes_[slot] == hash && (first == EMPTY || index < first) &&
        equalIgnoringCase(entries[static_cast<std::size_t>(index)].name, name)) {
      first = index;
    }
  }
  return first;
}

void MacroNameIndex::noteInserted(std::size_t index, const std::vector<MacroEntry>& entries) {
  if (2 * entries.size() > indices_.size()) {
    rebuild(std::max<std::size_t>(16, 2 * indices_.size()), entries);
    return;
  }
  const auto inserted = static_cast<std::int16_t>(index);
  for (std::int16_t& i : indices_) i = static_cast<std::int16_t>(i + (i >= inserted));
  place(macroNameHash(entries[index].name), inserted);
}

void MacroNameIndex::noteErased(std::size_t index, std::string_view name) {
  const std::uint32_t hash = macroNameHash(name);
  const auto erased = static_cast<std::int16_t>(index);
  std::size_t slot = hash & mask();
  while (indices_[slot] != erased) slot = (slot + 1) & mask();
  removeSlot(slot);
  for (std::int16_t& i : indices_) i = static_cast<std::int16_t>(i - (i > erased));
}

void MacroNameIndex::clear() { std::fill(indices_.begin(), indices_.end(), EMPTY); }

void MacroNameIndex::place(std::uint32_t hash, std::int32_t index) {
  std::size_t slot = hash & mask();
  while (indices_[slot] != EMPTY) slot = (slot + 1) & mask();
  indices_[slot] = static_cast<std::int16_t>(index);
  hashes_[slot] = hash;
}

/// Empties `slot` and moves later members of its probe run back, so that no lookup stops at
/// the gap before it reaches its name (no tombstones needed).
void MacroNameIndex::removeSlot(std::size_t slot) {
  std::size_t gap = slot;
  for (std::size_t next = (gap + 1) & mask(); indices_[next] != EMPTY; next = (next + 1) & mask()) {
    const std::size_t home = hashes_[next] & mask();
    // The member may fill the gap when its home does not lie cyclically in (gap, next].
    if (((next - home) & mask()) >= ((next - gap) & mask())) {
      indices_[gap] = indices_[next];
      hashes_[gap] = hashes_[next];
      gap = next;
    }
  }
  indices_[gap] = EMPTY;
}

void MacroNameIndex::rebuild(std::size_t slotCount, const std::vector<MacroEntry>& entries) {
  indices_.assign(slotCount, EMPTY);
  hashes_.assign(slotCount, 0);
  for (std::size_t i = 0; i < entries.size(); ++i) {
    place(macroNameHash(entries[i].name), static_cast<std::int32_t>(i));
  }
}

}  // namespace pelc
