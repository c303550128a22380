// Tests for the scanners of conditions, FOR parts and CASE values.
#include "parser/condition_scanner.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace pelc {
namespace {

constexpr const char* kSyntaxAtTopLevel = "pelc: Prompt not found: pnum = 236\n";

class InBlock : public SyntaxContext {
 public:
  bool anyBlockOpen() const override { return true; }
};

TEST(ConditionScannerTest, ScanCondition) {
  struct Case {
    const char* name;
    std::string input;
    const char* expected;  // nullptr: syntax error
  };
  const std::vector<Case> cases = {
      {"blanks dropped", " ( a == 1 ) ", "(a==1)"},
      {"all blank kinds", "\t(\va\f)\r\n", "(a)"},
      {"nested groups", "(f(x, y) > (0))", "(f(x,y)>(0))"},
      {"brackets", "(v[ i ] == 1)", "(v[i]==1)"},
      {"quoted blanks kept", "(s == \"a  b\")", "(s==\"a  b\")"},
      {"quoted parenthesis", "(s == 'a)' )", "(s=='a)')"},
      {"escaped quote", "(s == `it\\` s`)", "(s==`it\\` s`)"},
      {"other quote inside", "(s == \"it's\")", "(s==\"it's\")"},
      {"semicolon and colon", "(a;b:c)", "(a;b:c)"},
      {"empty", "()", "()"},
      {"nothing to drop", "(a<'\\'')", "(a<'\\'')"},
      {"escaped backslash before quote", "( s == \"\\\\\" )", "(s==\"\\\\\")"},
      {"deeply nested", " ( ( ( a ) ) ) ", "(((a)))"},
      {"operator at the end", "(a == )", "(a==)"},
      {"empty text", "", nullptr},
      {"no parenthesis", "a == 1", nullptr},
      {"text before", "x (a)", nullptr},
      {"unterminated", "(a == (1)", nullptr},
      {"text after", "(a == 1) x = 1", nullptr},
      {"second group", "(a)(b)", nullptr},
      {"bracket open at close", "(a[1)]", nullptr},
      {"bracket below zero", "(a]==1)", nullptr},
      {"unclosed quote", "(s == \"a)", nullptr},
      {"backslash at end", "(s == \"a\\", nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::ostringstream out;
    Diagnostics diag(out);
    const std::optional<std::string> result = scanCondition(c.input, diag, 4);
    if (c.expected == nullptr) {
      EXPECT_FALSE(result.has_value());
      EXPECT_EQ(kSyntaxAtTopLevel, out.str());
      EXPECT_EQ(ErrorState::Error, diag.errorState());
    } else {
      EXPECT_EQ(c.expected, result.value_or("<none>"));
      EXPECT_EQ("", out.str());
    }
  }
}

TEST(ConditionScannerTest, ScanForPart) {
  using Status = ForPart::Status;
  struct Case {
    const char* name;
    std::string input;
    char opening;
    char closing;
    Status status;
    const char* text;
    std::size_t next;
  };
  const std::vector<Case> cases = {
      {"init", "(i = 0; i < 3; i = i + 1)", '(', ';', Status::Text, "i=0", 7},
      {"empty init is text", " (;;)", '(', ';', Status::Text, "", 3},
      {"condition", " i < 3; i = i + 1)", '\0', ';', Status::Text, "i<3", 7},
      {"absent condition", " ;)", '\0', ';', Status::Absent, "", 2},
      {"step", " i = i + 1 ) ", '\0', ')', Status::Text, "i=i+1", 12},
      {"absent step", " ) \r\n", '\0', ')', Status::Absent, "", 2},
      {"groups in step", "f(a)[b])", '\0', ')', Status::Text, "f(a)[b]", 8},
      {"nothing to drop", "i<'\\'';", '\0', ';', Status::Text, "i<'\\''", 7},
      {"quoted at the end", " s = 'a b' ) ", '\0', ')', Status::Text, "s='a b'", 12},
      {"semicolon ordinary before )", "x;y)", '\0', ')', Status::Text, "x;y", 4},
      {"quoted terminators", "s = \";)\";", '\0', ';', Status::Text, "s=\";)\"", 9},
      {"missing opening", "i = 0;", '(', ';', Status::Failed, "", 0},
      {"semicolon in parentheses", "(i = f(a;b);", '(', ';', Status::Failed, "", 0},
      {"semicolon in brackets", "(v[a;b];", '(', ';', Status::Failed, "", 0},
      {"parenthesis below zero", "a);", '\0', ';', Status::Failed, "", 0},
      {"bracket below zero", "a]);", '\0', ')', Status::Failed, "", 0},
      {"bracket open at close", "a[b)]", '\0', ')', Status::Failed, "", 0},
      {"text after step", "i=i+1) x", '\0', ')', Status::Failed, "", 0},
      {"text after absent step", ") x", '\0', ')', Status::Failed, "", 0},
      {"end before closing", " i < 3", '\0', ';', Status::Failed, "", 0},
      {"empty text", "", '\0', ';', Status::Failed, "", 0},
      {"backslash at end", "\"ab\\", '\0', ';', Status::Failed, "", 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::ostringstream out;
    Diagnostics diag(out);
    const ForPart part = scanForPart(c.input, c.opening, c.closing, diag, 4);
    EXPECT_EQ(c.status, part.status);
    if (c.status == Status::Failed) {
      EXPECT_EQ(kSyntaxAtTopLevel, out.str());
    } else {
      EXPECT_EQ(c.text, part.text);
      EXPECT_EQ(c.next, part.next);
      EXPECT_EQ("", out.str());
    }
  }
}

TEST(ConditionScannerTest, ScanCaseValue) {
  struct Case {
    const char* name;
    std::string input;
    bool ok;
    const char* value;
    char end;
    std::size_t next;
  };
  const std::vector<Case> cases = {
      {"single value", " 1 ", true, "1", '\0', 3},
      {"range low", "2 : 5", true, "2", ':', 3},
      {"range high", " 5", true, "5", '\0', 2},
      {"colon inside quotes", "'a:b'", true, "'a:b'", '\0', 5},
      {"escaped quote", "\"a\\\": b\" : c", true, "\"a\\\": b\"", ':', 10},
      {"groups", "f(a, b) + v[ 1 ]:", true, "f(a,b)+v[1]", ':', 17},
      // Only a text with nothing in it is missing a value; an empty low value is not.
      {"empty before colon", " :5", true, "", ':', 2},
      {"nothing to drop", "'\\''", true, "'\\''", '\0', 4},
      {"empty text", "", false, "", '\0', 0},
      {"blank text", " \t", false, "", '\0', 0},
      {"parenthesis open", "(a", false, "", '\0', 0},
      {"parenthesis below zero", "a)", false, "", '\0', 0},
      {"bracket below zero", "a]", false, "", '\0', 0},
      {"colon inside brackets", "v[a:b]", false, "", '\0', 0},
      {"backslash at end", "\"x\\", false, "", '\0', 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::ostringstream out;
    Diagnostics diag(out);
    const CaseValue value = scanCaseValue(c.input, diag, 4);
    EXPECT_EQ(c.ok, value.ok);
    if (!c.ok) {
      EXPECT_EQ(kSyntaxAtTopLevel, out.str());
      continue;
    }
    EXPECT_EQ(c.value, value.value);
    EXPECT_EQ(c.end, value.end);
    EXPECT_EQ(c.next, value.next);
    EXPECT_EQ("", out.str());
  }
}

TEST(ConditionScannerTest, SyntaxErrorsInsideABlockAndInFatalMode) {
  std::ostringstream out;
  Diagnostics diag(out);
  InBlock inBlock;
  diag.setSyntaxContext(&inBlock);
  EXPECT_FALSE(scanCondition("x", diag, 7).has_value());
  EXPECT_EQ(ForPart::Status::Failed, scanForPart("x", '(', ';', diag, 7).status);
  EXPECT_FALSE(scanCaseValue("", diag, 7).ok);
  EXPECT_EQ(
      "pelc: Prompt not found: pnum = 255\n"
      "pelc: Prompt not found: pnum = 255\n"
      "pelc: Prompt not found: pnum = 255\n",
      out.str());

  diag.enterFatalMode();
  EXPECT_THROW(scanCondition("(a", diag, 7), AbortFile);
}

}  // namespace
}  // namespace pelc
