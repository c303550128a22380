// Tests for the blank normalisation of re-emitted lines.
#include "codegen/normalize_blanks.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace pelc {
namespace {

TEST(NormalizeBlanksTest, Normalize) {
  struct Case {
    const char* name;
    std::string input;
    std::string expected;
  };
  const std::vector<Case> cases = {
      {"indentation kept", "    x = 1   \n", "    x = 1"},
      {"quoted blanks kept", "a  =  \"p  q\"\n", "a = \"p  q\""},
      {"tabs become spaces", "\tx\t=\t\t1\r\n", "\tx = 1"},
      {"every blank kind", "x \v\f\r\n y", "x y"},
      {"all blank", "   \r\n", ""},
      {"empty", "", ""},
      {"apostrophe with escape", "a 'b  \\'  c'  d", "a 'b  \\'  c' d"},
      {"back quote", "s  =  `x   y`", "s = `x   y`"},
      {"other quote inside", "s = \"it's   ok\"  ", "s = \"it's   ok\""},
      {"backslash outside quotes", "a \\   b", "a \\ b"},
      {"backslash at the very end", "x \"a\\", "x \"a\\"},
      {"unclosed quote loses trailing blanks", "a \"b  c  ", "a \"b  c"},
      {"already normal", "  x = y + 1\n", "  x = y + 1"},
      {"already normal without newline", "x = y", "x = y"},
      {"single trailing space", "x = y ", "x = y"},
      {"change after normal text", "x = y +  1", "x = y + 1"},
      {"tab after normal text", "x = y\t+ 1", "x = y + 1"},
      {"quote then change", "s = \"a  b\"  + 'c'\t;", "s = \"a  b\" + 'c' ;"},
      {"space before a quote", "s = \"  \" \"\"", "s = \"  \" \"\""},
      {"NUL is ordinary", std::string("a\0  b \0", 7), std::string("a\0 b \0", 6)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::string text = c.input;
    normalizeBlanks(text);
    EXPECT_EQ(c.expected, text);
  }
}

}  // namespace
}  // namespace pelc
