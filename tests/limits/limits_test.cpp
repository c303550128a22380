// Every fixed capacity of the compiler, reached and then crossed by whole runs.
//
// The last accepted size compiles; one more gives its numbered message and no output file.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "limits/isolated_run.h"

namespace pelc::limits {
namespace {

/// `count` lines, the i-th (from 0) made by `line`, each ended by a line feed.
std::string numberedLines(int count, const std::function<std::string(int)>& line) {
  std::string text;
  for (int i = 0; i < count; ++i) text += line(i) + "\n";
  return text;
}

std::string repeated(const std::string& piece, int count) {
  std::string text;
  for (int i = 0; i < count; ++i) text += piece;
  return text;
}

std::string message(const std::string& prefix, int number) {
  return prefix + "Prompt not found: pnum = " + std::to_string(number) + "\n";
}

std::string at(const std::string& file, int line, int number) {
  return message(file + " (" + std::to_string(line) + "): ", number);
}

const std::string kHeader = "p/x.pmp:\n";
const std::vector<std::string> kArgs = {"-X", "p/x"};

struct LimitCase {
  const char* label;
  Tree files;
  std::vector<std::string> args;
  int status;
  std::string printed;
  /// Output files whose bytes are checked.
  Tree outputs;
  /// How many .pml files the run leaves in total.
  std::size_t outputCount;
};

std::size_t countOutputs(const Tree& files) {
  std::size_t count = 0;
  for (const auto& entry : files) {
    const std::string& path = entry.first;
    if (path.size() > 4 && path.compare(path.size() - 4, 4, ".pml") == 0) ++count;
  }
  return count;
}

void expectRun(const LimitCase& c) {
  SCOPED_TRACE(c.label);
  const RunOutcome run = runIsolated(c.files, c.args);
  ASSERT_EQ(run.end, RunOutcome::End::Exited) << describeEnd(run);
  EXPECT_EQ(run.status, c.status);
  EXPECT_EQ(run.printed, c.printed);
  EXPECT_EQ(countOutputs(run.files), c.outputCount);
  for (const auto& [path, bytes] : c.outputs) {
    const auto found = run.files.find(path);
    ASSERT_NE(found, run.files.end()) << path << " was not written";
    EXPECT_EQ(found->second, bytes) << path;
  }
}

std::string letters(int count) { return std::string(static_cast<std::size_t>(count), 'a'); }

TEST(LimitsTest, LogicalLineHolds2046Characters) {
  const std::string joined = "b = 1\n" + repeated(letters(1000) + "\\\n", 2) + letters(1000) + "\n";
  const std::string comment =
      letters(2000) + "/*" + repeated("c", 5000) + "*/" + letters(40) + "\n";
  const std::string quoted = "x = \"" + letters(1000) + "\n" + letters(1100) + "\"\n";
  const LimitCase cases[] = {
      {"2045 characters and the newline are accepted",
       {{"p/x.pmp", letters(2045) + "\n"}}, kArgs, 0, kHeader,
       {{"p/x.pml", letters(2045) + "\r\n"}}, 1},
      {"a last line of 2046 characters without newline is accepted",
       {{"p/x.pmp", letters(2046)}}, kArgs, 0, kHeader, {{"p/x.pml", letters(2046)}}, 1},
      {"2046 characters and a newline: reported on the line after, where the newline led",
       {{"p/x.pmp", letters(2046) + "\n"}}, kArgs, 1, kHeader + at("p/x.pmp", 2, 223), {}, 0},
      {"2047 characters on the last line",
       {{"p/x.pmp", letters(2047)}}, kArgs, 1, kHeader + at("p/x.pmp", 1, 223), {}, 0},
      {"joined physical lines are one logical line; the message names the current one",
       {{"p/x.pmp", joined}}, kArgs, 1, kHeader + at("p/x.pmp", 4, 223), {}, 0},
      {"a removed comment does not count",
       {{"p/x.pmp", comment}}, kArgs, 0, kHeader, {{"p/x.pml", letters(2040) + "\r\n"}}, 1},
      {"a newline inside quotes does not end the line",
       {{"p/x.pmp", quoted}}, kArgs, 1, kHeader + at("p/x.pmp", 2, 223), {}, 0},
  };
  for (const LimitCase& c : cases) expectRun(c);
}

std::string defines(int count, int first = 0) {
  return numberedLines(count, [first](int i) {
    return "#DEFINE M" + std::to_string(first + i) + " " + std::to_string(first + i);
  });
}

TEST(LimitsTest, MacroTableHolds2500Entries) {
  const LimitCase cases[] = {
      {"2500 macros are defined and expanded",
       {{"p/x.pmp", defines(2500) + "x = M2499 + M0\n"}}, kArgs, 0, kHeader,
       {{"p/x.pml", "x = 2499 + 0\r\n"}}, 1},
      {"the 2501st is an error",
       {{"p/x.pmp", defines(2501) + "x = 1\n"}}, kArgs, 1, kHeader + at("p/x.pmp", 2501, 252),
       {}, 0},
      {"a -D definition takes a place in the table",
       {{"p/x.pmp", defines(2500) + "x = 1\n"}}, {"-X", "-DCL=1", "p/x"}, 1,
       kHeader + at("p/x.pmp", 2500, 252), {}, 0},
      {"a redefinition takes no new place; #UNDEF frees one",
       {{"p/x.pmp", defines(2500) + "#DEFINE M0 new\n#UNDEF M1\n#DEFINE N 1\nx = M0 N M2\n"}},
       kArgs, 0, kHeader + at("p/x.pmp", 2501, 121), {{"p/x.pml", "x = new 1 2\r\n"}}, 1},
  };
  for (const LimitCase& c : cases) expectRun(c);
}

/// M0 stands for M1, and so on; the last macro of the chain stands for 1.
std::string macroChain(int last) {
  return numberedLines(last + 1, [last](int i) {
    return "#DEFINE M" + std::to_string(i) + " " +
           (i == last ? std::string("1") : "M" + std::to_string(i + 1));
  });
}

TEST(LimitsTest, ExpansionNests100LevelsDeep) {
  const LimitCase cases[] = {
      {"M0 to M100: the expansion completes",
       {{"p/x.pmp", macroChain(100) + "x = M0\n"}}, kArgs, 0, kHeader,
       {{"p/x.pml", "x = 1\r\n"}}, 1},
      {"M0 to M101: nested too deep",
       {{"p/x.pmp", macroChain(101) + "x = M0\n"}}, kArgs, 1, kHeader + at("p/x.pmp", 103, 246),
       {}, 0},
  };
  for (const LimitCase& c : cases) expectRun(c);
}

std::string openGroups(int count, const std::string& name) {
  return numberedLines(count, [&name](int) { return "#IFDEF " + name; });
}

std::string closeGroups(int count) {
  return numberedLines(count, [](int) { return std::string("#ENDIF"); });
}

TEST(LimitsTest, ConditionalGroupsNest30Deep) {
  const std::vector<std::string> defined = {"-X", "-DD", "p/x"};
  const LimitCase cases[] = {
      {"30 groups",
       {{"p/x.pmp", openGroups(30, "D") + "x = 1\n" + closeGroups(30)}}, defined, 0, kHeader,
       {{"p/x.pml", "x = 1\r\n"}}, 1},
      {"the 31st group", {{"p/x.pmp", openGroups(31, "D") + "x = 1\n" + closeGroups(31)}},
       defined, 1, kHeader + at("p/x.pmp", 31, 248), {}, 0},
      {"groups inside skipped text count too",
       {{"p/x.pmp", openGroups(31, "U") + closeGroups(31)}}, defined, 1,
       kHeader + at("p/x.pmp", 31, 248), {}, 0},
      {"the groups of the including file count in the included one",
       {{"p/x.pmp", openGroups(20, "D") + "#INCLUDE g.pmp\n" + closeGroups(20)},
        {"p/g.pmp", openGroups(11, "D") + closeGroups(11)}},
       defined, 1, kHeader + at("p/g.pmp", 11, 248), {}, 0},
  };
  for (const LimitCase& c : cases) expectRun(c);
}

/// p/x.pmp includes i1.pmp, which includes i2.pmp, down to i<depth>.pmp.
Tree includeChain(int depth) {
  Tree files{{"p/x.pmp", "#INCLUDE i1.pmp\n"}};
  for (int i = 1; i <= depth; ++i) {
    files["p/i" + std::to_string(i) + ".pmp"] =
        i == depth ? "deep = " + std::to_string(i) + "\n"
                   : "#INCLUDE i" + std::to_string(i + 1) + ".pmp\n";
  }
  return files;
}

TEST(LimitsTest, IncludesNest10Deep) {
  const LimitCase cases[] = {
      {"10 levels", includeChain(10), kArgs, 0, kHeader, {{"p/x.pml", "deep = 10\r\n"}}, 1},
      {"the 11th level", includeChain(11), kArgs, 1, kHeader + at("p/i10.pmp", 1, 248), {}, 0},
      {"a file that includes itself stops at the 11th level",
       {{"p/x.pmp", "x = 1\n#INCLUDE x.pmp\n"}}, kArgs, 1, kHeader + at("p/x.pmp", 2, 248), {},
       0},
  };
  for (const LimitCase& c : cases) expectRun(c);
}

std::string nestedWhiles(int count) {
  return repeated("WHILE (a)\n{\n", count) + "x = 1\n" + repeated("}\n", count);
}

TEST(LimitsTest, BlocksNest100Deep) {
  const LimitCase cases[] = {
      {"100 loops with braces", {{"p/x.pmp", nestedWhiles(100)}}, kArgs, 0, kHeader, {}, 1},
      {"the 101st loop", {{"p/x.pmp", nestedWhiles(101)}}, kArgs, 1,
       kHeader + at("p/x.pmp", 201, 238), {}, 0},
      {"100 IFs, each the body of the one before",
       {{"p/x.pmp", repeated("IF (a)\n", 100) + "x = 1\n"}}, kArgs, 0, kHeader, {}, 1},
      {"the 101st IF", {{"p/x.pmp", repeated("IF (a)\n", 101) + "x = 1\n"}}, kArgs, 1,
       kHeader + at("p/x.pmp", 101, 238), {}, 0},
  };
  for (const LimitCase& c : cases) expectRun(c);
}

/// The main file chains f<first> .. f<first+count-1>; every one of them exists and is empty.
void addChains(Tree& files, const std::string& from, const std::string& prefix, int count) {
  files[from] += numberedLines(count, [&prefix](int i) {
    return "CHAIN " + prefix + std::to_string(i + 1);
  });
  for (int i = 1; i <= count; ++i) files["p/" + prefix + std::to_string(i) + ".pmp"];
}

std::string headers(const std::string& prefix, int count) {
  return numberedLines(count, [&prefix](int i) {
    return "p/" + prefix + std::to_string(i + 1) + ".pmp:";
  });
}

TEST(LimitsTest, QueueHolds1000Files) {
  Tree full;
  addChains(full, "p/x.pmp", "f", 999);
  full["p/x.pmp"] += "CHAIN F1\nDOSUB ./f2.txt\n";
  Tree over;
  addChains(over, "p/x.pmp", "f", 1000);
  Tree spread;
  addChains(spread, "p/x.pmp", "f", 500);
  addChains(spread, "p/f1.pmp", "g", 500);
  const LimitCase cases[] = {
      {"1000 files; names already queued are not counted again", full, kArgs, 0,
       kHeader + headers("f", 999), {}, 1000},
      {"the 1001st file", over, kArgs, 1, kHeader + at("p/x.pmp", 1000, 253), {}, 0},
      {"files queued by a chained file count with the rest", spread, kArgs, 1,
       kHeader + "p/f1.pmp:\n" + at("p/f1.pmp", 500, 253), {}, 1},
  };
  for (const LimitCase& c : cases) expectRun(c);
}

std::vector<std::string> withOptions(const std::string& option, int count) {
  std::vector<std::string> args;
  for (int i = 0; i < count; ++i) args.push_back(option + std::to_string(i));
  args.insert(args.end(), kArgs.begin(), kArgs.end());
  return args;
}

TEST(LimitsTest, CommandLineTakes30DefinesAnd11IncludeDirectories) {
  const Tree files{{"p/x.pmp", "x = D29\n"}};
  const std::string tooMany = message("pelc: ", 257);
  const LimitCase cases[] = {
      {"30 -D", files, withOptions("-DD", 30), 0, kHeader, {{"p/x.pml", "x =\r\n"}}, 1},
      {"31 -D", files, withOptions("-DD", 31), 255, tooMany, {}, 0},
      {"11 -I", files, withOptions("-Idir", 11), 0, kHeader, {{"p/x.pml", "x = D29\r\n"}}, 1},
      {"12 -I", files, withOptions("-Idir", 12), 255, tooMany, {}, 0},
  };
  for (const LimitCase& c : cases) expectRun(c);
}

}  // namespace
}  // namespace pelc::limits
