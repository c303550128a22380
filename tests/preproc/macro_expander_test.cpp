// Tests of macro expansion and character literal conversion.
#include "preproc/macro_expander.h"

#include <gtest/gtest.h>

#include <map>
#include <sstream>

#include "preproc/define_directive.h"

namespace pelc {
namespace {

/// `prefix` followed by the decimal digits of `number`.
std::string numbered(std::string prefix, int number) {
  prefix += std::to_string(number);
  return prefix;
}

class MacroExpanderTest : public ::testing::Test {
 protected:
  MacroExpanderTest() { diag.setCurrentFileName("t.pmp"); }

  void define(const std::string& name, const std::string& value) {
    defineDirective(table, diag, 0, "-D", name + " " + value, false);
  }
  int expand(std::string& line) { return expander.expandMacros(line, 9); }
  static std::string report(int number) {
    return "t.pmp (9): Prompt not found: pnum = " + std::to_string(number) + "\n";
  }
  static std::string chainName(int i) {
    std::string name = "M";
    name += std::to_string(i);
    return name;
  }
  void defineChain(int last, const std::string& lastValue) {
    for (int i = 0; i < last; ++i) define(chainName(i), chainName(i + 1));
    define(chainName(last), lastValue);
  }

  std::ostringstream out;
  Diagnostics diag{out};
  MacroTable table;
  MacroExpander expander{table, diag};
};

TEST_F(MacroExpanderTest, ExpandsLines) {
  define("N", "10");
  define("E", "");
  define("R", "N+N");
  define("Q", "\"");
  define("H", "'A");
  define("AB", "x");
  define("ABC", "y");
  define("$S", "5");
  define("@1T", "6");
  struct Case {
    const char* label;
    std::string line;
    std::string expected;
  };
  const Case cases[] = {
      {"plain", "x = N\n", "x = 10\n"},
      {"longer name", "x = NN", "x = NN"},
      {"digit after", "x = N1", "x = N1"},
      {"underscore after", "x = N_", "x = N_"},
      {"digit before", "x = 1N", "x = 110"},
      {"after dot", "x = A.N", "x = A.10"},
      {"empty value", "x E y", "x  y"},
      {"nested value", "R", "10+10"},
      {"prefixed names", "$N @N N", "$N @N 10"},
      {"double quotes", "\"N\\\"N\" N", "\"N\\\"N\" 10"},
      {"back quotes", "`N` N", "`N` 10"},
      {"unclosed quote", "N \"N", "10 \"N"},
      {"NUL is no name char", std::string("N\0N", 3), std::string("10\00010", 5)},
      {"letter", "v = 'A'", "v = 0x41"},
      {"newline escape", "v = '\\n'", "v = 0x0a"},
      {"zero escape", "v = '\\0'", "v = 0x00"},
      {"quote escape", "'\\''", "0x27"},
      {"backslash", "'\\\\'", "0x5c"},
      {"high byte", "'\xff'", "0xff"},
      {"escaped quote unclosed", "v = '\\'", "v = '\\'"},
      {"replacement not rescanned", "Q N \"", "\" 10 \""},
      {"literal across replacement", "H' N", "'A' N"},
      {"names at both ends", "N+N", "10+10"},
      {"underscores", "N_N _N N_ __N", "N_N _10 N_ __10"},
      {"digits before", "1N2 9_N 12N", "1N2 9_10 1210"},
      {"within words", "xN Nx aN1 a_N", "xN Nx aN1 a_N"},
      {"name and its prefix", "AB ABC ABCD AB_ ABC9", "x y ABCD AB_ ABC9"},
      {"sigil names", "$S @1T $Sx x$S @1TT", "5 6 $Sx x5 @1TT"},
      {"sigils that open nothing", "$1N @_N $ @", "$110 @_10 $ @"},
      {"sigils that open other names", "$N @N @1N @9_N", "$N @N @1N @9_N"},
      {"quoted names", "\"N\" 'N' `N` N", "\"N\" 0x4e `N` 10"},
      {"after an escaped backslash", "\"\\\\\" N", "\"\\\\\" 10"},
  };
  for (Case c : cases) {
    const bool changes = c.line != c.expected;
    EXPECT_EQ(expand(c.line), changes ? 2 : 0) << c.label;
    EXPECT_EQ(c.line, c.expected) << c.label;
  }
  EXPECT_EQ(out.str(), "");
}

TEST_F(MacroExpanderTest, FindsReferences) {
  struct Case {
    std::string text;
    int kind;
    std::size_t ref;
  };
  constexpr int none = MacroExpander::NO_REFERENCE;
  constexpr int literal = MacroExpander::CHAR_LITERAL;
  const std::string far(40, 'x');
  const Case cases[] = {{"1ABC", 0, 1},
                        {"_ABC", 0, 1},
                        {"9_ABC", 0, 2},
                        {"x1ABC ABC", 0, 6},
                        {"x_ABC", none, 0},
                        {"ABC9 ABC_ ABC", 0, 10},
                        {"$1ABC", 0, 2},
                        {"$ABC @1ABC @ABC ABC", 0, 16},
                        {"a$ABC", none, 0},
                        {"ABCD ABC", 0, 5},
                        {"\"'\" 'xy'", literal, 4},
                        {"`ABC`ABC", 0, 5},
                        {"\"AB\\\"C ABC\"ABC", 0, 11},
                        {"ABC\"", 0, 0},
                        {"'ABC", none, 0},
                        {"\"ABC", none, 0},
                        {"", none, 0},
                        {"ABC", 0, 0},
                        {"x+ABC", 0, 2},
                        {"@_ABC $_ABC", 0, 2},
                        {"@9_ABC $9_ABC", 0, 10},
                        {"ABC$", 0, 0},
                        {"x $", none, 0},
                        {"'ABC' ABC", literal, 0},
                        {"\"" + far + "\\\" ABC\" ABC", 0, 49},
                        {"\"" + far + "\\", none, 0},
                        {far + " \"" + far + "\\\\\" ABC", 0, 86}};
  // Names that occur in no text, so the results stay; but they make the scan stop at more
  // bytes: `$`, `@`, other letters, and a longer name with the same first byte.
  const std::vector<std::vector<std::string>> extraMacros = {
      {}, {"$Q9", "@Q9", "ABCDE", "x_"}, {"qq", "Z"}};
  for (const auto& extras : extraMacros) {
    table.clearMacros();
    define("ABC", "1");
    for (const std::string& name : extras) define(name, "0");
    // Kind 0 stands for ABC, whose index depends on the other names.
    const int abc = static_cast<int>(*table.lookUp("ABC"));
    for (const Case& c : cases) {
      std::size_t ref = 0;
      EXPECT_EQ(expander.findMacroReference(c.text, ref), c.kind == 0 ? abc : c.kind)
          << c.text << extras.size();
      EXPECT_EQ(ref, c.ref) << c.text << extras.size();
    }
  }
}

// The scan stops only at the bytes that begin a defined name; what it stops at must follow
// every #DEFINE and #UNDEF, also in an expander made after the table was filled.
TEST_F(MacroExpanderTest, FollowsDefinitionsBetweenLines) {
  struct Step {
    const char* name;
    const char* value;  // none for #UNDEF
    std::string expected;
  };
  const std::string line = "A B $C @D A1 $C2 ";
  const Step steps[] = {
      {"A", "a", "a B $C @D A1 $C2 "},    {"B", "b", "a b $C @D A1 $C2 "},
      {"$C", "c", "a b c @D A1 $C2 "},    {"@D", "d", "a b c d A1 $C2 "},
      {"A1", "a1", "a b c d a1 $C2 "},    {"A", nullptr, "A b c d a1 $C2 "},
      {"A1", nullptr, "A b c d A1 $C2 "}, {"$C", nullptr, "A b $C d A1 $C2 "},
      {"$C2", "c2", "A b $C d A1 c2 "},   {"@D", nullptr, "A b $C @D A1 c2 "},
      {"B", nullptr, "A B $C @D A1 c2 "}, {"$C2", nullptr, line},
  };
  for (const Step& step : steps) {
    if (step.value != nullptr) {
      define(step.name, step.value);
    } else {
      undefDirective(table, diag, 0, "#UNDEF", step.name, false);
    }
    std::string text = line;
    expand(text);
    EXPECT_EQ(text, step.expected) << step.name;
    MacroExpander late(table, diag);
    text = line;
    late.expandMacros(text, 9);
    EXPECT_EQ(text, step.expected) << "late " << step.name;
  }
  table.clearMacros();
  std::string text = line;
  EXPECT_EQ(expand(text), 0);
  EXPECT_EQ(text, line);
  EXPECT_EQ(out.str(), "");
}

// With no macro defined the scan looks at quotes alone; it must find the same
// literals as the full scan, which a defined but unused macro forces.
TEST(MacroExpanderScanTest, LiteralsFoundAlikeWithAndWithoutMacros) {
  const std::string far(40, 'x');
  const std::string texts[] = {"x = 'a'",
                               "\"'\" 'b'",
                               "`'` 'c'",
                               "'unclosed",
                               "\"unclosed 'a'",
                               "a 'b",
                               "\"\\\"'\" 'q'",
                               "'\\'' x",
                               far + "'d'",
                               far + "\"" + far + "'\" 'e' " + far,
                               far,
                               ""};
  std::ostringstream printed;
  Diagnostics diag(printed);
  MacroTable empty;
  MacroTable unused;
  defineDirective(unused, diag, 0, "-D", "ZZZ 1", false);
  MacroExpander literalsOnly(empty, diag);
  MacroExpander full(unused, diag);
  for (const std::string& text : texts) {
    std::size_t expectedRef = 0;
    std::size_t ref = 0;
    const int expected = full.findMacroReference(text, expectedRef);
    EXPECT_EQ(literalsOnly.findMacroReference(text, ref), expected) << text;
    if (expected != MacroExpander::NO_REFERENCE) {
      EXPECT_EQ(ref, expectedRef) << text;
    }
  }
}

TEST_F(MacroExpanderTest, ExpandsAfterManyDefineUndefCycles) {
  std::map<std::string, std::string> model;
  std::string line;
  for (int i = 0; i < 60; ++i) line += numbered("K", i) + " ";
  for (int round = 0; round < 2000; ++round) {
    const std::string name = numbered("K", round * 7 % 60);
    if (round % 3 == 2) {
      undefDirective(table, diag, 0, "#UNDEF", name, false);
      model.erase(name);
    } else {
      define(name, numbered("v", round));
      model[name] = numbered("v", round);
    }
    if (round % 97 != 0) continue;
    std::string expected;
    for (int i = 0; i < 60; ++i) {
      const std::string word = numbered("K", i);
      const auto entry = model.find(word);
      expected += (entry == model.end() ? word : entry->second) + " ";
    }
    std::string text = line;
    expand(text);
    EXPECT_EQ(text, expected) << round;
  }
  EXPECT_EQ(out.str(), "");
}

TEST_F(MacroExpanderTest, LiteralReplacementIsExpanded) {
  define("x41", "Z");
  std::string line = "v = 'A'";
  EXPECT_EQ(expand(line), 2);
  EXPECT_EQ(line, "v = 0Z");
}

TEST_F(MacroExpanderTest, MalformedLiteralIsFatal) {
  for (std::string line : {"v = 'ab'", "v = ''", "REM it's a 'word'"}) {
    out.str("");
    EXPECT_THROW(expand(line), AbortFile) << line;
    EXPECT_EQ(out.str(), report(236)) << line;
    EXPECT_EQ(diag.errorState(), ErrorState::Fatal);
  }
  CharLiteralText text;
  EXPECT_THROW(charLiteralText("'\\", text, diag, 9), AbortFile);
}

TEST_F(MacroExpanderTest, FailuresKeepPartialExpansion) {
  struct Case {
    const char* label;
    std::vector<std::pair<std::string, std::string>> macros;
    std::string line;
    std::string expected;
    int message;
  };
  const std::string w1000(1000, 'w');
  const Case cases[] = {
      {"direct recursion", {{"A", "A"}}, "A", "A", 244},
      {"recursion through two", {{"A", "x B"}, {"B", "y A"}}, "A;", "x y A;", 244},
      {"line too long", {{"W", w1000}}, "W W W", w1000 + " " + w1000 + " W", 245},
      {"value fills buffer", {{"W", std::string(2048, 'w')}}, "W", "W", 245},
  };
  for (const Case& c : cases) {
    table.clearMacros();
    out.str("");
    for (const auto& [name, value] : c.macros) define(name, value);
    std::string line = c.line;
    EXPECT_EQ(expand(line), 0) << c.label;
    EXPECT_EQ(line, c.expected) << c.label;
    EXPECT_EQ(out.str(), report(c.message)) << c.label;
  }
  EXPECT_EQ(diag.errorState(), ErrorState::Error);
  table.clearMacros();
  define("W", std::string(2047, 'w'));
  std::string line = "W";
  EXPECT_EQ(expand(line), 2);
  EXPECT_EQ(line.size(), 2047u);
}

TEST_F(MacroExpanderTest, NestingDepthLimit) {
  struct Case {
    const char* label;
    int last;
    std::string lastValue;
    std::string expected;
    int result;
    std::string messages;
  };
  const Case cases[] = {
      {"100 levels", 100, "1", "1", 2, ""},
      {"101 levels", 101, "1", "M101", 0, report(246)},
      {"literal at 101", 100, "'A'", "'A'", 0, report(246)},
      {"recursion at 101", 101, "M0", "M101", 0, report(246)},
  };
  for (const Case& c : cases) {
    table.clearMacros();
    out.str("");
    defineChain(c.last, c.lastValue);
    std::string line = "M0";
    EXPECT_EQ(expand(line), c.result) << c.label;
    EXPECT_EQ(line, c.expected) << c.label;
    EXPECT_EQ(out.str(), c.messages) << c.label;
  }
}

}  // namespace
}  // namespace pelc
