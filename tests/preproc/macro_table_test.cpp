// Tests of the macro table order, its binary search, the name rule and the word scanner.
#include "preproc/macro_table.h"

#include <gtest/gtest.h>

#include <random>

namespace pelc {
namespace {

void insertSorted(MacroTable& table, const std::string& name) {
  std::size_t index = 0;
  const int found = table.findMacro(name, index);
  ASSERT_NE(found, 0) << name;
  table.insertAt(found > 0 ? index + 1 : index, MacroEntry{name, ""});
}

TEST(MacroTableTest, OrdersByLengthThenUnsignedBytes) {
  MacroTable table;
  for (const char* name : {"b", "AA", "B", "a", "\xe9", "A"}) insertSorted(table, name);
  const std::vector<std::string> expected = {"A", "B", "a", "b", "\xe9", "AA"};
  ASSERT_EQ(table.size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) EXPECT_EQ(table.at(i).name, expected[i]);
}

TEST(MacroTableTest, FindMacroAgreesWithLinearSearch) {
  MacroTable table;
  std::size_t index = 7;
  EXPECT_EQ(table.findMacro("X", index), -1);
  EXPECT_EQ(index, 0u);
  std::mt19937 random(12345);
  std::vector<std::string> absent;
  for (int i = 0; i < 400; ++i) {
    std::string name(1 + random() % 3, 'a');
    for (char& c : name) c = static_cast<char>("aBz_9"[random() % 5]);
    if (table.findMacro(name, index) == 0) continue;
    if (i % 4 == 0) {
      absent.push_back(name);
    } else {
      insertSorted(table, name);
    }
  }
  for (std::size_t i = 0; i < table.size(); ++i) {
    ASSERT_EQ(table.findMacro(table.at(i).name, index), 0);
    EXPECT_EQ(index, i);
  }
  for (const std::string& name : absent) {
    if (table.findMacro(name, index) == 0) continue;  // inserted after it was drawn
    std::size_t expected = 0;
    while (expected < table.size() && compareMacroName(name, table.at(expected)) > 0) ++expected;
    const int result = table.findMacro(name, index);
    EXPECT_EQ(result > 0 ? index + 1 : index, expected) << name;
    EXPECT_EQ(result, compareMacroName(name, table.at(index))) << name;
  }
}

TEST(MacroTableTest, FindIgnoringCaseTakesFirstInTableOrder) {
  MacroTable table;
  insertSorted(table, "foo");
  insertSorted(table, "FOO");
  EXPECT_EQ(table.findIgnoringCase("foo"), std::optional<std::size_t>(0));
  EXPECT_EQ(table.at(0).name, "FOO");
  EXPECT_EQ(table.findIgnoringCase("fo"), std::nullopt);
}

TEST(MacroTableTest, MacroNameRule) {
  struct Case {
    const char* text;
    std::size_t stop;
  };
  const Case cases[] = {{"A", 1},  {"a_b9", 4}, {"A=1", 1}, {"A.B", 1}, {"_a", 0},
                        {"$1", 0}, {"9a", 0},   {"(X)", 0}, {"$", 0},   {"@", 0},
                        {"$x", 2}, {"@1", 2},   {"@a_", 3}, {"$x$", 2}, {"\xc4", 0}};
  for (const Case& c : cases) EXPECT_EQ(isMacroName(c.text), c.stop) << c.text;
}

TEST(MacroTableTest, ScanWord) {
  struct Case {
    std::string text;
    std::size_t size;
    std::optional<std::size_t> stop;
    std::string word;
  };
  const std::string longWord(200, 'w');
  const Case cases[] = {
      {" \t abc def", 128, 6, "abc"},
      {"abc", 128, 3, "abc"},
      {"", 128, std::nullopt, ""},
      {" \r\n\v\f", 128, std::nullopt, ""},
      {"abcdef", 3, 2, "ab"},
      {"  " + longWord, 128, 129, longWord.substr(0, 127)},
      {std::string("a\0b c", 5), 128, 3, std::string("a\0b", 3)},
  };
  for (const Case& c : cases) {
    std::string out;
    EXPECT_EQ(scanWord(c.text, out, c.size), c.stop) << c.text;
    if (c.stop) {
      EXPECT_EQ(out, c.word) << c.text;
    }
  }
}

}  // namespace
}  // namespace pelc
