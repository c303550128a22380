// The macro table, the macro name rule and the word scanner.
#include "preproc/macro_table.h"

#include <utility>

#include "source/char_class.h"

namespace pelc {

namespace {

char foldCase(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

bool equalIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (foldCase(a[i]) != foldCase(b[i])) return false;
  }
  return true;
}

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
  for (std::size_t i = 0; i < entries_.size(); ++i) {
    if (equalIgnoringCase(name, entries_[i].name)) return i;
  }
  return std::nullopt;
}

void MacroTable::insertAt(std::size_t index, MacroEntry entry) {
  noteLength(entry.name.size());
  entries_.insert(entries_.begin() + static_cast<std::ptrdiff_t>(index), std::move(entry));
}

void MacroTable::replaceValue(std::size_t index, std::string value) {
  entries_[index].value = std::move(value);
}

void MacroTable::eraseAt(std::size_t index) {
  entries_.erase(entries_.begin() + static_cast<std::ptrdiff_t>(index));
  lengths_.reset();
  for (const MacroEntry& entry : entries_) noteLength(entry.name.size());
}

}  // namespace pelc
