// Tests of the #DEFINE and #UNDEF handlers and of -D definitions.
#include "preproc/define_directive.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>

namespace pelc {
namespace {

class DefineDirectiveTest : public ::testing::Test {
 protected:
  DefineDirectiveTest() { diag.setCurrentFileName("t.pmp"); }

  DirectiveEffect define(std::string_view rest, bool fromSource = true) {
    return defineDirective(table, diag, 7, "#DEFINE", rest, fromSource);
  }
  DirectiveEffect undef(std::string_view rest) {
    return undefDirective(table, diag, 7, "#UNDEF", rest, true);
  }
  std::string valueOf(std::string_view name) const {
    std::size_t index = 0;
    return table.findMacro(name, index) == 0 ? table.at(index).value : "<undefined>";
  }
  static std::string report(int number) {
    return "t.pmp (7): Prompt not found: pnum = " + std::to_string(number) + "\n";
  }

  std::ostringstream out;
  Diagnostics diag{out};
  MacroTable table;
};

TEST_F(DefineDirectiveTest, DefinitionsFromOneLine) {
  struct Case {
    const char* label;
    std::string rest;
    DirectiveEffect effect;
    int message;
    std::string name;
    std::string value;
  };
  const std::string n127(127, 'N');
  const Case cases[] = {
      {"value trimmed", " X   hello  world \r\n", DirectiveEffect::DefineNode, 0, "X",
       "hello  world"},
      {"empty value", " A   \n", DirectiveEffect::DefineNode, 0, "A", ""},
      {"dollar name", " $x 5\n", DirectiveEffect::DefineNode, 0, "$x", "5"},
      {"at name", " @1 y\n", DirectiveEffect::DefineNode, 0, "@1", "y"},
      {"long name cut", " " + n127 + "NNN v\n", DirectiveEffect::DefineNode, 0, n127, "NNN v"},
      {"nothing", "", DirectiveEffect::SilentNode, 122, "", ""},
      {"only blanks", "  \n", DirectiveEffect::SilentNode, 122, "", ""},
      {"equals in name", " A=1\n", DirectiveEffect::SilentNode, -254, "A", "<undefined>"},
      {"underscore", " _a 1\n", DirectiveEffect::SilentNode, -254, "_a", "<undefined>"},
      {"dollar digit", " $1 2\n", DirectiveEffect::SilentNode, -254, "$1", "<undefined>"},
      {"digit first", " 9a 3\n", DirectiveEffect::SilentNode, -254, "9a", "<undefined>"},
      {"parenthesis", "(X) 1\n", DirectiveEffect::SilentNode, -254, "X", "<undefined>"},
  };
  for (const Case& c : cases) {
    table.clearMacros();
    out.str("");
    EXPECT_EQ(define(c.rest), c.effect) << c.label;
    EXPECT_EQ(out.str(), c.message ? report(std::abs(c.message)) : "") << c.label;
    if (!c.name.empty()) {
      EXPECT_EQ(valueOf(c.name), c.value) << c.label;
    }
  }
  EXPECT_EQ(diag.errorState(), ErrorState::Error);
}

TEST_F(DefineDirectiveTest, Redefinition) {
  define(" A 1\n");
  EXPECT_EQ(define(" A 1 \n"), DirectiveEffect::SilentNode);
  EXPECT_EQ(out.str(), "");
  EXPECT_EQ(define(" A 2\n"), DirectiveEffect::DefineNode);
  EXPECT_EQ(out.str(), report(121));
  EXPECT_EQ(valueOf("A"), "2");
  EXPECT_EQ(define(" A 3", false), DirectiveEffect::NoNode);
  EXPECT_EQ(out.str(), report(121));
  EXPECT_EQ(valueOf("A"), "3");
  EXPECT_EQ(table.size(), 1u);
  EXPECT_EQ(diag.errorState(), ErrorState::None);
}

TEST_F(DefineDirectiveTest, UndefIgnoresCaseInTableOrder) {
  define(" foo 1\n");
  define(" FOO 2\n");
  EXPECT_EQ(undef(" foo trailing text\n"), DirectiveEffect::UndefNode);
  EXPECT_EQ(valueOf("FOO"), "<undefined>");
  EXPECT_EQ(valueOf("foo"), "1");
  EXPECT_EQ(undef(" foo\n"), DirectiveEffect::UndefNode);
  EXPECT_EQ(undef(" foo\n"), DirectiveEffect::SilentNode);
  EXPECT_EQ(out.str(), "");
  EXPECT_EQ(undef(" \n"), DirectiveEffect::SilentNode);
  EXPECT_EQ(out.str(), report(122));
  define(" X 1\n");
  EXPECT_EQ(undefDirective(table, diag, 7, "#UNDEF", "x", false), DirectiveEffect::NoNode);
  EXPECT_EQ(table.size(), 0u);
}

TEST_F(DefineDirectiveTest, TableOverflowThrows) {
  for (std::size_t i = 0; i < MacroTable::MAX_MACROS; ++i) {
    define(" M" + std::to_string(i) + " v", false);
  }
  EXPECT_EQ(define(" M0 changed", false), DirectiveEffect::NoNode);
  EXPECT_THROW(define(" ONE_MORE 1\n"), AbortFile);
  EXPECT_EQ(out.str(), report(252));
  EXPECT_EQ(table.size(), MacroTable::MAX_MACROS);
}

TEST_F(DefineDirectiveTest, CommandLineDefinitions) {
  struct Case {
    std::string text;
    std::string prepared;
  };
  const Case cases[] = {{"NAME=text", "NAME text"}, {"NAME", "NAME"}, {"A=B=C", "A B=C"},
                        {"$x=1", "$x 1"},           {"9a=1", "9a=1"}, {"A =1", "A =1"}};
  for (Case c : cases) {
    prepareCommandLineDefinition(c.text);
    EXPECT_EQ(c.text, c.prepared);
  }
  std::string text = "NAME=some text";
  prepareCommandLineDefinition(text);
  EXPECT_EQ(defineDirective(table, diag, 0, "-D", text, false), DirectiveEffect::NoNode);
  EXPECT_EQ(valueOf("NAME"), "some text");
}

}  // namespace
}  // namespace pelc
