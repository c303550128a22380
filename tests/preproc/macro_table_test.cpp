// Tests of the macro table order, its binary search, the name rule and the word scanner.
#include "preproc/macro_table.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstdint>
#include <random>

namespace pelc {
namespace {

/// `prefix` followed by the decimal digits of `number`.
std::string numbered(std::string prefix, int number) {
  prefix += std::to_string(number);
  return prefix;
}

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

/// Checks the hash index and the first byte set against the sorted table: every entry is
/// found at its index, the case-insensitive search gives the first match in table order, and
/// the set holds exactly the first bytes of the names.
void expectIndexInStep(const MacroTable& table, const std::vector<std::string>& probes) {
  MacroTable::ByteSet firstBytes{};
  for (std::size_t i = 0; i < table.size(); ++i) {
    ASSERT_EQ(table.lookUp(table.at(i).name), std::optional<std::size_t>(i)) << table.at(i).name;
    const auto firstByte = static_cast<unsigned char>(table.at(i).name[0]);
    firstBytes[firstByte / 64] |= std::uint64_t{1} << (firstByte % 64);
  }
  EXPECT_EQ(table.firstBytes(), firstBytes);
  for (const std::string& name : probes) {
    std::size_t index = 0;
    const bool present = table.findMacro(name, index) == 0;
    EXPECT_EQ(table.lookUp(name), present ? std::optional<std::size_t>(index) : std::nullopt)
        << name;
    std::optional<std::size_t> first;
    for (std::size_t i = 0; i < table.size() && !first; ++i) {
      const std::string& entry = table.at(i).name;
      if (entry.size() != name.size()) continue;
      bool equal = true;
      for (std::size_t k = 0; k < name.size(); ++k) {
        equal = equal && std::toupper(static_cast<unsigned char>(entry[k])) ==
                             std::toupper(static_cast<unsigned char>(name[k]));
      }
      if (equal) first = i;
    }
    EXPECT_EQ(table.findIgnoringCase(name), first) << name;
  }
}

TEST(MacroTableTest, IndexFollowsInsertEraseRedefineAndClear) {
  std::vector<std::string> names;
  for (int i = 0; i < 300; ++i) {
    names.push_back(numbered("K", i));
    names.push_back(numbered("k", i));
  }
  names.insert(names.end(), {"A", "a", "$x", "@1", "AB", "aB", "Ab", "ab", "x_1",
                             "LONG_NAME_BEYOND_15", "LONG_NAME_BEYOND_15X", "LONG_NAME_BEYOND_1"});
  MacroTable table;
  std::mt19937 random(4711);
  for (int round = 0; round < 6000; ++round) {
    const std::string& name = names[random() % names.size()];
    const MacroTable::ByteSet firstBytes = table.firstBytes();
    const std::uint64_t version = table.firstBytesVersion();
    std::size_t index = 0;
    const int found = table.findMacro(name, index);
    if (found != 0) {
      table.insertAt(found > 0 ? index + 1 : index, MacroEntry{name, std::to_string(round)});
    } else if (round % 3 == 0) {
      table.replaceValue(index, std::to_string(round));
    } else {
      table.eraseAt(index);
    }
    if (round % 500 == 0) expectIndexInStep(table, names);
    if (round == 3000) {
      table.clearMacros();
      EXPECT_EQ(table.lookUp("K1"), std::nullopt);
      EXPECT_EQ(table.findIgnoringCase("K1"), std::nullopt);
    }
    // Scans rebuild what they derive from the set only when the version moves.
    if (table.firstBytes() != firstBytes) {
      EXPECT_NE(table.firstBytesVersion(), version) << round;
    }
  }
  expectIndexInStep(table, names);
  EXPECT_EQ(table.lookUp(""), std::nullopt);
}

TEST(MacroTableTest, IndexKeepsNamesThatCollide) {
  // Names equal ignoring case share the whole hash; the others share the home slot of the
  // smallest index (16 slots), and those of slot 15 wrap around to slot 0.
  std::vector<std::string> names = {"KEY", "key", "Key", "kEY"};
  for (int i = 0; names.size() < 10; ++i) {
    const std::string name = numbered("N", i);
    if ((macroNameHash(name) & 15u) == 15u) names.push_back(name);
  }
  MacroTable table;
  for (const std::string& name : names) insertSorted(table, name);
  expectIndexInStep(table, names);
  for (const std::string& name : names) {
    std::size_t index = 0;
    ASSERT_EQ(table.findMacro(name, index), 0) << name;
    table.eraseAt(index);
    EXPECT_EQ(table.lookUp(name), std::nullopt) << name;
    expectIndexInStep(table, names);
  }
  EXPECT_EQ(table.size(), 0u);
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
