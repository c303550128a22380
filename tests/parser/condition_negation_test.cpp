// Tests for the negation of IF conditions.
#include "parser/condition_negation.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace pelc {
namespace {

constexpr const char* kSyntaxAtTopLevel = "pelc: Prompt not found: pnum = 236\n";
constexpr const char* kTextTooLong = "pelc: Prompt not found: pnum = 243\n";
constexpr std::size_t kAmpleRoom = 100000;

struct Case {
  const char* name;
  std::string input;
  std::size_t room;
  std::string expected;  // the negated text, or the message printed instead
};

void runCases(const std::vector<Case>& cases) {
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::ostringstream out;
    Diagnostics diag(out);
    const std::optional<std::string> result = negateCondition(c.input, c.room, diag, 9);
    if (result) {
      EXPECT_EQ(c.expected, *result);
      EXPECT_EQ("", out.str());
    } else {
      EXPECT_EQ(c.expected, out.str());
    }
  }
}

TEST(ConditionNegationTest, InvertsOperatorsWhereTheyStand) {
  runCases({
      {"equal", "(a == 1)", kAmpleRoom, "(a!=1)"},
      {"less", " ( x<y )", kAmpleRoom, "(x>=y)"},
      {"less or equal", "(x<=y)", kAmpleRoom, "(x>y)"},
      {"greater or equal", "(a>=b)", kAmpleRoom, "(a<b)"},
      {"greater", "(a>b)", kAmpleRoom, "(a<=b)"},
      {"not equal and", "(a==1 && b!=2)", kAmpleRoom, "(a!=1||b==2)"},
      {"groups with or", "((a==1)||(b<2))", kAmpleRoom, "((a!=1)&&(b>=2))"},
      {"no precedence", "(a==1 && b==2 || d==3)", kAmpleRoom, "(a!=1||b!=2&&d!=3)"},
      {"quoted text unchanged", "(s==\"a b<c\")", kAmpleRoom, "(s!=\"a b<c\")"},
      {"escaped quote", "(s == 'it\\'s <')", kAmpleRoom, "(s!='it\\'s <')"},
      {"operator in brackets", "(v[i<3]==1)", kAmpleRoom, "(v[i>=3]!=1)"},
      {"trailing blanks", "(a==1) \r\n", kAmpleRoom, "(a!=1)"},
      {"escaped backslash", "(s == \"\\\\\" && t < 1)", kAmpleRoom, "(s!=\"\\\\\"||t>=1)"},
      {"escape at the close", "(c == '\\'')", kAmpleRoom, "(c!='\\'')"},
      {"operator last", "(a <)", kAmpleRoom, "(a>=)"},
      {"two-character operator last", "(a <=)", kAmpleRoom, "(a>)"},
      {"nested groups", "((a<1) && ((b>2) || (c==3)))", kAmpleRoom,
       "((a>=1)||((b<=2)&&(c!=3)))"},
  });
}

TEST(ConditionNegationTest, ComparesWithZeroWhenAGroupHasNoOperator) {
  runCases({
      {"bare name", "(x)", kAmpleRoom, "((x)==0)"},
      {"call argument", "(f(x) == 1)", kAmpleRoom, "((f(x)==1)==0)"},
      {"doubled parentheses", "((a==1))", kAmpleRoom, "(((a==1))==0)"},
      {"lone equals", "(a=1)", kAmpleRoom, "((a=1)==0)"},
      {"lone not", "(!done)", kAmpleRoom, "((!done)==0)"},
      {"quoted blanks kept", "(s = \"a  b\")", kAmpleRoom, "((s=\"a  b\")==0)"},
  });
}

TEST(ConditionNegationTest, ReportsMalformedConditions) {
  runCases({
      {"text after", "(a==1) x", kAmpleRoom, kSyntaxAtTopLevel},
      {"no parentheses", "a==1", kAmpleRoom, kSyntaxAtTopLevel},
      {"empty", "  ", kAmpleRoom, kSyntaxAtTopLevel},
      {"unterminated", "(a==1", kAmpleRoom, kSyntaxAtTopLevel},
      {"bracket open at close", "(a==v[1)", kAmpleRoom, kSyntaxAtTopLevel},
      {"bracket below zero", "(a]==1)", kAmpleRoom, kSyntaxAtTopLevel},
      {"backslash at end", "(s==\"x\\", kAmpleRoom, kSyntaxAtTopLevel},
      {"text after fallback", "(f(x)==1) y", kAmpleRoom, kSyntaxAtTopLevel},
      {"unterminated fallback", "(f(x)==1", kAmpleRoom, kSyntaxAtTopLevel},
      {"operator at the end of the text", "(a ==", kAmpleRoom, kSyntaxAtTopLevel},
  });
}

TEST(ConditionNegationTest, ReportsTooLittleRoom) {
  runCases({
      {"no room", "(a==1)", 0, kTextTooLong},
      {"one byte", "(a==1)", 1, kTextTooLong},
      {"exact fit", "(a == 1)", 7, "(a!=1)"},
      {"one short", "(a == 1)", 6, kTextTooLong},
      {"longer replacement fits", "(a<b)", 7, "(a>=b)"},
      {"longer replacement short", "(a<b)", 6, kTextTooLong},
      {"replacement at the edge", "(a<b)", 4, kTextTooLong},
      {"room checked before syntax", "(a==1", 5, kTextTooLong},
      // The comparison with zero reuses the condition's own place as well.
      {"fallback fits in place", "(x)", 5, "((x)==0)"},
      {"fallback too long", "(x)", 4, kTextTooLong},
  });
}

// The longest conditions a line can hold: a line buffer of 2048 bytes leaves 2047 bytes of
// room at most, of which the rewritten condition may use 2046.
TEST(ConditionNegationTest, LongConditionsAtTheRoomLimit) {
  const std::string name(2040, 'v');
  const std::string condition = "(" + name + "<1)";  // 2044 bytes, negated 2045
  runCases({
      {"fits with a byte to spare", condition, 2047, "(" + name + ">=1)"},
      {"exact fit", condition, 2046, "(" + name + ">=1)"},
      {"one short", condition, 2045, kTextTooLong},
      {"replacement fills the room", "(" + name + "<", 2044, kTextTooLong},
      {"blanks dropped to fit", "( " + name + " == 1 )", 2046, "(" + name + "!=1)"},
      {"quoted at the limit", "(s=='" + name.substr(1) + "')", 2047,
       "(s!='" + name.substr(1) + "')"},
  });
}

std::string nested(int depth, const std::string& inner, const std::string& between) {
  std::string text = inner;
  for (int i = 0; i < depth; ++i) text = "(" + between + text + ")";
  return text;
}

TEST(ConditionNegationTest, DepthBeyondTheMarksFallsBack) {
  runCases({
      {"255 groups inverted", nested(255, "a<1", "b==2&&"), kAmpleRoom,
       nested(255, "a>=1", "b!=2||")},
      {"256 groups compared with zero", nested(256, "a<1", "b==2&&"), kAmpleRoom,
       std::string("(").append(nested(256, "a<1", "b==2&&")).append("==0)")},
  });
}

}  // namespace
}  // namespace pelc
