// Tests of the block stack's limit and of the jump target search with its labels.
#include "parser/block_stack.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "preproc/preproc_harness.h"

namespace pelc {
namespace {

using preproc_test::TreeParse;

TEST(BlockStackTest, HoldsAHundredOpenBlocks) {
  std::ostringstream out;
  Diagnostics diag(out);
  diag.setCurrentFileName("b.pmp");
  BlockStack blocks;
  EXPECT_FALSE(blocks.anyBlockOpen());
  for (int i = 1; i <= kMaxOpenBlocks; ++i) {
    BlockEntry& entry = blocks.push(diag, i);
    entry.kind = BlockKind::If;
  }
  EXPECT_EQ(blocks.nestingDepth(), 100);
  EXPECT_EQ(out.str(), "");
  EXPECT_THROW(blocks.push(diag, 101), AbortFile);
  EXPECT_EQ(out.str(), "b.pmp (101): Prompt not found: pnum = 238\n");
  EXPECT_EQ(blocks.nestingDepth(), 100);
  EXPECT_EQ(blocks.below(100).kind, BlockKind::Base) << "the base entry stays at the bottom";

  blocks.pop();
  EXPECT_EQ(blocks.nestingDepth(), 99);
  blocks.reset();
  EXPECT_FALSE(blocks.anyBlockOpen());
  EXPECT_EQ(blocks.top().kind, BlockKind::Base);
}

TEST(BlockStackTest, NestingLimitInASource) {
  struct Case {
    const char* label;
    int depth;
    std::string printed;
  };
  const Case cases[] = {
      {"a hundred nested loops", 100, ""},
      {"the 101st", 101, "t.pmp (101): Prompt not found: pnum = 238\n"},
  };
  for (const Case& c : cases) {
    std::string source;
    for (int i = 0; i < c.depth; ++i) source += "WHILE (a) {\n";
    source += "x = 1\n";  // an empty brace body is not allowed
    for (int i = 0; i < c.depth; ++i) source += "}\n";
    const TreeParse parse("t.pmp", source);
    EXPECT_EQ(parse.printed(), c.printed) << c.label;
    EXPECT_EQ(parse.aborted(), !c.printed.empty()) << c.label;
  }
}

TEST(LabelCounterTest, AllocatesInOrderAndOnDemandOnce) {
  LabelCounter labels;
  EXPECT_EQ(labels.allocate(), 1);
  std::int32_t field = 0;
  EXPECT_EQ(labels.onDemand(field), 2);
  EXPECT_EQ(labels.onDemand(field), 2);
  EXPECT_EQ(labels.allocate(), 3);
  std::int32_t preset = 9;
  EXPECT_EQ(labels.onDemand(preset), 9);
  EXPECT_EQ(labels.next(), 4);
}

/// Loop and switch heads with their labels as they stand after the parse, and
/// the jumps: "Goto(n)" for loop jumps, "Break(n)" for switch breaks.
std::string jumps(const TreeParse& parse) {
  std::string text;
  const auto add = [&text](const std::string& item) { text += (text.empty() ? "" : " ") + item; };
  const auto n = [](std::int32_t label) { return std::to_string(label); };
  for (std::size_t i = 0; i < parse.nodes().size(); ++i) {
    switch (parse.nodes()[i].kind) {
      case NodeKind::While: {
        const auto& r = parse.record<WhileRecord>(i);
        add("While(" + n(r.testLabel) + "," + n(r.topLabel) + "," + n(r.exitLabel) + ")");
        break;
      }
      case NodeKind::Do: {
        const auto& r = parse.record<DoRecord>(i);
        add("Do(" + n(r.topLabel) + "," + n(r.continueLabel) + "," + n(r.exitLabel) + ")");
        break;
      }
      case NodeKind::For: {
        const auto& r = parse.record<ForRecord>(i);
        add("For(" + n(r.testLabel) + "," + n(r.continueLabel) + "," + n(r.topLabel) + "," +
            n(r.exitLabel) + ")");
        break;
      }
      case NodeKind::Switch:
        add("Switch(" + n(parse.record<SwitchRecord>(i).breakLabel) + ")");
        break;
      case NodeKind::If:
        add("If");
        break;
      case NodeKind::Goto:
        add("Goto(" + n(parse.record<GotoRecord>(i).targetLabel) + ")");
        break;
      case NodeKind::SwitchBreak:
        add("Break(" + n(parse.record<SwitchBreakRecord>(i).breakLabel) + ")");
        break;
      default:
        break;
    }
  }
  return text;
}

std::string lines(std::initializer_list<const char*> text) {
  std::string joined;
  for (const char* line : text) joined += std::string(line) + "\n";
  return joined;
}

TEST(JumpTargetTest, JumpsFindTheirBlock) {
  struct Case {
    const char* label;
    std::string source;
    std::string jumps;
    std::string printed;
  };
  const std::string noTarget3 = "t.pmp (3): Prompt not found: pnum = 242\n";
  const Case cases[] = {
      {"BREAK through a WHILE to the SWITCH",
       lines({"SWITCH (x) {", "CASE 1", "WHILE (a) {", "BREAK", "}", "}"}),
       "Switch(4) While(2,3,0) Break(4)", ""},
      {"BREAK as a WHILE's single statement inside a SWITCH",
       lines({"SWITCH (x) {", "CASE 1", "WHILE (a)", "BREAK", "y = 1", "}"}),
       "Switch(4) While(2,3,0) Break(4)", ""},
      {"BREAK in a WHILE without SWITCH", lines({"x = 1", "WHILE (a) {", "BREAK", "}"}),
       "While(1,2,0)", noTarget3},
      {"CONTINUE in a SWITCH without loop", lines({"SWITCH (x) {", "CASE 1", "CONTINUE", "}"}),
       "Switch(0)", noTarget3},
      {"EXITLOOP in an IF without loop", lines({"x = 1", "IF (a) {", "EXITLOOP", "}"}), "If",
       noTarget3},
      {"BREAK in an IF inside a loop", lines({"DO {", "IF (a) {", "BREAK", "}", "}", "WHILE (b)"}),
       "Do(1,0,0) If", noTarget3},
      {"CONTINUE through an IF to the FOR",
       lines({"FOR (i = 0; i < 3; i++) {", "IF (a) {", "CONTINUE", "}", "}"}),
       "For(1,4,2,0) If Goto(4)", ""},
      {"CONTINUE and EXITLOOP through a SWITCH to the WHILE",
       lines({"WHILE (a) {", "SWITCH (x) {", "CASE 1", "CONTINUE", "CASE 2", "EXITLOOP", "}", "}"}),
       // CASE 2 takes the next label 4 and, since CASE 1 falls through, label 5.
       "While(1,2,6) Switch(0) Goto(1) Goto(6)", ""},
      {"two CONTINUEs in a DO share one label",
       lines({"DO {", "IF (a) {", "CONTINUE", "}", "IF (b) {", "CONTINUE", "}", "}", "WHILE (c)"}),
       "Do(1,3,0) If Goto(3) If Goto(3)", ""},
      {"a DO without CONTINUE takes no continue label",
       lines({"DO {", "x = 1", "}", "WHILE (c)", "WHILE (d) {", "y = 2", "}"}),
       "Do(1,0,0) While(2,3,0)", ""},
      {"EXITLOOP through an IF to the DO",
       lines({"DO {", "IF (a) {", "EXITLOOP", "}", "IF (b) {", "EXITLOOP", "}", "}", "WHILE (c)"}),
       "Do(1,0,3) If Goto(3) If Goto(3)", ""},
      {"the innermost loop is the target",
       lines({"WHILE (a) {", "FOR (;;) {", "SWITCH (x) {", "CASE 1", "CONTINUE", "}", "}", "}"}),
       "While(1,2,0) For(0,5,3,0) Switch(0) Goto(5)", ""},
      {"the innermost SWITCH is the target",
       lines({"SWITCH (x) {", "CASE 1", "SWITCH (y) {", "CASE 2", "DO {", "BREAK", "}", "WHILE (c)",
              "}", "}"}),
       "Switch(0) Switch(4) Do(3,0,0) Break(4)", ""},
  };
  for (const Case& c : cases) {
    const TreeParse parse("t.pmp", c.source);
    EXPECT_FALSE(parse.aborted()) << c.label;
    EXPECT_EQ(jumps(parse), c.jumps) << c.label;
    EXPECT_EQ(parse.printed(), c.printed) << c.label;
    EXPECT_EQ(parse.diag().errorState(), c.printed.empty() ? ErrorState::None : ErrorState::Error)
        << c.label;
  }
}

}  // namespace
}  // namespace pelc
