// A run whose files have their lines read ahead must print, write and end
// exactly as one whose files are read line by line: includes, ARRAY lines that
// give the next line back, lines too long, errors, streaming emission.
#include <gtest/gtest.h>

#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "driver/run.h"
#include "source/file_system.h"

namespace pelc {
namespace {

struct Outcome {
  int status = 0;
  std::string printed;
  std::map<std::string, std::string> files;
};

using Files = std::vector<std::pair<std::string, std::string>>;

Outcome compile(const Files& files, std::vector<std::string> args, std::size_t readAheadBytes) {
  MemoryFileSystem fs;
  for (const auto& [path, bytes] : files) fs.addFile(path, bytes);
  std::ostringstream printed;
  args.push_back("main");
  Outcome outcome;
  outcome.status = runPelc(args, printed, fs, readAheadBytes);
  outcome.printed = printed.str();
  outcome.files = fs.files();
  return outcome;
}

/// Enough loops that nodes are handed over to the emission while the parse goes on.
std::string loops(int count) {
  std::string text;
  for (int i = 0; i < count; ++i) text += "WHILE (x < 3)\n{\n    x = x + 1\n}\n";
  return text;
}

struct Case {
  const char* label;
  Files files;
  std::vector<std::string> args;
};

const std::vector<Case>& cases() {
  static const std::vector<Case> list = {
      {"ARRAY lines with and without initialisers",
       {{"main.pmp",
         "ARRAY a =\nx = 1\nARRAY b =\n{1,\n2}\n#DEFINE E =\nARRAY e E\ny\n"
         "ARRAY f = /* c */\nz\n\nARRAY d =\n"}},
       {}},
      // The brace after the ARRAY line is given back and is a syntax error.
      {"an ARRAY line that gives a closing brace back", {{"main.pmp", "ARRAY c =}\n"}}, {}},
      {"ARRAY lines in and after an include",
       {{"main.pmp", "y = 0\n#INCLUDE inc.pmp\nARRAY a =\nIF (q) {\n}\n"},
        {"inc.pmp", "ARRAY i =\nz = 2\nARRAY j ="}},
       {}},
      {"nested includes, the last one without a newline",
       {{"main.pmp", "#INCLUDE a.pmp\nv = 1 /* c\n */\n#INCLUDE b.pmp\nw = 2"},
        {"a.pmp", "#INCLUDE b.pmp\na = 1\n"},
        {"b.pmp", "b = 2"}},
       {}},
      {"a line too long after an include",
       {{"main.pmp", "#INCLUDE inc.pmp\nx = 1\n" + std::string(2100, 'x') + "\ny = 2\n"},
        {"inc.pmp", "i = 1\n"}},
       {}},
      {"a line too long in an include",
       {{"main.pmp", "x = 1\n#INCLUDE inc.pmp\ny = 2\n"}, {"inc.pmp", std::string(2100, 'i')}},
       {}},
      {"a failed file, then a -D message at the line it ended on",
       {{"main.pmp", "CHAIN next\na\nb\n" + std::string(2100, 'n') + "\n"},
        {"next.pmp", "x = 1\n"}},
       {"-D1A"}},
      {"a group left open at the end", {{"main.pmp", "#IFDEF A\nx = 1\n#ELSE\ny = 2\n"}}, {}},
      {"syntax errors and EXIT", {{"main.pmp", "}\nWHILE (a)\nELSE\nEXIT\nDO\n"}}, {"-L"}},
      {"streamed output with an include and ARRAY lines in the middle",
       {{"main.pmp", loops(6000) + "ARRAY a =\nb = 1\n#INCLUDE inc.pmp\n" + loops(6000)},
        {"inc.pmp", "#DEFINE N 3\nc = N\n"}},
       {"-X"}},
      {"streamed output with echoed source",
       {{"main.pmp", loops(5000) + "ARRAY a =\n{1}\n" + loops(5000)}},
       {"-M"}},
  };
  return list;
}

TEST(ReadAheadTest, RunsAsIfReadLineByLine) {
  // The largest source above is about half a megabyte: read line by line by default.
  constexpr std::size_t kEveryFile = 0;
  for (const Case& c : cases()) {
    SCOPED_TRACE(c.label);
    const Outcome lineByLine = compile(c.files, c.args, kReadAheadBytes);
    const Outcome ahead = compile(c.files, c.args, kEveryFile);
    EXPECT_EQ(ahead.status, lineByLine.status);
    EXPECT_EQ(ahead.printed, lineByLine.printed);
    EXPECT_EQ(ahead.files.size(), lineByLine.files.size());
    for (const auto& [path, bytes] : lineByLine.files) {
      // Compared with == rather than EXPECT_EQ: a diff of megabytes helps no one.
      EXPECT_TRUE(ahead.files.count(path) != 0 && ahead.files.at(path) == bytes) << path;
    }
  }
}

}  // namespace
}  // namespace pelc
