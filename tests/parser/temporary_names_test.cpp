// Tests for the generated names of SWITCH temporaries.
#include "parser/temporary_names.h"

#include <gtest/gtest.h>

#include <cctype>
#include <set>
#include <string>
#include <vector>

namespace pelc {
namespace {

TEST(TemporaryNamesTest, Seed) {
  struct Case {
    const char* name;
    std::string text;
    std::int32_t seed;
  };
  const std::vector<Case> cases = {
      {"empty", "", 0},
      {"abc", "abc", 298914},
      {"byte taken as signed", "\xff", -1},
      {"lowest signed byte", "\x80", -128},
      {"wraps in 32 bits", "C:/work/prog.pmp", -1225150443},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(c.seed, temporarySeed(c.text));
  }
}

TEST(TemporaryNamesTest, Names) {
  struct Case {
    const char* name;
    std::string text;
    int n;
    const char* expected;
  };
  const std::vector<Case> cases = {
      {"depth 1", "abc", 1, "xfxO5B_A"},
      {"depth 2", "abc", 2, "xfxO5B_B"},
      {"first lower-case number", "abc", 27, "xfxO5B_a"},
      {"first digit number", "abc", 53, "xfxO5B_0"},
      {"last numbered depth", "abc", 63, "xfxO5B__"},
      {"beyond the alphabet", "abc", 64, "xfxO5B_64"},
      {"empty seed text", "", 1, "mhHrjQxA"},
      {"negative seed", "C:/work/prog.pmp", 1, "We3soIbA"},
      {"another path", "D:/scripts/main.pmp", 3, "atFrUpoC"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(c.expected, temporaryName(c.text, c.n));
  }
}

// The first character is drawn modulo the letters only, so that every name is an identifier.
TEST(TemporaryNamesTest, EveryNameStartsWithALetterAndDepthsDifferOnlyAtTheEnd) {
  std::set<std::string> seen;
  for (int i = 0; i < 300; ++i) {
    const std::string path = "C:/dir" + std::to_string(i) + "/prog.pmp";
    const std::string first = temporaryName(path, 1);
    SCOPED_TRACE(path);
    ASSERT_EQ(8u, first.size());
    EXPECT_TRUE(std::isalpha(static_cast<unsigned char>(first[0])));
    EXPECT_EQ(first.substr(0, 7) + "Q", temporaryName(path, 17));
    seen.insert(first.substr(0, 7));
  }
  EXPECT_GT(seen.size(), 290u);
}

}  // namespace
}  // namespace pelc
