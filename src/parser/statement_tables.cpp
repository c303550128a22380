// The keyword tables, sorted by case-insensitive keyword order.
#include "parser/statement_tables.h"

#include <algorithm>
#include <cstdint>

#include "base/char_class.h"
#include "parser/constructs.h"

namespace pelc {

constexpr std::array<DirectiveRow, 8> kDirectiveTable = {{
    {"#DEFINE", false, defineLine},
    {"#ELSE", true, elseDirective},
    {"#ENDIF", true, endifDirective},
    {"#IFDEF", true, ifdefDirective},
    {"#IFNDEF", true, ifdefDirective},
    {"#INCLUDE", false, includeDirective},
    {"#UNDEF", false, undefLine},
    {"REM", false, nullptr},
}};

constexpr std::array<StatementKeywordRow, 9> kStatementKeywordTable = {{
    {"BREAK", kTokenBreak, true},
    {"CASE", kTokenCase, false},
    {"CONTINUE", kTokenContinue, true},
    {"DEFAULT", kTokenDefault, true},
    {"ELSE", kTokenElse, false},
    {"EXITLOOP", kTokenExitLoop, true},
    {"WHILE", kTokenWhile, false},
    {"{", kTokenOpenBrace, false},
    {"}", kTokenCloseBrace, false},
}};

constexpr std::array<BlockStatementRow, 6> kBlockStatementTable = {{
    {"ARRAY", arrayStatement},
    {"DO", doHead},
    {"FOR", forHead},
    {"IF", ifHead},
    {"SWITCH", switchHead},
    {"WHILE", whileHead},
}};

constexpr std::array<TransferStatementRow, 3> kTransferStatementTable = {{
    {"CHAIN", chainStatement},
    {"DOSUB", chainStatement},
    {"EXIT", exitStatement},
}};

// ---- the keyword index ---------------------------------------------------
// Built at compile time from the four tables above, which stay the only place
// where keywords are spelled.

namespace {

struct IndexEntry {
  std::string_view name;
  KeywordRows rows;
};

// Every name of every table, in table order, with the rows it selects.
constexpr std::size_t kTableRows = kDirectiveTable.size() + kStatementKeywordTable.size() +
                                   kBlockStatementTable.size() + kTransferStatementTable.size();

template <class Row, std::size_t N, class Select>
constexpr void addNames(std::array<IndexEntry, kTableRows>& entries, std::size_t& count,
                        const std::array<Row, N>& table, Select select) {
  for (const Row& row : table) {
    std::size_t at = 0;
    while (at < count && entries[at].name != row.name) ++at;
    if (at == count) entries[count++].name = row.name;
    select(entries[at].rows) = &row;
  }
}

struct MergedNames {
  std::array<IndexEntry, kTableRows> entries{};
  std::size_t count = 0;
};

constexpr MergedNames mergeNames() {
  MergedNames merged;
  addNames(
      merged.entries, merged.count, kDirectiveTable,
      [](KeywordRows & rows) -> auto& { return rows.directive; });
  addNames(
      merged.entries, merged.count, kStatementKeywordTable,
      [](KeywordRows & rows) -> auto& { return rows.statement; });
  addNames(
      merged.entries, merged.count, kBlockStatementTable,
      [](KeywordRows & rows) -> auto& { return rows.block; });
  addNames(
      merged.entries, merged.count, kTransferStatementTable,
      [](KeywordRows & rows) -> auto& { return rows.transfer; });
  return merged;
}

constexpr std::size_t kDistinctNames = mergeNames().count;

constexpr std::size_t kLongestName = [] {
  std::size_t longest = 0;
  const MergedNames merged = mergeNames();
  for (std::size_t i = 0; i < merged.count; ++i) {
    longest = std::max(longest, merged.entries[i].name.size());
  }
  return longest;
}();

// A name's bucket is chosen by its folded first byte and its length together: most lines
// start with a word that is no keyword, and an empty bucket turns them away at once.
constexpr std::size_t bucketOf(char first, std::size_t length) {
  return upperCase(first) * (kLongestName + 1) + length;
}

// The distinct names ordered by bucket, so that each bucket is a contiguous range.
constexpr std::array<IndexEntry, kDistinctNames> kIndex = [] {
  const MergedNames merged = mergeNames();
  std::array<IndexEntry, kDistinctNames> index{};
  std::copy_n(merged.entries.begin(), kDistinctNames, index.begin());
  std::sort(index.begin(), index.end(), [](const IndexEntry& a, const IndexEntry& b) {
    const std::size_t left = bucketOf(a.name[0], a.name.size());
    const std::size_t right = bucketOf(b.name[0], b.name.size());
    return left != right ? left < right : a.name < b.name;
  });
  return index;
}();

/// The entries of one bucket: kIndex[begin] up to kIndex[end].
struct BucketRange {
  std::uint8_t begin = 0;
  std::uint8_t end = 0;
};

// The range of every unfolded first byte and length, so that the lookup need not fold the
// first byte: a lower-case letter has the range of its upper-case one. Built in one pass
// over the index, which holds each bucket's names together.
constexpr std::array<std::array<BucketRange, kLongestName + 1>, 256> kBucketRanges = [] {
  std::array<std::array<BucketRange, kLongestName + 1>, 256> ranges{};
  for (std::size_t at = 0; at < kIndex.size(); ++at) {
    const std::string_view name = kIndex[at].name;
    BucketRange& range = ranges[upperCase(name[0])][name.size()];
    if (range.begin == range.end) range.begin = static_cast<std::uint8_t>(at);
    range.end = static_cast<std::uint8_t>(at + 1);
  }
  for (std::size_t c = 'a'; c <= 'z'; ++c) ranges[c] = ranges[c - 'a' + 'A'];
  return ranges;
}();

// The lookup folds only the keyword, so the tables must spell their names as
// upperCase leaves them.
constexpr bool namesAreFolded() {
  for (const IndexEntry& entry : kIndex) {
    if (entry.name.empty()) return false;
    for (const char c : entry.name) {
      if (upperCase(c) != static_cast<unsigned char>(c)) return false;
    }
  }
  return true;
}
static_assert(namesAreFolded(), "keyword tables must spell their names in upper case");
static_assert(kIndex.size() < 256, "bucket ranges are bytes");

bool equalsFolded(std::string_view keyword, std::string_view name) {
  for (std::size_t i = 1; i < name.size(); ++i) {
    if (upperCase(keyword[i]) != static_cast<unsigned char>(name[i])) return false;
  }
  return true;
}

constexpr KeywordRows kNoRows{};

}  // namespace

// Equal names are equal in length and in every folded byte; the bucket has
// matched the length and the first byte.
const KeywordRows& lookUpKeyword(std::string_view keyword) {
  if (keyword.empty() || keyword.size() > kLongestName) return kNoRows;
  const BucketRange range =
      kBucketRanges[static_cast<unsigned char>(keyword[0])][keyword.size()];
  for (std::size_t at = range.begin; at < range.end; ++at) {
    if (equalsFolded(keyword, kIndex[at].name)) return kIndex[at].rows;
  }
  return kNoRows;
}

}  // namespace pelc
