// Tests of the logical line reader: comments, quotes, brace splitting, positions, limit.
#include "source/line_reader.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace pelc {
namespace {

using namespace std::string_literals;

struct Line {
  std::string text;
  bool endedWithNewline;
  bool operator==(const Line&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Line& line) {
  return out << '"' << line.text << '"' << (line.endedWithNewline ? " nl" : "");
}

struct ReadResult {
  Line line;
  LineInfo info;
  bool commentRemoved;
  int32_t lineAfter;
};

class LineReaderTest : public ::testing::Test {
 protected:
  void open(const std::string& bytes) {
    bytes_ = bytes;
    reader_.attach(bytes_);
    reader_.setCurrentLine(1);
    diag_.setCurrentFileName("t.pmp");
  }

  ReadResult readOne(bool splitBraces = true) {
    ReadResult result{};
    const std::size_t count =
        readLogicalLine(reader_, diag_, text_, splitBraces, result.info, &result.commentRemoved);
    EXPECT_EQ(count, text_.size());
    result.line = Line{text_, result.info.endedWithNewline};
    result.lineAfter = reader_.currentLine();
    return result;
  }

  std::vector<ReadResult> readAll(bool splitBraces = true) {
    std::vector<ReadResult> results;
    for (ReadResult r = readOne(splitBraces); !r.line.text.empty(); r = readOne(splitBraces)) {
      results.push_back(r);
    }
    return results;
  }

  // The emitter's use of the positions: the lines tile the file, and a line read again
  // from its start yields the same text, end and line count.
  void expectPositionsReplay(const std::vector<ReadResult>& lines, bool splitBraces) {
    int32_t expectedStart = 0;
    for (const ReadResult& r : lines) {
      SCOPED_TRACE(r.line.text);
      EXPECT_EQ(r.info.startPos, expectedStart);
      expectedStart = r.info.endPos;
      reader_.seekSource(r.info.startPos);
      reader_.setCurrentLine(r.info.startLine);
      LineInfo again;
      readLogicalLine(reader_, diag_, text_, splitBraces, again, nullptr);
      EXPECT_EQ(text_, r.line.text);
      EXPECT_EQ(again.endPos, r.info.endPos);
      EXPECT_EQ(reader_.currentLine(), r.lineAfter);
    }
    EXPECT_EQ(expectedStart, static_cast<int32_t>(bytes_.size()));
  }

  std::string bytes_;
  SourceReader reader_;
  std::ostringstream out_;
  Diagnostics diag_{out_};
  std::string text_;
};

struct LinesCase {
  const char* name;
  std::string source;
  bool splitBraces;
  std::vector<Line> lines;
};

TEST_F(LineReaderTest, SplitsSourceIntoLogicalLines) {
  const std::vector<LinesCase> cases = {
      {"empty file", "", true, {}},
      {"empty line", "\n", true, {{"\n", true}}},
      {"last line without newline", "a\nbc", true, {{"a\n", true}, {"bc", false}}},
      {"crlf lines", "a\r\nb\r\n", true, {{"a\n", true}, {"b\n", true}}},
      {"joined lines", "a\\\nb\n", true, {{"ab\n", true}}},
      {"comment joins lines", "x = 1 /* a\n b */ y\n", true, {{"x = 1  y\n", true}}},
      {"comment closed by stars", "a /* **/ b\n", true, {{"a  b\n", true}}},
      {"quotes and braces in comment", "a /* ' { */ b\n", true, {{"a  b\n", true}}},
      {"comment open at end", "a /* b\nc", true, {{"a ", false}}},
      {"else between braces", "} ELSE {\n", true, {{"} ", false}, {"ELSE ", false}, {"{\n", true}}},
      {"if with body",
       "IF (a) { x }\n",
       true,
       {{"IF (a) ", false}, {"{ ", false}, {"x ", false}, {"}\n", true}}},
      {"rem keeps braces", "REM a { b }\n", true, {{"REM a { b }\n", true}}},
      {"lower rem after blanks", "  rem\t{x}\n", true, {{"  rem\t{x}\n", true}}},
      {"remark is not rem", "remark {\n", true, {{"remark ", false}, {"{\n", true}}},
      {"rem glued to brace", "REM{x}\n", true, {{"REM{x", false}, {"}\n", true}}},
      {"brace in quotes", "PRINT \"{ a }\"\n", true, {{"PRINT \"{ a }\"\n", true}}},
      {"escaped quote", "PRINT \"a\\\"{b\"\n", true, {{"PRINT \"a\\\"{b\"\n", true}}},
      {"comment marker in quotes", "s = `/* x`\n", true, {{"s = `/* x`\n", true}}},
      {"quote runs over newline", "s = 'a\nb'\n", true, {{"s = 'a\nb'\n", true}}},
      {"other quote does not close", "s = \"a'b\"\n", true, {{"s = \"a'b\"\n", true}}},
      {"escape at end", "\"a\\", true, {{"\"a\\", false}}},
      {"slash without star", "a/b\n", true, {{"a/b\n", true}}},
      {"slash blank star", "a / *b\n", true, {{"a / *b\n", true}}},
      {"braces not split", "} ELSE {\n", false, {{"} ELSE {\n", true}}},
      {"file ends in brace slash", "}/", true, {{"}", false}, {"/", false}}},
      {"brace then slash crlf", "{ /\r\nx", true, {{"{ ", false}, {"/\n", true}, {"x", false}}},
      {"brace after join", "a \\\n{\n", true, {{"a ", false}, {"{\n", true}}},
      {"comment after brace", "{ /* c */ x\n", true, {{"{  ", false}, {"x\n", true}}},
      {"raw join in comment", "a /* \\\n*/b\n", true, {{"a b\n", true}}},
      {"no join after star in comment", "a /* *\\\n/ b */c\n", true, {{"a c\n", true}}},
      {"nul is text", "a\0b\n"s, true, {{"a\0b\n"s, true}}},
      {"nul after brace", "{\0"s, true, {{"{", false}, {"\0"s, false}}},
      {"0xff is text", "a\xff\n", true, {{"a\xff\n", true}}},
      {"brace lines with crlf", "  {\r\n}\r\n", true, {{"  {\n", true}, {"}\n", true}}},
      {"brace then blanks then text", "{ \tx\n", true, {{"{ \t", false}, {"x\n", true}}},
      {"brace after text at end", "a }", true, {{"a ", false}, {"}", false}}},
      {"rem after quote keeps braces", "REM 'a' { b }\r\n", true, {{"REM 'a' { b }\n", true}}},
      {"comment over crlf lines", "a /* x\r\ny */ b\r\n", true, {{"a  b\n", true}}},
      {"join with crlf", "a\\\r\nb\r\n", true, {{"ab\n", true}}},
      {"lone cr is text", "a\rb\n", true, {{"a\rb\n", true}}},
      {"many comments", "a/**/b/**/c/**/d/**/e/**/f\n", true, {{"abcdef\n", true}}},
      {"slash at end", "a/", true, {{"a/", false}}},
      {"brace after comment", "a /**/ {\n", true, {{"a  ", false}, {"{\n", true}}},
      // Reading the backslash leaves CR and d given back; the slash and the backslash
      // go back on top of them: four at once.
      {"brace, slash, backslash, lone cr", "{/\\\rd\n", true, {{"{", false}, {"/\\\rd\n", true}}},
      {"two braces, slash, backslash, lone cr",
       "}}/\\\rd \n",
       true,
       {{"}", false}, {"}", false}, {"/\\\rd \n", true}}},
  };
  for (const LinesCase& c : cases) {
    SCOPED_TRACE(c.name);
    open(c.source);
    const std::vector<ReadResult> results = readAll(c.splitBraces);
    std::vector<Line> lines;
    for (const ReadResult& r : results) lines.push_back(r.line);
    EXPECT_EQ(lines, c.lines);
    expectPositionsReplay(results, c.splitBraces);
  }
}

TEST_F(LineReaderTest, CommentAcrossLinesIsFlaggedAndCounted) {
  open("x = 1 /* a\n b */ y\nz\n");
  const ReadResult first = readOne();
  EXPECT_TRUE(first.commentRemoved);
  EXPECT_EQ(first.info.startLine, 1);
  EXPECT_EQ(first.lineAfter, 3);
  const ReadResult second = readOne();
  EXPECT_FALSE(second.commentRemoved);
  EXPECT_EQ(second.info.startLine, 3);
}

TEST_F(LineReaderTest, SplitBracesRecordPositions) {
  open("} ELSE {\n");
  const std::vector<ReadResult> lines = readAll();
  ASSERT_EQ(lines.size(), 3u);
  const int32_t starts[] = {0, 2, 7};
  const int32_t ends[] = {2, 7, 9};
  for (std::size_t i = 0; i < lines.size(); ++i) {
    EXPECT_EQ(lines[i].info.startPos, starts[i]);
    EXPECT_EQ(lines[i].info.endPos, ends[i]);
    EXPECT_EQ(lines[i].info.startLine, 1);
  }
  EXPECT_EQ(lines[2].lineAfter, 2);
}

TEST_F(LineReaderTest, EndPosLiesBeforeGivenBackBrace) {
  open("ab{");
  const ReadResult r = readOne();
  EXPECT_EQ(r.line.text, "ab");
  EXPECT_EQ(r.info.endPos, 2);
}

TEST_F(LineReaderTest, IsRemLine) {
  const struct {
    const char* text;
    bool rem;
  } cases[] = {
      {"REM", true},   {"rEm x", true}, {" \tREM\n", true}, {"REMARK", false},
      {"REM{", false}, {"", false},     {"RE", false},      {"x REM", false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(isRemLine(c.text), c.rem) << c.text;
  }
}

// A caller may give back the newline of a line just read: it comes back with
// its own position and line count, however the line was read.
TEST_F(LineReaderTest, NewlineGivenBackAfterLine) {
  const struct {
    const char* name;
    std::string source;
  } cases[] = {
      {"plain", "ab\ncd\n"},        {"crlf", "ab\r\ncd\n"},   {"brace", "  {\ncd\n"},
      {"comment", "a/*\n*/\ncd\n"}, {"join", "a\\\nb\ncd\n"}, {"quotes", "'a' \"b\"\ncd\n"},
      {"full read", "a /x\ncd\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    open(c.source);
    const ReadResult first = readOne();
    reader_.ungetSourceChar('\n');
    EXPECT_EQ(reader_.sourcePosition(), first.info.endPos - 1);
    EXPECT_EQ(reader_.currentLine(), first.lineAfter - 1);
    EXPECT_EQ(reader_.getSourceChar(false), '\n');
    EXPECT_EQ(reader_.sourcePosition(), first.info.endPos);
    EXPECT_EQ(reader_.currentLine(), first.lineAfter);
    EXPECT_EQ(readOne().line, (Line{"cd\n", true}));
  }
}

struct LimitCase {
  const char* name;
  std::string source;
  std::size_t acceptedLength;  // 0: the line is too long
  int32_t messageLine;
};

TEST_F(LineReaderTest, LineLengthLimit) {
  const std::string full(kMaxLogicalLine, 'x');
  const std::string quotedToEscape = "\"" + std::string(kMaxLogicalLine - 2, 'x') + "\\";
  const std::vector<LimitCase> cases = {
      {"2045 and newline", full.substr(1) + "\n", kMaxLogicalLine, 0},
      {"2046 at end of file", full, kMaxLogicalLine, 0},
      {"2046 and more", full + "y", 0, 1},
      // The newline has already been counted when it turns out to be one too many.
      {"2046 and newline", full + "\n", 0, 2},
      {"reported at current line", "/*\n*/" + full + "y", 0, 2},
      {"escaped pair at the limit", quotedToEscape + "\"", 0, 1},
      {"2045 and crlf", full.substr(1) + "\r\n", kMaxLogicalLine, 0},
      {"2045 and brace", full.substr(1) + "{", kMaxLogicalLine - 1, 0},
      {"2046 and brace", full + "{", 0, 1},
      {"brace and blanks to the limit", "{" + std::string(kMaxLogicalLine - 2, ' ') + "\n",
       kMaxLogicalLine, 0},
      {"brace and blanks past the limit", "{" + std::string(kMaxLogicalLine - 1, ' ') + "\n", 0, 2},
      {"comment keeps the line short", full.substr(1) + "/* c */\n", kMaxLogicalLine, 0},
      {"2046 before a comment", full + "/* c\n */\n", 0, 1},
      {"join keeps the line short", full.substr(2) + "\\\ny\n", kMaxLogicalLine, 0},
  };
  for (const LimitCase& c : cases) {
    SCOPED_TRACE(c.name);
    out_.str("");
    open(c.source);
    LineInfo info;
    if (c.acceptedLength != 0) {
      EXPECT_EQ(readLogicalLine(reader_, diag_, text_, true, info, nullptr), c.acceptedLength);
      EXPECT_EQ(out_.str(), "");
      continue;
    }
    EXPECT_THROW(readLogicalLine(reader_, diag_, text_, true, info, nullptr), AbortFile);
    EXPECT_LE(text_.size(), kMaxLogicalLine);
    EXPECT_EQ(out_.str(),
              "t.pmp (" + std::to_string(c.messageLine) + "): Prompt not found: pnum = 223\n");
  }
}

}  // namespace
}  // namespace pelc
