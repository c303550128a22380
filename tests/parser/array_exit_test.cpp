// Tests for ARRAY initialiser lists and EXIT through whole-file parses.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "construct_harness.h"

namespace pelc {
namespace {

using parse_harness::ParsedFile;
using parse_harness::source;

TEST(ArrayStatementTest, InitialiserLists) {
  struct Case {
    const char* name;
    std::string text;
    const char* nodes;
    std::vector<int> messages;
  };
  const std::vector<Case> cases = {
      {"declaration without list", source({"ARRAY a[10]"}), "", {}},
      {"declaration with a comment", source({"ARRAY a[10] /* c */"}), "Stmt(comment)", {}},
      {"list on the ARRAY line", source({"ARRAY a[3] = { 1, 2, 3 }", "x = 1"}), "", {}},
      {"macros on the ARRAY line and in the list",
       source({"#DEFINE N 3", "ARRAY a[N] = { N, 2 }"}),
       "Directive Stmt(macros+brace) Stmt(macros)",
       {}},
      {"list lines with a comment and a macro",
       source({"#DEFINE N 2", "ARRAY a[3] =", "{", "  1, /* one */", "  N,", "  3", "}",
               "y = 1 /* c */"}),
       "Directive Stmt(comment) Stmt(macros) Stmt(comment)",
       {}},
      {"comment on the ARRAY line",
       source({"ARRAY a[2] = /* c */", "{", "1, 2", "}"}),
       "Stmt(comment+brace)",
       {}},
      {"brace inside the list", source({"ARRAY a[2] =", "{", "1, {2}", "}"}), "", {236, 236}},
      {"brace inside the list in a block",
       source({"WHILE (a)", "{", "ARRAY b[1] =", "{", "{", "}", "}"}),
       "While(a)(1,2,0) Silent Silent WhileEnd",
       {255}},
      {"source ends inside the list", source({"ARRAY a[2] =", "{", "1, 2"}), "", {236}},
      {"list lines do not move the grammar",
       source({"IF (a == 1)", "ARRAY a[2] =", "{", "BREAK", "ELSE", "}", "z = 1"}),
       "If3(a!=1)(1,1) IfEnd(1)",
       {}},
      {"indented brace at top level", source({"ARRAY a[2] =", "  {", "1", "}"}), "", {236, 236}},
      {"indented brace in a block",
       source({"WHILE (a)", "ARRAY a[2] =", "  {", "x"}),
       "While(a)(1,2,0) WhileEnd",
       {255}},
      {"ARRAY at the end of the source", "ARRAY a[2] =", "", {}},
      {"single statement of a DO",
       source({"DO", "ARRAY a[2] =", "{", "1", "}", "WHILE (a)"}),
       "Do(1,0,0) DoEnd(a)",
       {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const ParsedFile parsed(c.text);
    EXPECT_EQ(c.nodes, parsed.kinds());
    EXPECT_EQ(c.messages, parsed.messages());
  }
}

// The emitter re-reads this node as the ARRAY line and the `{` line, so it must span both.
TEST(ArrayStatementTest, OpeningNodeCoversArrayAndBraceLines) {
  for (const char* arrayLine : {"ARRAY a[2] = /* c */", "  ARRAY a[2] =  /* c */"}) {
    SCOPED_TRACE(arrayLine);
    const ParsedFile parsed("x = 1\n" + source({arrayLine, "{", "1, 2", "}"}));
    ASSERT_EQ("Stmt(comment+brace)", parsed.kinds());
    const auto& node = parsed.record<StatementRecord>(0);
    EXPECT_EQ(parsed.after("x = 1\n"), node.startPos);
    EXPECT_EQ(2, node.startLine);
    EXPECT_EQ(parsed.after("{\n"), node.endPos);
    EXPECT_EQ(4, node.endLine);
    EXPECT_FALSE(node.notAtEol);
  }
}

TEST(ArrayStatementTest, LineAfterArrayIsReadAgain) {
  const ParsedFile parsed(source({"ARRAY a[2] = /* c */", "x = 1 /* d */", "y"}));
  ASSERT_EQ("Stmt(comment) Stmt(comment)", parsed.kinds());
  const auto& arrayNode = parsed.record<StatementRecord>(0);
  EXPECT_EQ(0, arrayNode.startPos);
  EXPECT_EQ(parsed.at("x = 1"), arrayNode.endPos);
  EXPECT_EQ(1, arrayNode.startLine);
  EXPECT_EQ(2, arrayNode.endLine);
  const auto& nextNode = parsed.record<StatementRecord>(1);
  EXPECT_EQ(parsed.at("x = 1"), nextNode.startPos);
  EXPECT_EQ(parsed.at("y"), nextNode.endPos);
  EXPECT_EQ(2, nextNode.startLine);
  EXPECT_EQ(3, nextNode.endLine);
}

TEST(ExitStatementTest, ExitNodeAndFlag) {
  struct Case {
    const char* name;
    std::string text;
    const char* nodes;
    bool exitSeen;
  };
  const std::vector<Case> cases = {
      {"plain EXIT", source({"x = 1", "EXIT"}), "Exit()", true},
      {"EXIT with text and a comment", source({"EXIT 1 /* done */"}), "Exit(comment)", true},
      {"EXIT inside a block", source({"IF (a == 1)", "EXIT"}), "If0(a!=1)(1,1) Exit()", true},
      {"no EXIT", source({"EXITLOOPX = 1", "x = 1"}), "", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ParsedFile parsed(c.text);
    EXPECT_EQ(c.nodes, parsed.kinds());
    EXPECT_EQ(c.exitSeen, parsed.file().exitSeen);
    EXPECT_TRUE(parsed.messages().empty());
  }
}

TEST(ExitStatementTest, NodeCoversTheWholeLine) {
  const ParsedFile parsed(source({"a = 1", "EXIT 1", "b"}));
  ASSERT_EQ("Exit()", parsed.kinds());
  const auto& node = parsed.record<ExitRecord>(0);
  EXPECT_EQ(parsed.at("EXIT"), node.startPos);
  EXPECT_EQ(parsed.at("b"), node.endPos);
  EXPECT_EQ(2, node.startLine);
  EXPECT_EQ(3, node.endLine);
  EXPECT_FALSE(node.notAtEol);
}

}  // namespace
}  // namespace pelc
