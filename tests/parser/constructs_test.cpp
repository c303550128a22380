// Tests for the IF/ELSE, WHILE, DO, FOR and SWITCH handlers through whole-file parses.
#include "parser/constructs.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "construct_harness.h"
#include "parser/temporary_names.h"

namespace pelc {
namespace {

using parse_harness::ParsedFile;
using parse_harness::source;

struct NodeCase {
  const char* name;
  std::string text;
  const char* nodes;
  std::vector<int> messages;
};

void expectNodes(const std::vector<NodeCase>& cases) {
  for (const NodeCase& c : cases) {
    SCOPED_TRACE(c.name);
    const ParsedFile parsed(c.text);
    EXPECT_EQ(c.nodes, parsed.kinds());
    EXPECT_EQ(c.messages, parsed.messages());
  }
}

TEST(IfElseConstructTest, NodesAndLabels) {
  expectNodes({
      {"simple body passes through",
       source({"IF (a == 1)", "y = 1", "z = 2"}),
       "If0(a!=1)(1,1)",
       {}},
      {"brace body is labelled",
       source({"IF (a == 1)", "{", "b = 2", "}", "e = 4"}),
       "If3(a!=1)(1,1) Silent Silent IfEnd(1)",
       {}},
      {"IF and ELSE with braces",
       source({"IF (a == 1)", "{", "b = 2", "}", "ELSE", "{", "b = 3", "}", "e = 4"}),
       "If4(a!=1)(1,2) Silent Silent Else(2,1) Silent Silent IfEnd(2)",
       {}},
      {"ELSE with one statement",
       source({"IF (a == 1)", "b = 2", "ELSE", "b = 3", "e = 4"}),
       "If4(a!=1)(1,2) Else(2,1) IfEnd(2)",
       {}},
      {"ELSE IF without final ELSE",
       source({"IF (a == 1)", "x = 1", "ELSE IF (b == 2)", "y = 2", "z = 3"}),
       "If4(a!=1)(1,2) Else(2,1) If1(b==2)(3,3) IfEnd(2)",
       {}},
      {"ELSE IF with final ELSE",
       source({"IF (a == 1)", "x = 1", "ELSE IF(b == 2)", "y = 2", "ELSE", "w = 4", "z = 3"}),
       "If4(a!=1)(1,2) Else(2,1) If4(b!=2)(3,4) Else(4,3) IfEnd(4) IfEnd(2)",
       {}},
      {"ELSE IF with brace body",
       source({"IF (a == 1)", "x = 1", "else if (b == 2)", "{", "y = 2", "}", "z = 3"}),
       "If4(a!=1)(1,2) Else(2,1) If3(b!=2)(3,3) Silent Silent IfEnd(3) IfEnd(2)",
       {}},
      {"block statement body",
       source({"IF (a == 1)", "WHILE (i < 3)", "i = i + 1", "z = 0"}),
       "If3(a!=1)(1,1) While(i<3)(2,3,0) WhileEnd IfEnd(1)",
       {}},
      {"jump body keeps the IF passed through",
       source({"SWITCH (k)", "{", "CASE 1", "IF (a == 1)", "BREAK", "x = 1", "}"}),
       "Switch(k) Silent Case[1](0,0,1) If0(a!=1)(2,2) Break(3) Silent SwitchEnd(1,3)",
       {}},
      {"jump as the ELSE body ends the IF at once",
       source({"WHILE (a)", "{", "IF (b == 1)", "x", "ELSE", "CONTINUE", "y", "}"}),
       "While(a)(1,2,0) Silent If4(b!=1)(3,4) Else(4,3) Goto(1) IfEnd(4) Silent WhileEnd",
       {}},
      {"IF at end of file closes", source({"IF (a == 1)", "y = 1"}), "If0(a!=1)(1,1)", {}},
      {"text after ELSE is dropped",
       source({"IF (a == 1)", "x = 1", "ELSE x = 1", "y = 2"}),
       "If4(a!=1)(1,2) Else(2,1) IfEnd(2)",
       {123}},
      {"ELSE keyword that only starts with IF",
       source({"IF (a == 1)", "x", "ELSE IFFY", "y"}),
       "If4(a!=1)(1,2) Else(2,1) IfEnd(2)",
       {123}},
      {"second ELSE belongs to the outer IF",
       source({"IF (a == 1)", "IF (b == 2)", "x", "ELSE", "y", "ELSE", "z", "w"}),
       "If4(a!=1)(1,4) If4(b!=2)(2,3) Else(3,2) IfEnd(3) Else(4,1) IfEnd(4)",
       {}},
  });
}

TEST(IfElseConstructTest, SyntaxErrors) {
  expectNodes({
      {"body on the IF line", source({"IF (a == 1) y = 1", "z = 2"}), "If0(1,1)", {255}},
      {"empty brace body", source({"IF (a == 1)", "{", "}"}), "If2(a!=1)(1,1) Silent", {255, 255}},
      {"statement after BREAK in braces",
       source({"SWITCH (k)", "{", "CASE 1", "IF (a == 1)", "{", "BREAK", "x = 1", "}", "}"}),
       "Switch(k) Silent Case[1](0,0,1) If3(a!=1)(2,2) Silent Break(3) Silent IfEnd(2) Silent "
       "SwitchEnd(1,3)",
       {255}},
      {"brace after a completed body",
       source({"IF (a == 1)", "x = 1", "{", "y"}),
       "If0(a!=1)(1,1)",
       {255}},
      {"ELSE at top level", source({"ELSE", "x = 1"}), "", {236}},
      {"BREAK without SWITCH", source({"IF (a == 1)", "BREAK"}), "If0(a!=1)(1,1)", {242}},
  });
}

TEST(IfElseConstructTest, EndPositionsAndElseIfSpan) {
  const ParsedFile parsed(source({"IF (a == 1)", "x = 1", "ELSE IF (b == 2)", "{", "y", "}", "z"}));
  ASSERT_EQ("If4(a!=1)(1,2) Else(2,1) If3(b!=2)(3,3) Silent Silent IfEnd(3) IfEnd(2)",
            parsed.kinds());
  const auto& elseNode = parsed.record<ElseRecord>(1);
  EXPECT_EQ(parsed.at("ELSE"), elseNode.startPos);
  EXPECT_EQ(elseNode.startPos, elseNode.endPos);
  EXPECT_EQ(3, elseNode.startLine);
  const auto& innerIf = parsed.record<IfRecord>(2);
  EXPECT_EQ(parsed.at("ELSE"), innerIf.startPos);
  EXPECT_EQ(parsed.after("(b == 2)\n"), innerIf.endPos);
  // Without an ELSE of its own the inner IF can only end when `z` arrives, like the outer one.
  const auto& innerEnd = parsed.record<IfEndRecord>(5);
  EXPECT_EQ(parsed.at("z"), innerEnd.position);
  EXPECT_EQ(7, innerEnd.line);
  EXPECT_EQ(3, innerEnd.headLine);
  const auto& outerEnd = parsed.record<IfEndRecord>(6);
  EXPECT_EQ(parsed.at("z"), outerEnd.position);
  EXPECT_EQ(7, outerEnd.line);
  EXPECT_EQ(1, outerEnd.headLine);
}

TEST(IfElseConstructTest, ElseIfChainDepthLimit) {
  for (int elseIfs : {99, 100}) {
    SCOPED_TRACE(elseIfs);
    std::string text = source({"IF (a == 1)", "x"});
    for (int i = 0; i < elseIfs; ++i) text += source({"ELSE IF (a == 2)", "x"});
    const ParsedFile parsed(text);
    EXPECT_EQ(elseIfs == 100, parsed.aborted());
    EXPECT_EQ(elseIfs == 100 ? std::vector<int>{238} : std::vector<int>{}, parsed.messages());
  }
}

TEST(LoopConstructTest, NodesAndLabels) {
  expectNodes({
      {"WHILE with braces",
       source({"WHILE (i < 10)", "{", "i = i + 1", "}"}),
       "While(i<10)(1,2,0) Silent Silent WhileEnd",
       {}},
      {"WHILE jumps",
       source({"WHILE (a)", "{", "CONTINUE", "EXITLOOP", "CONTINUE", "}"}),
       "While(a)(1,2,3) Silent Goto(1) Goto(3) Goto(1) Silent WhileEnd",
       {}},
      {"WHILE with a jump as its body",
       source({"WHILE (a)", "EXITLOOP", "x = 1"}),
       "While(a)(1,2,3) Goto(3) WhileEnd",
       {}},
      {"DO jumps",
       source({"DO", "{", "CONTINUE", "EXITLOOP", "CONTINUE", "}", "WHILE (a)"}),
       "Do(1,2,3) Silent Goto(2) Goto(3) Goto(2) Silent DoEnd(a)",
       {}},
      {"DO with one statement",
       source({"DO", "x = x + 1", "WHILE (x < 5)"}),
       "Do(1,0,0) DoEnd(x<5)",
       {}},
      {"DO with empty body", source({"DO", "WHILE (x)", "y = 1"}), "Do(1,0,0) DoEnd(x)", {}},
      {"DO brace closed on the WHILE line",
       source({"DO", "{", "x = x + 1", "} WHILE (x < 5)"}),
       "Do(1,0,0) Silent Silent DoEnd(x<5)",
       {}},
      {"WHILE loop inside DO braces",
       source({"DO", "{", "WHILE (a)", "x = 1", "}", "WHILE (b)"}),
       "Do(1,0,0) Silent While(a)(2,3,0) WhileEnd Silent DoEnd(b)",
       {}},
      {"text after DO", source({"DO x", "y = 1", "WHILE (a)"}), "Do(1,0,0) DoEnd(a)", {123}},
      {"DO jump as its body",
       source({"DO", "CONTINUE", "WHILE (a)"}),
       "Do(1,2,0) Goto(2) DoEnd(a)",
       {}},
      {"FOR with all parts",
       source({"FOR (i = 0; i < 3; i = i + 1)", "{", "s = s + i", "}"}),
       "For[i=0|i<3|i=i+1](1,0,2,0) Silent Silent ForEnd",
       {}},
      {"FOR jumps",
       source({"FOR (i = 0; i < 3; i = i + 1)", "{", "CONTINUE", "EXITLOOP", "CONTINUE", "}"}),
       "For[i=0|i<3|i=i+1](1,3,2,4) Silent Goto(3) Goto(4) Goto(3) Silent ForEnd",
       {}},
      {"FOR without parts",
       source({"FOR (;;)", "EXITLOOP"}),
       "For[|-|-](0,0,1,2) Goto(2) ForEnd",
       {}},
      {"FOR with one statement",
       source({"FOR (; i;)", "x = 1", "y = 2"}),
       "For[|i|-](1,0,2,0) ForEnd",
       {}},
      {"CONTINUE through an IF",
       source({"FOR (;;)", "{", "IF (a == 1)", "CONTINUE", "}"}),
       "For[|-|-](0,3,1,0) Silent If0(a!=1)(2,2) Goto(3) Silent ForEnd",
       {}},
      {"CONTINUE and EXITLOOP through a SWITCH",
       source({"WHILE (a)", "{", "SWITCH (k)", "{", "CASE 1", "CONTINUE", "EXITLOOP", "}", "}"}),
       "While(a)(1,2,4) Silent Switch(k) Silent Case[1](0,0,3) Goto(1) Goto(4) Silent "
       "SwitchEnd(3,0) Silent WhileEnd",
       {}},
      {"BREAK through a WHILE",
       source({"SWITCH (k)", "{", "CASE 1", "WHILE (a)", "BREAK", "}"}),
       "Switch(k) Silent Case[1](0,0,1) While(a)(2,3,0) Break(4) WhileEnd Silent SwitchEnd(1,4)",
       {}},
  });
}

TEST(LoopConstructTest, SyntaxErrors) {
  expectNodes({
      {"BREAK in a WHILE without SWITCH",
       source({"WHILE (a)", "BREAK"}),
       "While(a)(1,2,0) WhileEnd",
       {242}},
      {"CONTINUE in a SWITCH without loop",
       source({"SWITCH (k)", "{", "CASE 1", "CONTINUE", "}"}),
       "Switch(k) Silent Case[1](0,0,1) Silent SwitchEnd(1,0)",
       {242}},
      {"WHILE without condition stays open",
       source({"WHILE", "x = 1"}),
       "While(1,2,0) WhileEnd",
       {255}},
      {"DO that never sees its WHILE", source({"DO", "x = 1"}), "Do(1,0,0)", {255}},
      {"DO with a statement after its body",
       source({"DO", "x = 1", "y = 2", "WHILE (a)"}),
       "Do(1,0,0) DoEnd(a)",
       {255}},
      {"empty DO braces",
       source({"DO", "{", "}", "x", "}", "WHILE (a)"}),
       "Do(1,0,0) Silent Silent DoEnd(a)",
       {255}},
      {"FOR with text after the head",
       source({"FOR (i = 0;;) x", "y = 1"}),
       "For[i=0|-|-](0,0,1,0) ForEnd",
       {255}},
      {"FOR with a semicolon inside parentheses",
       source({"FOR (i = f(a;b); i; i)", "y = 1"}),
       "For[-|-|-](0,0,1,0) ForEnd",
       {255}},
      {"FOR brace body open at the end",
       source({"FOR (;;)", "{", "x"}),
       "For[|-|-](0,0,1,0) Silent",
       {255}},
  });
}

TEST(LoopConstructTest, EndPositions) {
  struct Case {
    const char* name;
    std::string text;
    std::size_t endNode;
    const char* endsBefore;  // the end is placed before this text, or
    const char* endsAfter;   // after this one
    int line;
  };
  const std::vector<Case> cases = {
      {"WHILE closing brace", source({"WHILE (a)", "{", "x", "}", "y"}), 3, nullptr, "}\n", 5},
      {"WHILE single statement", source({"WHILE (a)", "x", "y"}), 1, "y", nullptr, 3},
      {"WHILE jump body", source({"WHILE (a)", "CONTINUE", "y"}), 2, nullptr, "CONTINUE\n", 3},
      {"FOR closing brace", source({"FOR (;;)", "{", "x", "}", "y"}), 3, nullptr, "}\n", 5},
      {"FOR single statement", source({"FOR (;;)", "x", "y"}), 1, "y", nullptr, 3},
      {"FOR jump body", source({"FOR (;;)", "EXITLOOP", "y"}), 2, nullptr, "EXITLOOP\n", 3},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const ParsedFile parsed(c.text);
    ASSERT_LT(c.endNode, parsed.nodes().size());
    const auto& end = *static_cast<const EndHead*>(parsed.nodes()[c.endNode].record);
    EXPECT_EQ(c.endsBefore ? parsed.at(c.endsBefore) : parsed.after(c.endsAfter), end.position);
    EXPECT_EQ(c.line, end.line);
    EXPECT_EQ(1, end.headLine);
  }
}

TEST(LoopConstructTest, EndNodesReferToTheirHeads) {
  const ParsedFile parsed(source({"DO", "WHILE (x)", "WHILE (y)", "z", "FOR (;;)", "z", "q"}));
  ASSERT_EQ("Do(1,0,0) DoEnd(x) While(y)(2,3,0) WhileEnd For[|-|-](0,0,4,0) ForEnd",
            parsed.kinds());
  EXPECT_EQ(&parsed.record<DoRecord>(0), parsed.record<DoEndRecord>(1).loop);
  EXPECT_EQ(&parsed.record<WhileRecord>(2), parsed.record<WhileEndRecord>(3).loop);
  EXPECT_EQ(&parsed.record<ForRecord>(4), parsed.record<ForEndRecord>(5).loop);
  // The DO's closing WHILE line is replaced by its test.
  const auto& doEnd = parsed.record<DoEndRecord>(1);
  EXPECT_EQ(parsed.at("WHILE (x)"), doEnd.startPos);
  EXPECT_EQ(parsed.after("WHILE (x)\n"), doEnd.endPos);
}

TEST(SwitchConstructTest, NodesAndLabels) {
  expectNodes({
      {"sections with BREAK, range and DEFAULT",
       source({"SWITCH (x)", "{", "CASE 1", "s1", "BREAK", "CASE 2:5", "s2", "DEFAULT", "s3", "}"}),
       "Switch(x) Silent Case[1](0,0,1) Break(2) Case[2:5](0,1,3) Default(3) Silent "
       "SwitchEnd(0,2)",
       {}},
      {"CASE directly after CASE",
       source({"SWITCH (x)", "{", "CASE 1", "CASE 2", "s", "}"}),
       "Switch(x) Silent Case[1](0,0,1) Case[2](3,1,2) Silent SwitchEnd(2,0)",
       {}},
      {"DEFAULT without BREAK ends silently",
       source({"SWITCH (x)", "{", "CASE 1", "s", "DEFAULT", "t", "}"}),
       "Switch(x) Silent Case[1](0,0,1) Default(1) Silent",
       {}},
      {"BREAK in DEFAULT",
       source({"SWITCH (x)", "{", "DEFAULT", "BREAK", "}"}),
       "Switch(x) Silent Default(0) Break(1) Silent SwitchEnd(0,1)",
       {}},
      {"two BREAKs share a label",
       source({"SWITCH (x)", "{", "CASE 1", "BREAK", "CASE 2", "BREAK", "}"}),
       "Switch(x) Silent Case[1](0,0,1) Break(2) Case[2](0,1,3) Break(2) Silent SwitchEnd(3,2)",
       {}},
      {"quoted colon is one value",
       source({"SWITCH (c)", "{", "CASE \"a:b\"", "}"}),
       "Switch(c) Silent Case[\"a:b\"](0,0,1) Silent SwitchEnd(1,0)",
       {}},
      {"blanks dropped from values",
       source({"SWITCH (c)", "{", "CASE  f( 1 ) : 2 + 3", "}"}),
       "Switch(c) Silent Case[f(1):2+3](0,0,1) Silent SwitchEnd(1,0)",
       {}},
  });
}

TEST(SwitchConstructTest, SyntaxErrors) {
  expectNodes({
      {"second colon",
       source({"SWITCH (x)", "{", "CASE 1:2:3", "s", "}"}),
       "Switch(x) Silent Case[1:2](0,0,1) Silent SwitchEnd(1,0)",
       {255}},
      {"empty high value",
       source({"SWITCH (x)", "{", "CASE 1:", "}"}),
       "Switch(x) Silent Case[1](0,0,1) Silent SwitchEnd(1,0)",
       {255}},
      {"CASE without value",
       source({"SWITCH (x)", "{", "CASE", "}"}),
       "Switch(x) Silent Case[](0,0,1) Silent SwitchEnd(1,0)",
       {255}},
      {"statement before the first CASE",
       source({"SWITCH (x)", "{", "s", "CASE 1", "}"}),
       "Switch(x) Silent Case[1](0,0,1) Silent SwitchEnd(1,0)",
       {255}},
      {"CASE after DEFAULT",
       source({"SWITCH (x)", "{", "DEFAULT", "CASE 1", "}"}),
       "Switch(x) Silent Default(0) Silent",
       {255}},
      {"statement after BREAK",
       source({"SWITCH (x)", "{", "CASE 1", "BREAK", "s", "}"}),
       "Switch(x) Silent Case[1](0,0,1) Break(2) Silent SwitchEnd(1,2)",
       {255}},
      {"CASE outside SWITCH", source({"CASE 1"}), "", {236}},
  });
}

TEST(SwitchConstructTest, DepthDecidesTheTemporary) {
  ParsedFile parsed(source({"SWITCH (a)", "{", "CASE 1", "SWITCH (b)", "{", "DEFAULT", "}", "}",
                            "SWITCH (c)", "{", "DEFAULT", "}"}));
  ASSERT_EQ(
      "Switch(a) Silent Case[1](0,0,1) Switch(b) Silent Default(0) Silent Silent "
      "SwitchEnd(1,0) Switch(c) Silent Default(0) Silent",
      parsed.kinds());
  const std::string outer = temporaryName(ParsedFile::kPath, 1);
  EXPECT_EQ(outer, parsed.record<SwitchRecord>(0).temporaryName);
  EXPECT_EQ(temporaryName(ParsedFile::kPath, 2), parsed.record<SwitchRecord>(3).temporaryName);
  EXPECT_NE(outer, parsed.record<SwitchRecord>(3).temporaryName);
  EXPECT_EQ(outer, parsed.record<SwitchRecord>(9).temporaryName);
  EXPECT_EQ(2, parsed.file().maxSwitchDepth);
  EXPECT_EQ(&parsed.record<SwitchRecord>(0), parsed.record<CaseRecord>(2).owner);
}

TEST(SwitchConstructTest, EndIsPlacedAfterTheClosingBrace) {
  const ParsedFile parsed(source({"SWITCH (x)", "{", "CASE 1", "}", "y"}));
  ASSERT_EQ("Switch(x) Silent Case[1](0,0,1) Silent SwitchEnd(1,0)", parsed.kinds());
  const auto& end = parsed.record<SwitchEndRecord>(4);
  EXPECT_EQ(parsed.after("}\n"), end.position);
  EXPECT_EQ(5, end.line);
  EXPECT_EQ(1, end.headLine);
}

TEST(OpenBlockLimitTest, HundredOpenBlocks) {
  for (const char* innermost : {"WHILE (a)", "ARRAY a[1]", "x = 1"}) {
    SCOPED_TRACE(innermost);
    std::string text;
    for (int i = 0; i < 100; ++i) text += source({"IF (a == 1)"});
    text += source({innermost});
    const ParsedFile parsed(text);
    const bool opensBlock = std::string(innermost) != "x = 1";
    EXPECT_EQ(opensBlock ? std::vector<int>{238} : std::vector<int>{}, parsed.messages());
  }
}

// The table and the handlers must agree; an action that a construct does not take is a fault.
TEST(ConstructEventTest, UnknownEventIsFatal) {
  struct Case {
    const char* name;
    BlockHandler head;
    EventHandler handler;
    const char* headRest;
  };
  const std::vector<Case> cases = {
      {"DO", doHead, doEvent, ""},
      {"FOR", forHead, loopEvent, "(;;)"},
      {"IF", ifHead, ifEvent, "(a)"},
      {"SWITCH", switchHead, switchEvent, "(a)"},
      {"WHILE", whileHead, loopEvent, "(a)"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ParsedFile parsed("");
    Parser parser(parsed.file());
    parser.blocks().push(parser.diag(), 1);
    c.head(parser, c.headRest, {}, false);
    int token = kTokenOther;
    EXPECT_THROW(c.handler(parser, BlockAction::None, token, "", ""), AbortFile);
    EXPECT_EQ(std::vector<int>{239}, parsed.messages());
  }
}

}  // namespace
}  // namespace pelc
