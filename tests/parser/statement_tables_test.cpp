// The keyword index against a plain search of each table.
#include "parser/statement_tables.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "base/text.h"
#include "parser/keyword.h"

namespace pelc {
namespace {

/// Every name of every table.
std::vector<std::string> allNames() {
  std::vector<std::string> names;
  for (const auto& row : kDirectiveTable) names.emplace_back(row.name);
  for (const auto& row : kStatementKeywordTable) names.emplace_back(row.name);
  for (const auto& row : kBlockStatementTable) names.emplace_back(row.name);
  for (const auto& row : kTransferStatementTable) names.emplace_back(row.name);
  return names;
}

/// The row of `table` named `keyword` in any letter case, found the plain way; nullptr when
/// absent.
template <class Row, std::size_t N>
const Row* findKeyword(const std::array<Row, N>& table, std::string_view keyword) {
  for (const Row& row : table) {
    if (compareKeywords(keyword, row.name) == 0) return &row;
  }
  return nullptr;
}

/// Expects lookUpKeyword to name the rows that a search of each table finds.
void expectSameAsSearch(const std::string& keyword) {
  SCOPED_TRACE("keyword \"" + keyword + "\"");
  const KeywordRows& rows = lookUpKeyword(keyword);
  EXPECT_EQ(rows.directive, findKeyword(kDirectiveTable, keyword));
  EXPECT_EQ(rows.statement, findKeyword(kStatementKeywordTable, keyword));
  EXPECT_EQ(rows.block, findKeyword(kBlockStatementTable, keyword));
  EXPECT_EQ(rows.transfer, findKeyword(kTransferStatementTable, keyword));
}

/// The name with the letters whose bit is set in `mask` in lower case.
std::string withCase(const std::string& name, unsigned mask) {
  std::string spelled = name;
  for (std::size_t i = 0; i < spelled.size() && i < 32; ++i) {
    if ((mask >> i & 1u) != 0 && isLetter(spelled[i]))
      spelled[i] = static_cast<char>(spelled[i] | 0x20);
  }
  return spelled;
}

TEST(StatementTables, TablesAreSortedForTheSearch) {
  auto sorted = [](const auto& table) {
    for (std::size_t i = 1; i < table.size(); ++i) {
      if (compareKeywords(table[i - 1].name, table[i].name) >= 0) return false;
    }
    return true;
  };
  EXPECT_TRUE(sorted(kDirectiveTable));
  EXPECT_TRUE(sorted(kStatementKeywordTable));
  EXPECT_TRUE(sorted(kBlockStatementTable));
  EXPECT_TRUE(sorted(kTransferStatementTable));
}

TEST(StatementTables, EveryNameInEveryLetterCase) {
  for (const std::string& name : allNames()) {
    for (unsigned mask = 0; mask < (1u << name.size()); ++mask) {
      const std::string spelled = withCase(name, mask);
      expectSameAsSearch(spelled);
      EXPECT_TRUE(lookUpKeyword(spelled).directive != nullptr ||
                  lookUpKeyword(spelled).statement != nullptr ||
                  lookUpKeyword(spelled).block != nullptr ||
                  lookUpKeyword(spelled).transfer != nullptr);
    }
  }
}

TEST(StatementTables, WhileNamesBothItsRows) {
  const KeywordRows& rows = lookUpKeyword("while");
  ASSERT_NE(rows.statement, nullptr);
  ASSERT_NE(rows.block, nullptr);
  EXPECT_EQ(rows.statement->token, kTokenWhile);
  EXPECT_EQ(rows.directive, nullptr);
  EXPECT_EQ(rows.transfer, nullptr);
}

TEST(StatementTables, NearMissesNameNothing) {
  for (const std::string& name : allNames()) {
    std::vector<std::string> misses = {name.substr(0, name.size() - 1), name + "X", name + "#",
                                       "X" + name, name + name};
    for (std::size_t i = 0; i < name.size(); ++i) {
      for (const char other : {'A', 'Z', 'a', 'z', '#', '{', '}', '@', '[', '`', '\0', '\x80'}) {
        if (other == name[i]) continue;
        std::string changed = name;
        changed[i] = other;
        misses.push_back(changed);
      }
    }
    for (const std::string& miss : misses) expectSameAsSearch(miss);
  }
}

TEST(StatementTables, OtherWordsNameNothing) {
  for (const char* word : {"", "V", "v", "CALL", "msg", "DOS", "IFF", "E", "#", "#IF", "#ELSEX",
                           "R", "RE", "REMARK", "{{", "{}", "FORx", "ELS", "EXITLOOPS",
                           // prefixes of longer names and names that extend shorter ones
                           "D", "DOS", "DOSU", "dOsUbX", "EXITL", "CONT", "#IFDE", "#IFNDEFX",
                           "#E", "#ELS", "#END", "sWiTcHx", "WHIL", "whilex",
                           // longer than any name, sharing a first letter with many
                           "CONTINUEXX", "#INCLUDEXYZ", "EXITLOOPEXITLOOP"}) {
    expectSameAsSearch(word);
  }
  std::string letters;
  for (int first = 0; first < 256; ++first) {
    letters.assign(1, static_cast<char>(first));
    expectSameAsSearch(letters);
    letters += "O";
    expectSameAsSearch(letters);
  }
}

}  // namespace
}  // namespace pelc
