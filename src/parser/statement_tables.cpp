// The keyword tables, sorted by case-insensitive keyword order.
#include "parser/statement_tables.h"

#include <algorithm>
#include <cstdint>

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

constexpr unsigned char foldCase(char c) {
  const auto u = static_cast<unsigned char>(c);
  return u >= 'a' && u <= 'z' ? static_cast<unsigned char>(u - 'a' + 'A') : u;
}

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

// The distinct names ordered by their first byte, so that each first byte has
// a contiguous bucket.
constexpr std::array<IndexEntry, kDistinctNames> kIndex = [] {
  const MergedNames merged = mergeNames();
  std::array<IndexEntry, kDistinctNames> index{};
  std::copy_n(merged.entries.begin(), kDistinctNames, index.begin());
  std::sort(index.begin(), index.end(), [](const IndexEntry& a, const IndexEntry& b) {
    return foldCase(a.name[0]) != foldCase(b.name[0]) ? foldCase(a.name[0]) < foldCase(b.name[0])
                                                      : a.name < b.name;
  });
  return index;
}();

// kBucketStart[c] to kBucketStart[c + 1]: the entries whose first byte is c.
constexpr std::array<std::uint8_t, 257> kBucketStart = [] {
  std::array<std::uint8_t, 257> start{};
  std::size_t entry = 0;
  for (std::size_t c = 0; c < 256; ++c) {
    start[c] = static_cast<std::uint8_t>(entry);
    while (entry < kIndex.size() && foldCase(kIndex[entry].name[0]) == c) ++entry;
  }
  start[256] = static_cast<std::uint8_t>(entry);
  return start;
}();

// The lookup folds only the keyword, so the tables must spell their names as
// foldCase leaves them.
constexpr bool namesAreFolded() {
  for (const IndexEntry& entry : kIndex) {
    if (entry.name.empty()) return false;
    for (const char c : entry.name) {
      if (foldCase(c) != static_cast<unsigned char>(c)) return false;
    }
  }
  return true;
}
static_assert(namesAreFolded(), "keyword tables must spell their names in upper case");
static_assert(kIndex.size() < 256, "bucket starts are bytes");

bool equalsFolded(std::string_view keyword, std::string_view name) {
  for (std::size_t i = 1; i < name.size(); ++i) {
    if (foldCase(keyword[i]) != static_cast<unsigned char>(name[i])) return false;
  }
  return true;
}

constexpr KeywordRows kNoRows{};

}  // namespace

// Equal names are equal in length and in every folded byte; the first byte
// was matched by the bucket.
const KeywordRows& lookUpKeyword(std::string_view keyword) {
  if (keyword.empty()) return kNoRows;
  const unsigned char first = foldCase(keyword[0]);
  for (std::size_t at = kBucketStart[first]; at < kBucketStart[first + 1u]; ++at) {
    const IndexEntry& entry = kIndex[at];
    if (entry.name.size() == keyword.size() && equalsFolded(keyword, entry.name)) {
      return entry.rows;
    }
  }
  return kNoRows;
}

}  // namespace pelc
