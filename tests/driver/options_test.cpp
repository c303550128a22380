// Tests of the option reader: option letters, positional arguments and derived paths.
#include "driver/options.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace pelc {
namespace {

/// Every setting on one line, so a mismatch shows all fields at once.
std::string describe(const Settings& s) {
  std::ostringstream out;
  out << "d=" << s.checkOnly << " L=" << s.listing << " M=" << s.echoSource
      << " chains=" << s.followChains << " X=" << s.suppressLineMarkers << " u=" << s.checkInput
      << " check=" << s.checkWithoutOutput << " base=[" << s.baseDirectory << "] input=["
      << s.inputPath << "] D=";
  for (const std::string& text : s.defineList) out << "[" << text << "]";
  out << " I=";
  for (const std::string& text : s.includeOptionList) out << "[" << text << "]";
  return out.str();
}

std::vector<std::string> repeated(const std::string& prefix, int count) {
  std::vector<std::string> args;
  for (int i = 1; i <= count; ++i) args.push_back(prefix + std::to_string(i));
  return args;
}

std::vector<std::string> operator+(std::vector<std::string> a, const std::vector<std::string>& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

struct Outcome {
  std::optional<Settings> settings;
  bool thrown = false;
  std::string printed;
  ErrorState errorState = ErrorState::None;
};

Outcome read(const std::vector<std::string>& args) {
  std::ostringstream out;
  Diagnostics diag(out);
  Outcome outcome;
  try {
    int statusWithoutRun = 0;
    outcome.settings = readCommandLine(args, diag, statusWithoutRun);
  } catch (const AbortFile&) {
    outcome.thrown = true;
  }
  outcome.printed = out.str();
  outcome.errorState = diag.errorState();
  return outcome;
}

Settings withInput(std::string inputPath, std::string baseDirectory = "") {
  Settings settings;
  settings.inputPath = std::move(inputPath);
  settings.baseDirectory = std::move(baseDirectory);
  return settings;
}

TEST(OptionsTest, AcceptedCommandLines) {
  struct Case {
    const char* label;
    std::vector<std::string> args;
    Settings expected;
  };
  Settings allFlags = withInput("prog.pmp");
  allFlags.checkOnly = allFlags.listing = allFlags.echoSource = true;
  allFlags.suppressLineMarkers = allFlags.checkInput = true;
  allFlags.followChains = false;

  Settings listingAndDefine = withInput("prog.pmp");
  listingAndDefine.listing = true;
  listingAndDefine.defineList = {"NAME=1"};

  Settings defineOfLetters = withInput("prog.pmp");
  defineOfLetters.defineList = {"LMX", "A B"};

  Settings base = withInput("dir/prog.pmp", "C:/dir");

  Settings includes = withInput("prog.pmp");
  includes.includeOptionList = {"-Iinc/sub", "-IC:/", "-Iplain"};

  Settings listingOnly = withInput("prog.pmp");
  listingOnly.listing = true;

  Settings checkOnly = withInput("prog.pmp");
  checkOnly.checkOnly = true;

  Settings checkWithoutOutput = withInput("prog.pmp");
  checkWithoutOutput.checkWithoutOutput = true;
  Settings longAndLetters = checkWithoutOutput;
  longAndLetters.listing = longAndLetters.suppressLineMarkers = true;

  const std::string a255(255, 'a');
  Settings baseCut = withInput("prog.pmp", a255);

  Settings thirtyDefines = withInput("p.pmp");
  thirtyDefines.defineList = repeated("M", 30);
  Settings elevenIncludes = withInput("p.pmp");
  elevenIncludes.includeOptionList = repeated("-Id", 11);

  const Case cases[] = {
      {"one flag per argument", {"-L", "-M", "-N", "-X", "-d", "-u", "prog"}, allFlags},
      {"flags combined", {"-LMNXdu", "prog"}, allFlags},
      {"P and S change nothing", {"-P", "-S", "-PS", "prog"}, withInput("prog.pmp")},
      {"D takes the rest", {"-LDNAME=1", "prog"}, listingAndDefine},
      {"D rest is not read as letters", {"-DLMX", "-DA B", "prog"}, defineOfLetters},
      {"B normalised", {"-BC:\\dir\\", "dir/prog"}, base},
      {"B cut at 256 before normalising", {"-B" + a255 + "\\tail", "prog"}, baseCut},
      {"I kept with its letters", {"-Iinc\\sub\\", "-IC:\\", "-Iplain", "prog"}, includes},
      {"lone dash skipped", {"-", "-L", "prog"}, listingOnly},
      {"first non-option ends options", {"prog", "-L"}, withInput("prog.pmp")},
      {"second positional ignored", {"-L", "prog", "other"}, listingOnly},
      {"d alone", {"-d", "prog"}, checkOnly},
      {"check", {"--check", "prog"}, checkWithoutOutput},
      {"long options among letters",
       {"-L", "--diagnostics=text", "--check", "--color", "never", "-X", "prog"},
       longAndLetters},
      {"s alone", {"-s", "prog"}, withInput("prog.pmp")},
      {"thirty D", repeated("-DM", 30) + std::vector<std::string>{"p"}, thirtyDefines},
      {"eleven I", repeated("-Id", 11) + std::vector<std::string>{"p"}, elevenIncludes},
      {"extension replaced", {"prog.txt"}, withInput("prog.pmp")},
      {"dot in directory only", {"dir.x/prog"}, withInput("dir.x/prog.pmp", "dir.x")},
      {"backslashes and directory", {"sub\\prog.src"}, withInput("sub/prog.pmp", "sub")},
      {"absolute input", {"/abs/p.pmp"}, withInput("/abs/p.pmp", "/abs")},
      {"root input", {"/p"}, withInput("/p.pmp", "/")},
      {"drive without directory", {"C:prog"}, withInput("C:prog.pmp", "C:")},
      {"B wins over the input directory",
       {"-Bbase", "dir/prog"},
       withInput("dir/prog.pmp", "base")},
  };
  for (const Case& c : cases) {
    const Outcome outcome = read(c.args);
    ASSERT_FALSE(outcome.thrown) << c.label << ": " << outcome.printed;
    ASSERT_TRUE(outcome.settings) << c.label;
    EXPECT_EQ(describe(*outcome.settings), describe(c.expected)) << c.label;
    EXPECT_EQ(outcome.printed, "") << c.label;
  }
}

TEST(OptionsTest, InputPathKeepsToTwoHundredFiftySixCharacters) {
  struct Case {
    const char* label;
    std::string argument;
    std::string expected;
  };
  const Case cases[] = {
      {"long name cut, no room for the extension", std::string(300, 'a'), std::string(256, 'a')},
      {"extension fits exactly", std::string(252, 'b'), std::string(252, 'b') + ".pmp"},
      {"no room: name left without extension", std::string(253, 'c') + ".x", std::string(253, 'c')},
  };
  for (const Case& c : cases) {
    const Outcome outcome = read({c.argument});
    ASSERT_TRUE(outcome.settings) << c.label;
    EXPECT_EQ(outcome.settings->inputPath, c.expected) << c.label;
  }
}

TEST(OptionsTest, RejectedCommandLines) {
  const std::string usage = "Prompt not found: pnum = 1\n";
  const std::string banner = kVersionBanner;
  const std::string tooMany = "pelc: Prompt not found: pnum = 257\n";
  struct Case {
    const char* label;
    std::vector<std::string> args;
    std::string printed;
  };
  const Case cases[] = {
      {"no arguments", {}, usage},
      {"only options", {"-L"}, usage},
      {"unknown letter", {"-Z", "prog"}, usage},
      {"unknown letter after flags", {"-LMq", "prog"}, usage},
      {"lower-case twin that does not exist", {"-l", "prog"}, usage},
      {"double dash", {"--", "prog"}, usage},
      {"unknown long option", {"--frobnicate", "prog"}, usage},
      {"value for an option without one", {"--check=yes", "prog"}, usage},
      {"unknown format", {"--diagnostics=xml", "prog"}, usage},
      {"value missing at the end", {"--color"}, usage},
      {"unknown message to explain", {"--explain", "2"}, usage},
      {"long option after the input is positional", {"prog", "--check", "x"}, usage},
      {"empty B", {"-LB", "prog"}, usage},
      {"second B", {"-Bone", "-Btwo", "prog"}, usage},
      {"empty D", {"-D", "prog"}, usage},
      {"empty I", {"-I", "prog"}, usage},
      {"single question mark", {"-?", "prog"}, usage},
      {"question mark then letter", {"-?x", "prog"}, usage},
      {"version", {"-V", "prog"}, banner + usage},
      {"version lower case", {"-v", "prog"}, banner + usage},
      {"C", {"-C", "prog"}, usage},
      {"C among flags", {"-LCM", "prog"}, usage},
      {"C checked after all options", {"-C", "-V", "prog"}, banner + usage},
      {"s with d", {"-s", "-d", "prog"}, usage},
      {"s with d combined", {"-sd", "prog"}, usage},
      {"d with s combined", {"-ds", "prog"}, usage},
      {"three positionals", {"prog", "-L", "-M"}, usage},
      {"first error ends the reading", {"-Z", "-V", "prog"}, usage},
      {"31st D", repeated("-DM", 31) + std::vector<std::string>{"p"}, tooMany},
      {"12th I", repeated("-Id", 12) + std::vector<std::string>{"p"}, tooMany},
      {"limit checked before later errors", repeated("-Id", 12) + std::vector<std::string>{"-Z"},
       tooMany},
  };
  for (const Case& c : cases) {
    const Outcome outcome = read(c.args);
    EXPECT_TRUE(outcome.thrown) << c.label;
    EXPECT_EQ(outcome.printed, c.printed) << c.label;
    EXPECT_EQ(outcome.errorState, ErrorState::Error) << c.label;
  }
}

TEST(OptionsTest, DoubleQuestionMarkShowsHelpAndEndsTheRun) {
  struct Case {
    const char* label;
    std::vector<std::string> args;
  };
  const Case cases[] = {
      {"with an input", {"-??", "prog"}},
      {"without an input", {"-??"}},
      {"characters after the second mark unread", {"-??Zq", "prog"}},
      {"later arguments unread", {"-??", "-Z", "a", "b", "c"}},
      {"after flags", {"-L??", "prog"}},
  };
  for (const Case& c : cases) {
    const Outcome outcome = read(c.args);
    EXPECT_FALSE(outcome.thrown) << c.label;
    EXPECT_FALSE(outcome.settings) << c.label;
    EXPECT_EQ(outcome.printed, "Prompt not found: pnum = 1\nPrompt not found: pnum = 21\n")
        << c.label;
    EXPECT_EQ(outcome.errorState, ErrorState::None) << c.label;
  }
}

TEST(OptionsTest, HelpVersionAndExplainEndTheRunWithStatusZero) {
  struct Case {
    const char* label;
    std::vector<std::string> args;
    std::string printedStart;
  };
  const Case cases[] = {
      {"help", {"--help", "-Z"}, "usage: pelc [options] input [second]\n"},
      {"version", {"-L", "--version"}, "pelc 20.0\n"},
      {"explain, number apart", {"--explain", "255"}, "255 SyntaxInBlock:"},
      {"explain, number attached with its sign", {"--explain=-255", "prog"}, "255 SyntaxInBlock:"},
  };
  for (const Case& c : cases) {
    std::ostringstream out;
    Diagnostics diag(out);
    int status = -1;
    EXPECT_FALSE(readCommandLine(c.args, diag, status)) << c.label;
    EXPECT_EQ(status, 0) << c.label;
    EXPECT_TRUE(out.str().starts_with(c.printedStart)) << c.label << ": " << out.str();
  }
}

TEST(OptionsTest, IncludeSearchDirectoriesDropTheOptionLetters) {
  Settings settings;
  settings.includeOptionList = {"-Ifirst", "-IC:/", "-I/abs/dir"};
  EXPECT_EQ(includeSearchDirectories(settings),
            (std::vector<std::string>{"first", "C:/", "/abs/dir"}));
}

}  // namespace
}  // namespace pelc
