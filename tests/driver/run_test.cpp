// Tests of whole runs over an in-memory tree: queue, CHAIN targets, file errors, exit status.
#include "driver/run.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

#include "parser/temporary_names.h"

namespace pelc {
namespace {

struct RunResult {
  int status = 0;
  std::string printed;
};

RunResult runOn(MemoryFileSystem& fs, const std::vector<std::string>& args) {
  std::ostringstream out;
  RunResult run;
  run.status = runPelc(args, out, fs);
  run.printed = out.str();
  return run;
}

/// The per-file header lines of a run, in order.
std::vector<std::string> headers(const std::string& printed) {
  std::vector<std::string> found;
  std::istringstream lines(printed);
  for (std::string line; std::getline(lines, line);) {
    if (!line.empty() && line.back() == ':' && line.find(' ') == std::string::npos) {
      found.push_back(line.substr(0, line.size() - 1));
    }
  }
  return found;
}

bool exists(const MemoryFileSystem& fs, const std::string& path) {
  return fs.files().count(path) != 0;
}

TEST(RunTest, ChainTargetsAreQueuedOnceInOrder) {
  struct Case {
    const char* label;
    std::vector<std::string> args;
    std::vector<std::pair<std::string, std::string>> files;
    std::vector<std::string> compiled;
  };
  const Case cases[] = {
      {"queue order: files added while parsing come after",
       {"proj/main"},
       {{"proj/main.pmp", "CHAIN b\nDOSUB a\n"},
        {"proj/b.pmp", "CHAIN c\n"},
        {"proj/a.pmp", "x = 1\n"},
        {"proj/c.pmp", "x = 2\n"}},
       {"proj/main.pmp", "proj/b.pmp", "proj/a.pmp", "proj/c.pmp"}},
      {"names equal ignoring case are one file",
       {"proj/main"},
       {{"proj/main.pmp", "CHAIN NEXT.PMP\nCHAIN next\nDOSUB Next.txt\nCHAIN MAIN\n"},
        {"proj/NEXT.pmp", "x = 1\n"}},
       {"proj/main.pmp", "proj/NEXT.pmp"}},
      {"-N queues nothing",
       {"-N", "proj/main"},
       {{"proj/main.pmp", "CHAIN next\n"}, {"proj/next.pmp", "x = 1\n"}},
       {"proj/main.pmp"}},
      {"-B is the base of plain names",
       {"-Bother", "proj/main"},
       {{"proj/main.pmp", "CHAIN next\n"}, {"other/next.pmp", "x = 1\n"}},
       {"proj/main.pmp", "other/next.pmp"}},
      {"dot names are relative to the queued file",
       {"-Bother", "proj/main"},
       {{"proj/main.pmp", "CHAIN ./lib/x\n"},
        {"proj/lib/x.pmp", "CHAIN ./y\nCHAIN ../z\nCHAIN w\n"},
        {"proj/lib/y.pmp", ""},
        {"proj/z.pmp", ""},
        {"other/w.pmp", ""}},
       {"proj/main.pmp", "proj/lib/x.pmp", "proj/lib/y.pmp", "proj/z.pmp", "other/w.pmp"}},
      {"backslashes and the first word only",
       {"proj/main"},
       {{"proj/main.pmp", "CHAIN   sub\\t.x  more words\n"}, {"proj/sub/t.pmp", ""}},
       {"proj/main.pmp", "proj/sub/t.pmp"}},
  };
  for (const Case& c : cases) {
    MemoryFileSystem fs;
    for (const auto& [path, bytes] : c.files) fs.addFile(path, bytes);
    const RunResult run = runOn(fs, c.args);
    EXPECT_EQ(run.status, 0) << c.label << "\n" << run.printed;
    EXPECT_EQ(headers(run.printed), c.compiled) << c.label;
    for (const std::string& path : c.compiled) {
      const std::string output = path.substr(0, path.size() - 4) + ".pml";
      EXPECT_TRUE(exists(fs, output)) << c.label << ": " << output;
    }
  }
}

TEST(RunTest, ChainWithoutName) {
  MemoryFileSystem fs;
  fs.addFile("main.pmp", "x = 1\nCHAIN   \n");
  RunResult run = runOn(fs, {"main"});
  EXPECT_EQ(run.printed, "main.pmp:\nmain.pmp (2): Prompt not found: pnum = 250\n");
  EXPECT_FALSE(exists(fs, "main.pml"));
  EXPECT_EQ(run.status, 1);

  run = runOn(fs, {"-N", "main"});
  EXPECT_EQ(run.printed, "main.pmp:\n") << "with -N a CHAIN is a plain statement";
  EXPECT_TRUE(exists(fs, "main.pml"));
  EXPECT_EQ(run.status, 0);
}

TEST(RunTest, MissingSources) {
  struct Case {
    const char* label;
    std::vector<std::string> args;
    std::string printed;
    std::vector<std::string> written;
  };
  const Case cases[] = {
      {"missing input: file error, no output",
       {"prog"},
       "prog.pmp:\npelc: cannot open prog.pmp: No such file or directory\n",
       {}},
      {"missing input with -u: message 251",
       {"-u", "prog"},
       "prog.pmp:\nprog.pmp: Prompt not found: pnum = 251\n",
       {}},
      {"missing chained file: the queue goes on",
       {"main"},
       "main.pmp:\ngone.pmp:\npelc: cannot open gone.pmp: No such file or directory\nlast.pmp:\n",
       {"main.pml", "last.pml"}},
      {"missing chained file with -u: the run ends",
       {"-u", "main"},
       "main.pmp:\ngone.pmp:\ngone.pmp: Prompt not found: pnum = 251\n",
       {"main.pml"}},
  };
  for (const Case& c : cases) {
    MemoryFileSystem fs;
    fs.addFile("main.pmp", "CHAIN gone\nCHAIN last\n");
    fs.addFile("last.pmp", "x = 1\n");
    const RunResult run = runOn(fs, c.args);
    EXPECT_EQ(run.printed, c.printed) << c.label;
    EXPECT_EQ(run.status, 1) << c.label;
    for (const char* output : {"prog.pml", "main.pml", "gone.pml", "last.pml"}) {
      const bool expected =
          std::find(c.written.begin(), c.written.end(), output) != c.written.end();
      EXPECT_EQ(exists(fs, output), expected) << c.label << ": " << output;
    }
  }
}

TEST(RunTest, AnErrorStopsTheRunBeforeTheNextFile) {
  struct Case {
    const char* label;
    std::string mainSource;
    std::string printed;
  };
  const Case cases[] = {
      {"error that lets parsing go on", "CHAIN next\nWHILE (a) {\nBREAK\nBREAK\n}\n",
       "main.pmp:\nmain.pmp (3): Prompt not found: pnum = 242\n"
       "main.pmp (4): Prompt not found: pnum = 242\n"},
      {"thrown error", "CHAIN next\n#ENDIF\nBREAK\n",
       "main.pmp:\nmain.pmp (2): Prompt not found: pnum = 247\n"},
  };
  for (const Case& c : cases) {
    MemoryFileSystem fs;
    fs.addFile("main.pmp", c.mainSource);
    fs.addFile("next.pmp", "x = 1\n");
    const RunResult run = runOn(fs, {"main"});
    EXPECT_EQ(run.printed, c.printed) << c.label;
    EXPECT_EQ(run.status, 1) << c.label;
    EXPECT_FALSE(exists(fs, "main.pml")) << c.label;
    EXPECT_FALSE(exists(fs, "next.pml")) << c.label;
  }
}

TEST(RunTest, FailedFileKeepsTheEarlierOutput) {
  MemoryFileSystem fs;
  fs.addFile("main.pmp", "WHILE (a) {\nBREAK\n}\n");
  fs.addFile("main.pml", "earlier\r\n");
  const RunResult run = runOn(fs, {"main"});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(fs.files().at("main.pml"), "earlier\r\n");
}

TEST(RunTest, CheckOnly) {
  MemoryFileSystem fs;
  fs.addFile("prog.pmp", "x = 1\n");
  fs.addFile("prog.pml", "earlier\r\n");
  RunResult run = runOn(fs, {"-d", "prog"});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.printed, "prog.pmp:\n");
  EXPECT_EQ(fs.files().at("prog.pml"), "") << "-d empties the output file";

  const std::string full = (runOn(fs, {"prog"}), fs.files().at("prog.pml"));
  EXPECT_NE(full.find("x = 1\r\n"), std::string::npos);
  run = runOn(fs, {"-d", "-L", "prog"});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.printed, "prog.pmp:\nPrompt not found: pnum = 33\n");
  EXPECT_EQ(fs.files().at("prog.pml"), full) << "-d with -L compiles normally";
}

TEST(RunTest, WriteFailure) {
  MemoryFileSystem fs;
  fs.addFile("main.pmp", "CHAIN next\n");
  fs.addDirectory("main.pml");
  fs.addFile("next.pmp", "x = 1\n");
  const RunResult run = runOn(fs, {"main"});
  EXPECT_EQ(run.printed, "main.pmp:\npelc: cannot write main.pml: Is a directory\nnext.pmp:\n");
  EXPECT_EQ(run.status, 1);
  EXPECT_FALSE(exists(fs, "main.pml"));
  EXPECT_TRUE(exists(fs, "next.pml")) << "a file error lets the queue go on";
}

TEST(RunTest, ListingAfterAFailedFile) {
  const std::string listing = "Prompt not found: pnum = 33\n";
  struct Case {
    const char* label;
    std::string source;
    bool outputIsDirectory;
    std::string printed;
  };
  const Case cases[] = {
      {"file error", "x = 1\n", true,
       "main.pmp:\npelc: cannot write main.pml: Is a directory\n" + listing},
      {"thrown message", "#ENDIF\n", false,
       "main.pmp:\nmain.pmp (1): Prompt not found: pnum = 247\n" + listing},
      {"error that lets parsing go on: no listing", "WHILE (a) {\nBREAK\n}\n", false,
       "main.pmp:\nmain.pmp (2): Prompt not found: pnum = 242\n"},
  };
  for (const Case& c : cases) {
    MemoryFileSystem fs;
    if (c.outputIsDirectory) fs.addDirectory("main.pml");
    fs.addFile("main.pmp", c.source);
    const RunResult run = runOn(fs, {"-L", "main"});
    EXPECT_EQ(run.printed, c.printed) << c.label;
    EXPECT_EQ(run.status, 1) << c.label;
  }
}

TEST(RunTest, CommandLineDefinitions) {
  struct Case {
    const char* label;
    std::vector<std::string> args;
    std::string printed;
    int status;
    std::string outputHas;  // empty: no output file
  };
  const Case cases[] = {
      {"name=value", {"-DA=1", "prog"}, "prog.pmp:\n", 0, "y = 1\r\n"},
      {"name value", {"-DA two", "prog"}, "prog.pmp:\n", 0, "y = two\r\n"},
      {"rejected before the first file: pelc prefix, nothing started",
       {"-DA=1", "-D9X", "prog"},
       "pelc: Prompt not found: pnum = 254\n",
       1,
       ""},
  };
  for (const Case& c : cases) {
    MemoryFileSystem fs;
    fs.addFile("prog.pmp", "y = A\n");
    const RunResult run = runOn(fs, c.args);
    EXPECT_EQ(run.printed, c.printed) << c.label;
    EXPECT_EQ(run.status, c.status) << c.label;
    if (c.outputHas.empty()) {
      EXPECT_FALSE(exists(fs, "prog.pml")) << c.label;
    } else {
      ASSERT_TRUE(exists(fs, "prog.pml")) << c.label;
      EXPECT_NE(fs.files().at("prog.pml").find(c.outputHas), std::string::npos) << c.label;
    }
  }
}

TEST(RunTest, DefinitionMessagesCarryThePreviousFilesPrefix) {
  // An empty macro name is only a warning, so it shows at every entry of the text:
  // before each file starts and again before each emission.
  MemoryFileSystem fs;
  fs.addFile("main.pmp", "CHAIN next\n");
  fs.addFile("next.pmp", "x = 1\ny = 2\n");
  const RunResult run = runOn(fs, {"-D=", "main"});
  EXPECT_EQ(run.printed,
            "pelc: Prompt not found: pnum = 122\n"
            "main.pmp:\n"
            "main.pmp (2): Prompt not found: pnum = 122\n"
            "main.pmp (2): Prompt not found: pnum = 122\n"
            "next.pmp:\n"
            "next.pmp (3): Prompt not found: pnum = 122\n");
  EXPECT_EQ(run.status, 0);
}

TEST(RunTest, ListingNamesTheGeneratedTemporaries) {
  MemoryFileSystem fs;
  fs.addFile("prog.pmp", "SWITCH (a) {\nCASE 1\nSWITCH (b) {\nDEFAULT\nx = 1\n}\n}\n");
  const RunResult run = runOn(fs, {"-L", "prog"});
  EXPECT_EQ(run.printed,
            "prog.pmp:\nPrompt not found: pnum = 33\nPrompt not found: pnum = 34\n"
            "        " +
                temporaryName("prog.pmp", 1) +
                "\n"
                "        " +
                temporaryName("prog.pmp", 2) + "\n");
  EXPECT_EQ(run.status, 0);
}

TEST(RunTest, InputThatIsADirectory) {
  for (const char* option : {"-L", "-u"}) {
    MemoryFileSystem fs;
    fs.addDirectory("prog.pmp");
    const RunResult run = runOn(fs, {option, "prog"});
    const std::string listing = std::string(option) == "-L" ? "Prompt not found: pnum = 33\n" : "";
    EXPECT_EQ(run.printed, "prog.pmp:\npelc: cannot read prog.pmp: Is a directory\n" + listing)
        << option;
    EXPECT_EQ(run.status, 1) << option;
    EXPECT_FALSE(exists(fs, "prog.pml")) << option;
  }
}

TEST(RunTest, QueueHoldsAThousandFiles) {
  struct Case {
    const char* label;
    int chains;
    bool overflow;
  };
  const Case cases[] = {{"a thousand entries", 999, false}, {"the 1001st entry", 1000, true}};
  for (const Case& c : cases) {
    MemoryFileSystem fs;
    std::string source;
    for (int i = 1; i <= c.chains; ++i) source += "CHAIN f" + std::to_string(i) + "\n";
    fs.addFile("main.pmp", source);
    const RunResult run = runOn(fs, {"main"});
    const std::vector<std::string> compiled = headers(run.printed);
    EXPECT_EQ(run.status, 1) << c.label;
    if (c.overflow) {
      EXPECT_EQ(run.printed, "main.pmp:\nmain.pmp (1000): Prompt not found: pnum = 253\n")
          << c.label;
      EXPECT_FALSE(exists(fs, "main.pml")) << c.label;
    } else {
      EXPECT_EQ(run.printed.find("pnum"), std::string::npos) << c.label;
      ASSERT_EQ(compiled.size(), 1000u) << c.label;
      EXPECT_EQ(compiled.back(), "f999.pmp") << c.label;
      EXPECT_TRUE(exists(fs, "main.pml")) << c.label;
    }
  }
}

TEST(RunTest, ExitStatusOfAWholeRun) {
  struct Case {
    const char* label;
    std::vector<std::string> args;
    int status;
  };
  const Case cases[] = {
      {"clean compile", {"prog"}, 0},
      {"help", {"-??"}, 1},
      {"usage error", {"-Z", "prog"}, 255},
      {"too many options",
       {"-Ia", "-Ib", "-Ic", "-Id", "-Ie", "-If", "-Ig", "-Ih", "-Ii", "-Ij", "-Ik", "-Il", "prog"},
       255},
  };
  for (const Case& c : cases) {
    MemoryFileSystem fs;
    fs.addFile("prog.pmp", "x = 1\n");
    EXPECT_EQ(runOn(fs, c.args).status, c.status) << c.label;
  }
}

}  // namespace
}  // namespace pelc
