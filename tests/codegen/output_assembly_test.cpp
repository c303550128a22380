// Tests of output line assembly: line markers, source copies, echoes and broken-off lines.
#include "codegen/output_assembly.h"

#include <gtest/gtest.h>

#include <functional>
#include <sstream>
#include <string>

namespace pelc {
namespace {

/// Keeps the bytes an output sink writes.
class CapturedFile final : public ByteSink {
 public:
  void write(std::string_view bytes) override { bytes_.append(bytes); }
  const std::string& bytes() const { return bytes_; }

 private:
  std::string bytes_;
};

/// An assembly over `source`, with the file's bytes available after finish().
class Assembly {
 public:
  explicit Assembly(std::string source, bool suppressMarkers = false) : source_(std::move(source)) {
    settings_.suppressLineMarkers = suppressMarkers;
    diag_.setCurrentFileName("t.pmp");
    reader_.attach(source_);
  }

  OutputAssembly& out() { return assembly_; }
  SourceReader& reader() { return reader_; }
  Diagnostics& diag() { return diag_; }
  std::string printed() const { return printed_.str(); }

  std::string finish() {
    sink_.flush();
    return file_.bytes();
  }

 private:
  std::string source_;
  Settings settings_;
  std::ostringstream printed_;
  Diagnostics diag_{printed_};
  SourceReader reader_;
  CapturedFile file_;
  OutputSink sink_{file_};
  OutputAssembly assembly_{sink_, reader_, settings_, diag_};
};

using Steps = std::function<void(OutputAssembly&)>;

TEST(OutputAssemblyTest, LineMarkers) {
  struct Case {
    const char* label;
    Steps steps;
    std::string expected;
  };
  const Case cases[] = {
      {"marker in front of the next output",
       [](OutputAssembly& o) {
         o.setLineMarker(3, "a.pmp");
         o.addLine("x\r\n");
       },
       "#line 3 \"a.pmp\"\r\nx\r\n"},
      {"two markers in a row: only the second",
       [](OutputAssembly& o) {
         o.setLineMarker(3, "a.pmp");
         o.setLineMarker(7, "b.pmp");
         o.addLine("x\n");
       },
       "#line 7 \"b.pmp\"\r\nx\r\n"},
      {"nameless marker keeps a pending name",
       [](OutputAssembly& o) {
         o.setLineMarker(3, "a.pmp");
         o.setLineMarker(7);
         o.addLine("x\n");
       },
       "#line 7 \"a.pmp\"\r\nx\r\n"},
      {"nameless marker after a written one has no name",
       [](OutputAssembly& o) {
         o.setLineMarker(3, "a.pmp");
         o.addLine("x\n");
         o.setLineMarker(9);
         o.addLine("y\n");
       },
       "#line 3 \"a.pmp\"\r\nx\r\n#line 9\r\ny\r\n"},
      {"marker without output after it is never written",
       [](OutputAssembly& o) {
         o.addLine("x\n");
         o.setLineMarker(4);
       },
       "x\r\n"},
      {"empty copy does not write the marker",
       [](OutputAssembly& o) {
         o.setLineMarker(2);
         o.copySource(3, 3);
       },
       ""},
      {"copy writes the marker first",
       [](OutputAssembly& o) {
         o.setLineMarker(1, "t");
         o.copySource(0, 4);
       },
       "#line 1 \"t\"\r\nab\r\n"},
      {"explicit flush writes once",
       [](OutputAssembly& o) {
         o.setLineMarker(5);
         o.flushLineMarker();
         o.flushLineMarker();
         o.addLine("x\n");
       },
       "#line 5\r\nx\r\n"},
  };
  for (const Case& c : cases) {
    Assembly marked("ab\r\ncd\n");
    c.steps(marked.out());
    EXPECT_EQ(marked.finish(), c.expected) << c.label;

    // With -X the output is the same without its marker lines.
    Assembly plain("ab\r\ncd\n", true);
    c.steps(plain.out());
    std::string withoutMarkers;
    std::istringstream lines(c.expected);
    for (std::string line; std::getline(lines, line);) {
      if (line.rfind("#line", 0) != 0) withoutMarkers += line + "\n";
    }
    EXPECT_EQ(plain.finish(), withoutMarkers) << c.label << " (-X)";
  }
}

TEST(OutputAssemblyTest, LargeCopyKeepsLineEndsAcrossPieces) {
  // A CR at byte 2047 and its LF at byte 2048 straddle the first piece boundary.
  std::string source(2047, 'a');
  source += "\r\n";
  source += std::string(2000, 'b') + "\r" + std::string(5000 - 2049 - 2000 - 1 - 2, 'c') + "\r\n";
  ASSERT_EQ(source.size(), 5000u);

  Assembly assembly(source);
  assembly.out().copySource(0, 5000);
  const std::string written = assembly.finish();

  std::string expected = source;  // every CR LF stays one CR LF, the lone CR stays alone
  EXPECT_EQ(written, expected);
  EXPECT_EQ(written.find("\r\r"), std::string::npos);
}

TEST(OutputAssemblyTest, CopiedLinesAreNeverContinued) {
  // Offsets: "x = 1" 0..5, " {" 5..7, "\n" 7..8, "y" 8..9, "\n" 9..10
  const std::string source = "x = 1 {\ny\n";
  struct Case {
    const char* label;
    Steps steps;
    std::string expected;
  };
  const Case cases[] = {
      {"generated line after a copy without line feed",
       [](OutputAssembly& o) {
         o.copySource(0, 5);
         o.addLine("GOTO PML1\n");
       },
       "x = 1\r\nGOTO PML1\r\n"},
      {"contiguous copy continues the line",
       [](OutputAssembly& o) {
         o.copySource(0, 5);
         o.copySource(5, 8);
       },
       "x = 1 {\r\n"},
      {"copy from elsewhere starts a new line",
       [](OutputAssembly& o) {
         o.copySource(0, 5);
         o.copySource(8, 10);
       },
       "x = 1\r\ny\r\n"},
      {"marker after an open copy",
       [](OutputAssembly& o) {
         o.copySource(0, 5);
         o.setLineMarker(2);
         o.copySource(5, 8);
       },
       "x = 1\r\n#line 2\r\n {\r\n"},
      {"echo after an open copy",
       [](OutputAssembly& o) {
         o.copySource(0, 5);
         o.echoLine(8, 10);
       },
       "x = 1\r\nREM y\r\n"},
      {"copy ending with a line feed needs nothing",
       [](OutputAssembly& o) {
         o.copySource(0, 8);
         o.addLine("z\n");
       },
       "x = 1 {\r\nz\r\n"},
      {"open copy at the very end stays open", [](OutputAssembly& o) { o.copySource(0, 5); },
       "x = 1"},
      {"label after an open copy",
       [](OutputAssembly& o) {
         o.copySource(0, 5);
         o.addLabel("GOTO PML", 7);
       },
       "x = 1\r\nGOTO PML7\r\n"},
      {"normalised line after an open copy, under a pending marker",
       [](OutputAssembly& o) {
         o.copySource(0, 5);
         o.setLineMarker(3);
         o.addNormalizedLine("  a  =\t'b  c'  \n");
       },
       "x = 1\r\n#line 3\r\n  a = 'b  c'\r\n"},
      {"completeLine ends the open line once",
       [](OutputAssembly& o) {
         o.copySource(0, 5);
         o.completeLine();
         o.addLine("z\n");
       },
       "x = 1\r\nz\r\n"},
  };
  for (const Case& c : cases) {
    Assembly assembly(source);
    c.steps(assembly.out());
    EXPECT_EQ(assembly.finish(), c.expected) << c.label;
  }
}

TEST(OutputAssemblyTest, CopyFromAnotherBufferAtTheSameOffsetStartsANewLine) {
  const std::string other = "abcdef\n";
  Assembly assembly("x = 1 {\n");
  assembly.out().copySource(0, 5);
  assembly.reader().attach(other);
  assembly.out().copySource(5, 7);
  EXPECT_EQ(assembly.finish(), "x = 1\r\nf\r\n");
}

TEST(OutputAssemblyTest, EchoLine) {
  struct Case {
    const char* label;
    std::string source;
    std::string expected;
  };
  const Case cases[] = {
      {"one line, trailing blanks removed", "IF (a)  \t\r\n", "REM IF (a)\r\n"},
      {"continued line: one REM per physical line", "x = 1 + \\\r\n  2   \r\n",
       "REM x = 1 + \\\r\nREM   2\r\n"},
      {"line without line end still ends its line", "WHILE (b)", "REM WHILE (b)\r\n"},
      {"lone CR is kept", "a\rb\n", "REM a\rb\r\n"},
  };
  for (const Case& c : cases) {
    Assembly assembly(c.source);
    assembly.out().echoLine(0, static_cast<std::int32_t>(c.source.size()));
    EXPECT_EQ(assembly.finish(), c.expected) << c.label;
    EXPECT_EQ(assembly.diag().errorState(), ErrorState::None) << c.label;
  }
}

TEST(OutputAssemblyTest, EchoLimit) {
  struct Case {
    const char* label;
    std::int32_t length;
    std::string printed;
  };
  const Case cases[] = {
      {"2048 bytes", 2048, ""},
      {"2049 bytes", 2049, "t.pmp: Prompt not found: pnum = 243\n"},
  };
  for (const Case& c : cases) {
    Assembly assembly(std::string(3000, 'q'));
    EXPECT_NO_THROW(assembly.out().echoLine(0, c.length)) << c.label;
    EXPECT_EQ(assembly.printed(), c.printed) << c.label;
    EXPECT_EQ(assembly.diag().errorState(),
              c.printed.empty() ? ErrorState::None : ErrorState::Error)
        << c.label;
  }
}

TEST(OutputAssemblyTest, PositionsOutOfOrderAreAnInternalError) {
  struct Case {
    const char* label;
    Steps steps;
    std::string line;
  };
  const Case cases[] = {
      {"copy backwards", [](OutputAssembly& o) { o.copySource(5, 3); },
       "pelc: Internal error - spos: 5, epos: 3\r\n"},
      {"copy from a negative position", [](OutputAssembly& o) { o.copySource(-1, 4); },
       "pelc: Internal error - spos: -1, epos: 4\r\n"},
      {"copy to a negative position", [](OutputAssembly& o) { o.copySource(2, -7); },
       "pelc: Internal error - spos: 2, epos: -7\r\n"},
      {"echo backwards", [](OutputAssembly& o) { o.echoLine(6, 2); },
       "pelc: Internal error - spos: 6, epos: 2\r\n"},
  };
  for (const Case& c : cases) {
    Assembly assembly("0123456789\n");
    c.steps(assembly.out());
    EXPECT_EQ(assembly.finish(), c.line) << c.label << ": nothing but the line is written";
    EXPECT_EQ(assembly.printed(), c.line) << c.label;
    EXPECT_EQ(assembly.diag().errorState(), ErrorState::Error) << c.label;
  }
}

TEST(OutputAssemblyTest, CopyBeyondTheSourceIsAReadError) {
  Assembly assembly("abc\n");
  EXPECT_THROW(assembly.out().copySource(0, 9), AbortFile);
  EXPECT_EQ(assembly.printed(), "t.pmp: Prompt not found: pnum = 201\n");
}

// Labels and normalised lines are written into the output's buffer directly:
// whatever room is left when they come, the bytes must be those of the general
// path, and a line longer than the buffer takes that path itself.
TEST(OutputAssemblyTest, DirectLinesAtEveryFillOfTheBuffer) {
  const std::string longText = "a  " + std::string(40000, 'b') + "  c\n";
  const std::string longLine = "a " + std::string(40000, 'b') + " c\r\n";
  for (std::size_t filler = 65480; filler < 65540; filler += 3) {
    Assembly assembly("");
    const std::string before(filler, 'f');
    assembly.out().addLine(before + "\n");
    assembly.out().addLabel("    GOTO PML", 2147483647);
    assembly.out().addNormalizedLine("\tx  =  y\n");
    assembly.out().addNormalizedLine(longText);
    assembly.out().addLabel(":PML", 5);
    EXPECT_TRUE(assembly.finish() ==
                before + "\r\n    GOTO PML2147483647\r\n\tx = y\r\n" + longLine + ":PML5\r\n")
        << filler;
  }
}

TEST(OutputAssemblyTest, AddLineFoldsLineEnds) {
  Assembly assembly("");
  assembly.out().addLine("a\r\nb\rc\n");
  assembly.out().addLabel(":PML", 12);
  EXPECT_EQ(assembly.finish(), "a\r\nb\rc\r\n:PML12\r\n");
}

}  // namespace
}  // namespace pelc
