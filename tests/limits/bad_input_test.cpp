// Hostile sources end in numbered messages or output, never in a crash or a hang.
//
// Garbage, NUL and 0xFF bytes, unterminated quotes and comments, huge lines, deep nesting. An
// output file must exist exactly when no error was reported.
#include <gtest/gtest.h>

#include <array>
#include <random>
#include <regex>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "limits/isolated_run.h"

namespace pelc::limits {
namespace {

const std::string kSource = "p/x.pmp";
const std::string kOutput = "p/x.pml";
// -N: a CHAIN that garbage happens to spell must not queue a missing file.
const std::vector<std::string> kArgs = {"-N", "-M", "p/x"};

bool isWarningOrInformation(int number) {
  constexpr std::array kPositive = {1, 21, 33, 34, 121, 122, 123};
  return std::find(kPositive.begin(), kPositive.end(), number) != kPositive.end();
}

/// The numbers of the printed messages; fails the test on any line that is neither the
/// file's header nor a numbered message.
std::vector<int> printedMessages(const std::string& printed) {
  static const std::regex kMessage("^(.*: )?Prompt not found: pnum = ([0-9]+)$");
  std::vector<int> numbers;
  std::istringstream lines(printed);
  for (std::string line; std::getline(lines, line);) {
    std::smatch match;
    if (std::regex_match(line, match, kMessage)) {
      numbers.push_back(std::stoi(match[2].str()));
    } else {
      EXPECT_EQ(line, kSource + ":") << "unexpected line on standard output";
    }
  }
  return numbers;
}

/// Runs one source and checks that the run ended well and told the truth about its output.
RunOutcome expectSane(const std::string& label, const std::string& source) {
  SCOPED_TRACE(label);
  const RunOutcome run = runIsolated({{kSource, source}}, kArgs);
  EXPECT_EQ(run.end, RunOutcome::End::Exited) << describeEnd(run);
  if (run.end != RunOutcome::End::Exited) return run;
  bool error = false;
  for (const int number : printedMessages(run.printed)) error |= !isWarningOrInformation(number);
  EXPECT_EQ(run.status, error ? 1 : 0);
  EXPECT_EQ(run.files.count(kOutput), error ? 0u : 1u) << "output present after an error, "
                                                          "or missing after a clean run";
  EXPECT_EQ(run.files.size(), error ? 1u : 2u);
  return run;
}

std::string repeated(std::string_view piece, std::size_t count) {
  std::string text;
  text.reserve(piece.size() * count);
  for (std::size_t i = 0; i < count; ++i) text += piece;
  return text;
}

TEST(BadInputTest, RandomBytes) {
  std::mt19937 random(20240607);
  for (int round = 0; round < 14; ++round) {
    std::string bytes(std::size_t{16} << round, '\0');
    for (char& c : bytes) c = static_cast<char>(random() & 0xFF);
    expectSane("random bytes, round " + std::to_string(round), bytes);
  }
}

// Pieces of the language, so that random sequences reach deep into the parser.
constexpr std::array<std::string_view, 40> kPieces = {
    "IF ",      "ELSE ",    "WHILE ",   "DO\n",        "FOR ",       "SWITCH ",  "CASE ",
    "DEFAULT",  "BREAK",    "CONTINUE", "EXITLOOP",    "ARRAY a =",  "EXIT",     "REM ",
    "(",        ")",        "(a==1)",   "(i=0;i<3;i=i+1)", "{",      "}",        "\n",
    "\r\n",     "'",        "\"",       "`",           "/*",         "*/",       "\\\n",
    "#DEFINE A ", "#UNDEF A", "#IFDEF A", "#ENDIF",    "#ELSE",      "#INCLUDE x.pmp",
    "A",        "'A'",      " ",        "\0",          "\xff",       ":"};

TEST(BadInputTest, RandomSequencesOfLanguagePieces) {
  std::mt19937 random(7);
  for (int round = 0; round < 40; ++round) {
    std::string source;
    const std::size_t count = 20 + random() % 400;
    for (std::size_t i = 0; i < count; ++i) source += kPieces[random() % kPieces.size()];
    expectSane("language pieces, round " + std::to_string(round), source);
  }
}

constexpr std::string_view kProgram =
    "#DEFINE LIMIT 10\n"
    "#IFDEF LIMIT\n"
    "i = 0 /* start */\n"
    "#ENDIF\n"
    "WHILE (i < LIMIT)\n{\n  IF (i == 3)\n    CONTINUE\n  ELSE IF (i > 8)\n  {\n    EXITLOOP\n"
    "  }\n  i = i + 1\n}\n"
    "DO\n{\n  n = n - 1\n} WHILE (n > 0)\n"
    "FOR (j = 0; j < 3; j = j + 1)\n  s = s + 'A'\n"
    "SWITCH (k)\n{\nCASE 1\n  a = \"q\"\n  BREAK\nCASE 2:5\n  a = `b`\nDEFAULT\n  a = 0\n}\n"
    "ARRAY v[3] =\n{ 1, 2,\n  3 }\nEXIT\n";

TEST(BadInputTest, DamagedPrograms) {
  expectSane("the undamaged program", std::string(kProgram));
  std::mt19937 random(99);
  for (int round = 0; round < 50; ++round) {
    std::string source(kProgram);
    for (int edit = 0; edit < 1 + round % 4; ++edit) {
      const std::size_t at = random() % source.size();
      switch (random() % 3) {
        case 0: source.erase(at, 1 + random() % 8); break;
        case 1: source.insert(at, kPieces[random() % kPieces.size()]); break;
        default: source[at] = static_cast<char>(random() & 0xFF); break;
      }
    }
    expectSane("damaged program, round " + std::to_string(round), source);
  }
}

TEST(BadInputTest, TinyAndTruncatedFiles) {
  constexpr std::array<std::string_view, 30> kSources = {
      "",          "\\",        "\\\r",     "\r",         "\r\r\n",      "/",
      "/*",        "*",         "'",        "\"",         "`",           "{",
      "}",         "}/",        "#",        "#DEFINE",    "#INCLUDE",    "#IFDEF",
      "#ELSE",     "ARRAY a =", "ARRAY a =\n{", "IF (",   "IF (a)",      "SWITCH (a)\n{",
      "CASE",      "DO",        "FOR (;;",  "WHILE (a)\n{", "x = 'A",    "x = '\\"};
  for (const std::string_view source : kSources) {
    expectSane(std::string(source), std::string(source));
  }
  expectSane("a NUL byte", std::string(1, '\0'));
  expectSane("a 0xFF byte", "\xff");
}

struct ExactCase {
  const char* label;
  std::string source;
  std::string printed;
  /// Expected output; empty when none may be written.
  std::string output;
};

std::string at(int line, int number) {
  return kSource + " (" + std::to_string(line) + "): Prompt not found: pnum = " +
         std::to_string(number) + "\n";
}

// Cases whose outcome follows directly from the rules; -X keeps the outputs short.
TEST(BadInputTest, OddBytesAndUnclosedTextHaveDefinedResults) {
  const std::string header = kSource + ":\n";
  const ExactCase cases[] = {
      {"NUL bytes are data", std::string("x = 1\0y\n\0\0\0\n", 12), header,
       std::string("x = 1\0y\r\n\0\0\0\r\n", 14)},
      {"0xFF bytes are data, also in a macro", "#DEFINE F \xff\nx = F\n\xff\xff\n", header,
       "x = \xff\r\n\xff\xff\r\n"},
      {"an unclosed double quote runs to the end", "x = \"abc\ny = 1\n", header,
       "x = \"abc\r\ny = 1\r\n"},
      {"an unclosed back quote runs to the end", "x = `abc\n}\n", header, "x = `abc\r\n}\r\n"},
      {"an unclosed apostrophe is no character literal", "x = 'abc\ny\n", header,
       "x = 'abc\r\ny\r\n"},
      {"an unclosed comment runs to the end", "x = 1 /* open\ny = 2\n", header, "x = 1\r\n"},
      {"4096 NUL bytes are one over-long line", std::string(4096, '\0'), header + at(1, 223), ""},
      {"one huge line", std::string(1 << 20, 'x'), header + at(1, 223), ""},
      {"a megabyte of joined lines", repeated("a\\\n", 1 << 18), header + at(2047, 223), ""},
      {"a huge comment vanishes", "x = 1 /*" + std::string(1 << 20, '*') + "*/\n", header,
       "x = 1\r\n"},
      {"every brace is a line of its own", std::string(20000, '{'),
       header + repeated(at(1, 236), 20000), ""},
  };
  for (const ExactCase& c : cases) {
    SCOPED_TRACE(c.label);
    const RunOutcome run = runIsolated({{kSource, c.source}}, {"-X", "p/x"});
    ASSERT_EQ(run.end, RunOutcome::End::Exited) << describeEnd(run);
    EXPECT_EQ(run.printed, c.printed);
    EXPECT_EQ(run.status, c.output.empty() ? 1 : 0);
    const auto output = run.files.find(kOutput);
    if (c.output.empty()) {
      EXPECT_EQ(output, run.files.end());
    } else {
      ASSERT_NE(output, run.files.end());
      EXPECT_EQ(output->second, c.output);
    }
  }
}

std::string numberedDefines(int count, const std::string& value) {
  std::string text;
  for (int i = 0; i < count; ++i) {
    std::string next = "M" + std::to_string(i + 1);
    std::string line = value;
    for (std::size_t at = line.find('#'); at != std::string::npos; at = line.find('#')) {
      line.replace(at, 1, next);
    }
    text += "#DEFINE M" + std::to_string(i) + " " + line + "\n";
  }
  return text;
}

TEST(BadInputTest, DeepNestingEndsAtItsLimit) {
  const std::string header = kSource + ":\n";
  const ExactCase cases[] = {
      {"10000 nested IFs", repeated("IF (a)\n", 10000), header + at(101, 238), ""},
      {"10000 nested loops on one line", repeated("WHILE (a) {", 10000), header + at(1, 238), ""},
      {"10000 nested #IFDEFs", repeated("#IFDEF A\n", 10000), header + at(31, 248), ""},
      {"a chain of 200 macros", numberedDefines(200, "#") + "x = M0\n",
       header + at(201, 246), ""},
  };
  for (const ExactCase& c : cases) {
    SCOPED_TRACE(c.label);
    const RunOutcome run = runIsolated({{kSource, c.source}}, {"-X", "p/x"});
    ASSERT_EQ(run.end, RunOutcome::End::Exited) << describeEnd(run);
    EXPECT_EQ(run.printed, c.printed);
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.files.count(kOutput), 0u);
  }
  const std::string parens = "(" + repeated("(", 900) + "a==1" + repeated(")", 900) + ")";
  expectSane("900 nested parentheses in a braced IF", "IF " + parens + "\n{\nx = 1\n}\n");
  expectSane("900 nested brackets", "WHILE (v" + repeated("[", 900) + "i" + repeated("]", 900) +
                                        ">1)\n  x = 1\n");
  expectSane("99 nested SWITCHes",
             repeated("SWITCH (a)\n{\nCASE 1\n", 99) + "x = 1\n" + repeated("}\n", 99) + "EXIT\n");
}

// Each macro stands for two uses of the next one and the last for nothing, so the line never
// grows while the number of replacements doubles with every level.
TEST(BadInputTest, ExponentialExpansionEndsInTime) {
  std::string source;
  for (int i = 0; i < 100; ++i) {
    source += "#DEFINE $A" + std::to_string(i) + " $A" + std::to_string(i + 1) + "$A" +
              std::to_string(i + 1) + "\n";
  }
  source += "#DEFINE $A100\nx = $A0\n";
  expectSane("2^100 replacements without growth", source);
  // The same with blanks between the uses: the blanks make the line grow until it no longer fits.
  expectSane("2^100 replacements with growth", numberedDefines(100, "# #") + "x = M0\n");
}

}  // namespace
}  // namespace pelc::limits
