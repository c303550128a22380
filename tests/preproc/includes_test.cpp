// Tests of #INCLUDE: the search, the records, nesting and the file names in messages.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "preproc/preproc_harness.h"

namespace pelc {
namespace {

using preproc_test::TreeFile;
using preproc_test::TreeParse;

/// The foundPath of every IncludeNode, in order.
std::vector<std::string> includedPaths(const TreeParse& parse) {
  std::vector<std::string> paths;
  for (std::size_t i = 0; i < parse.nodes().size(); ++i) {
    if (parse.nodes()[i].kind == NodeKind::Include) {
      paths.push_back(parse.record<IncludeRecord>(i).foundPath);
    }
  }
  return paths;
}

TEST(IncludesTest, SearchOrder) {
  struct Case {
    const char* label;
    std::string queued;
    std::string directive;
    std::vector<TreeFile> tree;
    std::vector<std::string> includeOptions;
    std::string foundPath;
    std::string displayText;
  };
  const Case cases[] = {
      {"queued file's directory",
       "src/main.pmp",
       "#INCLUDE defs.pmp\n",
       {{"src/defs.pmp", "a = 1\n"}, {"defs.pmp", "b = 1\n"}},
       {},
       "src/defs.pmp",
       "<defs.pmp>"},
      {"bare queued name searches dot",
       "main.pmp",
       "#INCLUDE defs.pmp\n",
       {{"./defs.pmp", ""}},
       {},
       "./defs.pmp",
       "<defs.pmp>"},
      {"backslashes and surrounding blanks",
       "src/main.pmp",
       "#INCLUDE  sub\\x.pmp  \t\n",
       {{"src/sub/x.pmp", ""}},
       {},
       "src/sub/x.pmp",
       "<sub/x.pmp>"},
      {"blanks inside the name stay",
       "src/main.pmp",
       "#INCLUDE my file.pmp\n",
       {{"src/my file.pmp", ""}},
       {},
       "src/my file.pmp",
       "<my file.pmp>"},
      {"absolute name as it stands",
       "src/main.pmp",
       "#INCLUDE /lib/x.pmp\n",
       {{"/lib/x.pmp", ""}, {"src/lib/x.pmp", ""}},
       {},
       "/lib/x.pmp",
       "</lib/x.pmp>"},
      {"queued directory before -I",
       "src/main.pmp",
       "#INCLUDE x.pmp\n",
       {{"src/x.pmp", ""}, {"first/x.pmp", ""}},
       {"-Ifirst"},
       "src/x.pmp",
       "<x.pmp>"},
      {"-I in command-line order",
       "src/main.pmp",
       "#INCLUDE x.pmp\n",
       {{"first/x.pmp", ""}, {"second/x.pmp", ""}},
       {"-Ifirst", "-Isecond"},
       "first/x.pmp",
       "<x.pmp>"},
      {"later -I when the earlier lacks the file",
       "src/main.pmp",
       "#INCLUDE x.pmp\n",
       {{"second/x.pmp", ""}},
       {"-Ifirst", "-Isecond"},
       "second/x.pmp",
       "<x.pmp>"},
  };
  for (const Case& c : cases) {
    const TreeParse parse(c.queued, c.directive, c.tree, c.includeOptions);
    ASSERT_FALSE(parse.aborted()) << c.label << "\n" << parse.printed();
    ASSERT_EQ(parse.nodes().size(), 2u) << c.label;
    ASSERT_EQ(parse.nodes()[0].kind, NodeKind::Include) << c.label;
    EXPECT_EQ(parse.nodes()[1].kind, NodeKind::IncludeEnd) << c.label;
    const auto& record = parse.record<IncludeRecord>(0);
    EXPECT_EQ(record.foundPath, c.foundPath) << c.label;
    EXPECT_EQ(record.displayText, c.displayText) << c.label;
    EXPECT_EQ(parse.printed(), "") << c.label;
  }
}

TEST(IncludesTest, RecordsOfTheIncludeAndItsEnd) {
  const std::string included = "a = 1\nb = 2\n";
  const TreeParse parse("src/main.pmp", "x = 0\n#INCLUDE defs.pmp\r\ny = 3\n",
                        {{"src/defs.pmp", included}});
  ASSERT_EQ(parse.nodes().size(), 2u);
  const auto& record = parse.record<IncludeRecord>(0);
  EXPECT_EQ(record.startPos, 6);
  EXPECT_EQ(record.endPos, 25);
  EXPECT_EQ(record.startLine, 2);
  EXPECT_EQ(record.endLine, 3);
  EXPECT_EQ(parse.record<IncludeEndRecord>(1).eofPosition,
            static_cast<std::int32_t>(included.size()));
}

TEST(IncludesTest, NoNameOrNoFile) {
  struct Case {
    const char* label;
    std::string source;
    std::string printed;
    bool aborted;
  };
  const Case cases[] = {
      {"no name: warning and a silent node", "#INCLUDE   \n",
       "src/main.pmp (1): Prompt not found: pnum = 122\n", false},
      {"not found", "x = 1\n#INCLUDE none.pmp\n",
       "src/main.pmp (2): Prompt not found: pnum = 211\n", true},
      {"quotes are part of the name", "#INCLUDE \"x.pmp\"\n",
       "src/main.pmp (1): Prompt not found: pnum = 211\n", true},
      {"angle brackets are part of the name", "#INCLUDE <x.pmp>\n",
       "src/main.pmp (1): Prompt not found: pnum = 211\n", true},
  };
  for (const Case& c : cases) {
    const TreeParse parse("src/main.pmp", c.source, {{"src/x.pmp", ""}});
    EXPECT_EQ(parse.printed(), c.printed) << c.label;
    EXPECT_EQ(parse.aborted(), c.aborted) << c.label;
    if (!c.aborted) {
      ASSERT_EQ(parse.nodes().size(), 1u) << c.label;
      EXPECT_EQ(parse.nodes()[0].kind, NodeKind::Silent) << c.label;
    }
  }
}

TEST(IncludesTest, NestedNamesResolveAgainstTheQueuedFile) {
  const TreeParse parse("src/main.pmp", "#INCLUDE lib/a.pmp\n",
                        {{"src/lib/a.pmp", "#INCLUDE b.pmp\n"},
                         {"src/lib/b.pmp", "wrong = 1\n"},
                         {"src/b.pmp", "right = 1\n"}});
  EXPECT_FALSE(parse.aborted()) << parse.printed();
  EXPECT_EQ(includedPaths(parse), (std::vector<std::string>{"src/lib/a.pmp", "src/b.pmp"}));
  ASSERT_EQ(parse.nodes().size(), 4u);
  EXPECT_EQ(parse.nodes()[2].kind, NodeKind::IncludeEnd);
  EXPECT_EQ(parse.nodes()[3].kind, NodeKind::IncludeEnd);
}

// A name is searched for once per compiled file; every later #INCLUDE of it, from
// any file and however spelled, must still find what the search found.
TEST(IncludesTest, RepeatedNamesFindTheSameFiles) {
  const TreeParse parse("src/main.pmp",
                        "#INCLUDE a.pmp\n#INCLUDE b.pmp\n#INCLUDE  a.pmp \t\n#INCLUDE "
                        "sub\\c.pmp\n#INCLUDE sub/c.pmp\n",
                        {{"src/a.pmp", "#INCLUDE b.pmp\n"},
                         {"src/b.pmp", "b = 1\n"},
                         {"src/sub/c.pmp", "c = 1\n"},
                         {"first/b.pmp", "wrong = 1\n"}},
                        {"-Ifirst"});
  EXPECT_FALSE(parse.aborted()) << parse.printed();
  EXPECT_EQ(includedPaths(parse),
            (std::vector<std::string>{"src/a.pmp", "src/b.pmp", "src/b.pmp", "src/a.pmp",
                                      "src/b.pmp", "src/sub/c.pmp", "src/sub/c.pmp"}));
}

/// src/i0.pmp includes i1.pmp, which includes i2.pmp, ... up to i<levels>.pmp.
std::vector<TreeFile> includeChain(int levels) {
  std::vector<TreeFile> tree;
  for (int i = 1; i <= levels; ++i) {
    const std::string next = i < levels ? "#INCLUDE i" + std::to_string(i + 1) + ".pmp\n" : "";
    tree.push_back({"src/i" + std::to_string(i) + ".pmp", next});
  }
  return tree;
}

TEST(IncludesTest, NestingLimit) {
  struct Case {
    const char* label;
    int levels;
    std::string printed;
  };
  const Case cases[] = {
      {"ten levels", 10, ""},
      {"eleventh level", 11, "src/i10.pmp (1): Prompt not found: pnum = 248\n"},
  };
  for (const Case& c : cases) {
    const TreeParse parse("src/i0.pmp", "#INCLUDE i1.pmp\n", includeChain(c.levels));
    EXPECT_EQ(parse.printed(), c.printed) << c.label;
    EXPECT_EQ(parse.aborted(), !c.printed.empty()) << c.label;
    if (c.printed.empty()) {
      EXPECT_EQ(includedPaths(parse).size(), 10u) << c.label;
    }
  }
}

TEST(IncludesTest, MessagesNameTheFileAndLineTheyComeFrom) {
  const TreeParse parse("src/main.pmp", "#INCLUDE defs.pmp\nWHILE (b) {\nBREAK\n}\n",
                        {{"src/defs.pmp", "x = 1\nWHILE (a) {\nBREAK\n}\n"}});
  EXPECT_EQ(parse.printed(),
            "src/defs.pmp (3): Prompt not found: pnum = 242\n"
            "src/main.pmp (3): Prompt not found: pnum = 242\n");
  EXPECT_EQ(parse.diag().currentFileName(), std::optional<std::string>("src/main.pmp"));
}

TEST(IncludesTest, IncludedFileEndingWithoutLineEnd) {
  const std::string main = "#INCLUDE a.pmp\ny = 2 /* d */\n";
  const TreeParse parse("src/main.pmp", main, {{"src/a.pmp", "w = 0\nx = 1 /* c */"}});
  ASSERT_FALSE(parse.aborted()) << parse.printed();
  ASSERT_EQ(parse.nodes().size(), 4u);
  const auto& inner = parse.record<StatementRecord>(1);
  EXPECT_EQ(inner.startLine, 2);
  EXPECT_EQ(inner.startPos, 6);
  EXPECT_EQ(inner.endPos, 19);
  EXPECT_TRUE(inner.notAtEol);
  EXPECT_EQ(parse.nodes()[2].kind, NodeKind::IncludeEnd);
  const auto& outer = parse.record<StatementRecord>(3);
  EXPECT_EQ(outer.startLine, 2) << "the including file's lines go on after the #INCLUDE";
  EXPECT_EQ(outer.startPos, 15);
  EXPECT_EQ(outer.endPos, static_cast<std::int32_t>(main.size()));
}

TEST(IncludesTest, ConditionalsAndMacrosAcrossFiles) {
  struct Case {
    const char* label;
    std::string main;
    std::string included;
    std::string printed;
  };
  const Case cases[] = {
      {"group left open in the included file", "#INCLUDE a.pmp\n", "#IFDEF X\n",
       "src/a.pmp (2): Prompt not found: pnum = 256\n"},
      {"including file's group cannot be closed inside", "#IFNDEF X\n#INCLUDE a.pmp\n#ENDIF\n",
       "#ENDIF\n", "src/a.pmp (1): Prompt not found: pnum = 247\n"},
      {"including file's ELSE cannot be given inside", "#IFNDEF X\n#INCLUDE a.pmp\n#ENDIF\n",
       "#ELSE\n", "src/a.pmp (1): Prompt not found: pnum = 247\n"},
      {"a definition stays in force after the include",
       "#INCLUDE a.pmp\n#IFNDEF Y\n#INCLUDE missing.pmp\n#ENDIF\n", "#DEFINE Y 1\n", ""},
  };
  for (const Case& c : cases) {
    const TreeParse parse("src/main.pmp", c.main, {{"src/a.pmp", c.included}});
    EXPECT_EQ(parse.printed(), c.printed) << c.label;
    EXPECT_EQ(parse.aborted(), !c.printed.empty()) << c.label;
  }
}

}  // namespace
}  // namespace pelc
