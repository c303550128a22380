// Tests of conditional compilation: branch records, skipping and the directive errors.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "preproc/preproc_harness.h"

namespace pelc {
namespace {

using preproc_test::TreeParse;

/// The physical line (from 1) that starts at `position`, or 0 when none does.
int lineStartingAt(const std::string& source, std::int32_t position) {
  int line = 1;
  for (std::size_t i = 0; i < source.size(); ++i) {
    if (static_cast<std::int32_t>(i) == position) return line;
    if (source[i] == '\n') ++line;
  }
  return static_cast<std::int32_t>(source.size()) == position ? line : 0;
}

const char* nameOf(BranchState state) {
  switch (state) {
    case BranchState::Taken: return "taken";
    case BranchState::Skipped: return "skipped";
    case BranchState::InSkippedText: return "unread";
  }
  return "?";
}

/// Nodes as "Kind@startLine", branch records with ":state" and, once skipped,
/// ">L<n>" for the line whose start is skippedEndPos (and that skippedEndLine
/// names); end records with ":closedState".
std::string describe(const TreeParse& parse, const std::string& source) {
  std::string text;
  for (std::size_t i = 0; i < parse.nodes().size(); ++i) {
    const Node& node = parse.nodes()[i];
    const auto& head = *static_cast<const LineHead*>(node.record);
    std::string item;
    switch (node.kind) {
      case NodeKind::Ifdef:
      case NodeKind::IfdefElse: {
        const auto& branch = parse.record<BranchRecord>(i);
        item = (node.kind == NodeKind::Ifdef ? "Ifdef@" : "Else@") +
               std::to_string(branch.startLine) + ":" + nameOf(branch.state);
        if (branch.skippedEndPos != 0) {
          const int line = lineStartingAt(source, branch.skippedEndPos);
          item += ">L" + std::to_string(line);
          if (branch.skippedEndLine != line) item += "!=" + std::to_string(branch.skippedEndLine);
        }
        break;
      }
      case NodeKind::IfdefEnd:
        item = "Endif@" + std::to_string(head.startLine) + ":" +
               nameOf(parse.record<EndifRecord>(i).closedState);
        break;
      case NodeKind::Statement:
        item = "Stmt@" + std::to_string(head.startLine);
        break;
      case NodeKind::Define:
        item = "Define@" + std::to_string(head.startLine);
        break;
      case NodeKind::Silent:
        item = "Silent@" + std::to_string(head.startLine);
        break;
      default:
        item = "Other";
        break;
    }
    text += (text.empty() ? "" : " ") + item;
  }
  return text;
}

TEST(ConditionalsTest, BranchRecords) {
  struct Case {
    const char* label;
    std::string source;
    std::string nodes;
    std::vector<int> messages;
  };
  // Lines with a comment become statement nodes, so they show which lines were not skipped.
  const Case cases[] = {
      {"undefined name skipped",
       "#IFDEF X\nx = 1 /* c */\n#ENDIF\ny = 2 /* d */\n",
       "Ifdef@1:skipped>L3 Endif@3:skipped Stmt@4",
       {}},
      {"IFNDEF of an undefined name taken",
       "#IFNDEF X\nx = 1 /* c */\n#ENDIF\n",
       "Ifdef@1:taken Stmt@2 Endif@3:taken",
       {}},
      {"IFDEF of a defined name taken",
       "#DEFINE X\n#IFDEF X\nx /* c */\n#ENDIF\n",
       "Define@1 Ifdef@2:taken Stmt@3 Endif@4:taken",
       {}},
      {"IFNDEF of a defined name skipped",
       "#DEFINE X 1\n#IFNDEF X\nx /* c */\n#ENDIF\n",
       "Define@1 Ifdef@2:skipped>L4 Endif@4:skipped",
       {}},
      {"ELSE after a skipped branch",
       "#IFDEF X\na /* 1 */\n#ELSE\nb /* 2 */\n#ENDIF\n",
       "Ifdef@1:skipped>L3 Else@3:taken Stmt@4 Endif@5:taken",
       {}},
      {"ELSE after a taken branch",
       "#IFNDEF X\na /* 1 */\n#ELSE\nb /* 2 */\n#ENDIF\n",
       "Ifdef@1:taken Stmt@2 Else@3:skipped>L5 Endif@5:skipped",
       {}},
      {"group inside skipped text",
       "#IFDEF A\n#IFDEF B\n#ELSE\nx /* 1 */\n#ENDIF\ny /* 2 */\n#ENDIF\nz /* 3 */\n",
       "Ifdef@1:skipped>L7 Ifdef@2:unread Else@3:unread Endif@5:unread Endif@7:skipped Stmt@8",
       {}},
      {"skipped group inside a taken one",
       "#IFNDEF A\n#IFDEF B\nx /* 1 */\n#ENDIF\ny /* 2 */\n#ENDIF\n",
       "Ifdef@1:taken Ifdef@2:skipped>L4 Endif@4:skipped Stmt@5 Endif@6:taken",
       {}},
      {"directive names ignore case, macro names do not",
       "#define x\n#ifdef X\na /* 1 */\n#Else\nb /* 2 */\n#endif\n",
       "Define@1 Ifdef@2:skipped>L4 Else@4:taken Stmt@5 Endif@6:taken",
       {}},
      {"directives in skipped text do nothing",
       "#IFDEF A\n#DEFINE B 1\n#UNDEF C\n#INCLUDE nowhere.pmp\nWHILE (x) {\n#ENDIF\n"
       "#IFDEF B\n#ENDIF\n",
       "Ifdef@1:skipped>L6 Endif@6:skipped Ifdef@7:skipped>L8 Endif@8:skipped",
       {}},
      {"a quote in skipped text hides the lines up to the closing quote",
       "#IFDEF A\nx = 'abc\n#ENDIF\n'\n#ENDIF\ny /* 1 */\n",
       "Ifdef@1:skipped>L5 Endif@5:skipped Stmt@6",
       {}},
      {"extra text is a warning only",
       "#IFDEF X junk\n#ELSE more\n#ENDIF trailing\n",
       "Ifdef@1:skipped>L2 Else@2:taken Endif@3:taken",
       {123, 123, 123}},
  };
  for (const Case& c : cases) {
    const TreeParse parse("t.pmp", c.source);
    EXPECT_FALSE(parse.aborted()) << c.label << "\n" << parse.printed();
    EXPECT_EQ(describe(parse, c.source), c.nodes) << c.label;
    EXPECT_EQ(parse.messages(), c.messages) << c.label;
  }
}

TEST(ConditionalsTest, RecordPositions) {
  const std::string source = "a = 1\n#IFDEF X\r\nb = 2\n#ENDIF\n";
  const TreeParse parse("t.pmp", source);
  ASSERT_EQ(parse.nodes().size(), 2u);
  const auto& branch = parse.record<BranchRecord>(0);
  EXPECT_EQ(branch.startPos, 6);
  EXPECT_EQ(branch.endPos, 16);
  EXPECT_EQ(branch.startLine, 2);
  EXPECT_EQ(branch.endLine, 3);
  EXPECT_EQ(branch.skippedEndPos, 22);
  EXPECT_EQ(branch.state, BranchState::Skipped);
  EXPECT_EQ(branch.skippedEndLine, 4);
  const auto& end = parse.record<EndifRecord>(1);
  EXPECT_EQ(end.startPos, 22);
  EXPECT_EQ(end.endPos, 29);
  EXPECT_EQ(end.startLine, 4);
  EXPECT_EQ(end.endLine, 5);
  EXPECT_EQ(end.closedState, BranchState::Skipped);
}

std::string nested(int depth) {
  std::string text;
  for (int i = 0; i < depth; ++i) text += "#IFNDEF N" + std::to_string(i) + "\n";
  for (int i = 0; i < depth; ++i) text += "#ENDIF\n";
  return text;
}

TEST(ConditionalsTest, DirectiveErrors) {
  struct Case {
    const char* label;
    std::string source;
    std::string printed;
    ErrorState errorState;
  };
  const auto report = [](int line, int number) {
    return "t.pmp (" + std::to_string(line) +
           "): Prompt not found: pnum = " + std::to_string(number) + "\n";
  };
  const Case cases[] = {
      {"second ELSE", "#IFDEF X\n#ELSE\n#ELSE\n#ENDIF\n", report(3, 247), ErrorState::Error},
      {"ENDIF without a group", "x = 1\n#ENDIF\n", report(2, 247), ErrorState::Error},
      {"ELSE without a group", "#ELSE\n", report(1, 247), ErrorState::Error},
      {"ENDIF after the group closed", "#IFDEF X\n#ENDIF\n#ENDIF\n", report(3, 247),
       ErrorState::Error},
      {"group left open", "#IFDEF X\nx = 1\n", report(3, 256), ErrorState::Error},
      {"31 nested groups", nested(31), report(31, 248), ErrorState::Error},
      {"name starting with a digit", "#IFDEF 9X\n", report(1, 254), ErrorState::Fatal},
      {"no name", "#IFNDEF   \n", report(1, 254), ErrorState::Fatal},
      {"bad name inside skipped text", "#IFDEF A\n#IFDEF 9X\n#ENDIF\n#ENDIF\n", report(2, 254),
       ErrorState::Fatal},
      {"directive made by expansion", "#DEFINE E #ENDIF\n#IFNDEF X\nE\n", report(3, 247),
       ErrorState::Error},
  };
  for (const Case& c : cases) {
    const TreeParse parse("t.pmp", c.source);
    EXPECT_TRUE(parse.aborted()) << c.label;
    EXPECT_EQ(parse.printed(), c.printed) << c.label;
    EXPECT_EQ(parse.diag().errorState(), c.errorState) << c.label;
  }
}

TEST(ConditionalsTest, ThirtyNestedGroupsAreAllowed) {
  TreeParse parse("t.pmp", nested(30));
  EXPECT_FALSE(parse.aborted());
  EXPECT_EQ(parse.printed(), "");
  EXPECT_EQ(parse.nodes().size(), 60u);
  EXPECT_EQ(parse.file().conditionals.depth(), 0);
  EXPECT_FALSE(parse.file().conditionals.skipping);
}

}  // namespace
}  // namespace pelc
