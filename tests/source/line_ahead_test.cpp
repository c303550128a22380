// Lines read ahead on a second thread must be the lines the reader gives, with the
// same positions and counters, whatever the batch size; where the reading ahead
// stops, the reader goes on exactly where reading line by line would be.
#include "source/line_ahead.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

namespace pelc {
namespace {

using namespace std::string_literals;

struct ReadLine {
  std::string text;
  LineInfo info;
  int commentFlag = 0;
  std::int32_t lineAfter = 0;

  bool operator==(const ReadLine& other) const {
    return text == other.text && info.startPos == other.info.startPos &&
           info.endPos == other.info.endPos && info.startLine == other.info.startLine &&
           info.endedWithNewline == other.info.endedWithNewline &&
           commentFlag == other.commentFlag && lineAfter == other.lineAfter;
  }
};

std::ostream& operator<<(std::ostream& out, const ReadLine& line) {
  return out << '"' << line.text << "\" " << line.info.startPos << '-' << line.info.endPos
             << " line " << line.info.startLine << '-' << line.lineAfter
             << (line.info.endedWithNewline ? " nl" : "") << " comment " << line.commentFlag;
}

/// Everything a read of a whole source shows: its lines, how it ended, and where
/// the reader was left.
struct Reading {
  std::vector<ReadLine> lines;
  std::string printed;  // the message of a line too long, if one was
  bool aborted = false;
  std::int32_t finalLine = 0;
  std::int32_t finalPosition = 0;
  std::int32_t eofPosition = 0;
};

/// Reads the rest of the source line by line, as the parse does without reading ahead.
void readRest(SourceReader& reader, Reading& reading) {
  std::ostringstream printed;
  Diagnostics diag(printed);
  std::string text;
  try {
    for (;;) {
      ReadLine line;
      if (readLogicalLine(reader, diag, text, true, line.info, &line.commentFlag) == 0) break;
      line.text = text;
      line.lineAfter = reader.currentLine();
      reading.lines.push_back(line);
    }
  } catch (const AbortFile&) {
    reading.aborted = true;
  }
  reading.printed = printed.str();
  reading.finalLine = reader.currentLine();
  reading.finalPosition = reader.sourcePosition();
  reading.eofPosition = reader.eofPosition();
}

Reading readLineByLine(const std::string& bytes) {
  SourceReader reader;
  reader.attach(bytes);
  Reading reading;
  readRest(reader, reading);
  return reading;
}

Reading readAhead(const std::string& bytes, std::size_t batchLines) {
  SourceReader reader;
  reader.attach(bytes);
  Reading reading;
  {
    LineAhead ahead(reader.saveState(), batchLines);
    std::string text;
    for (;;) {
      ReadLine line;
      if (!ahead.next(text, line.info, &line.commentFlag, reader)) break;
      line.text = text;
      line.lineAfter = reader.currentLine();
      reading.lines.push_back(line);
    }
  }
  readRest(reader, reading);
  return reading;
}

struct Source {
  const char* name;
  std::string bytes;
};

std::string manyLines() {
  std::string text;
  for (int i = 0; i < 500; ++i) {
    text.append("v").append(std::to_string(i)).append(" = ").append(std::to_string(i * 7));
    text += '\n';
    if (i % 7 == 0) text += "IF (a) {\r\n  b = 'x' /* c\n d */ + \"}\"\n}\n";
    if (i % 11 == 0) text += "REM {not split}\n\\\n\rlone\n";
  }
  return text;
}

const std::vector<Source>& sources() {
  static const std::vector<Source> list = {
      {"empty", ""},
      {"plain lines", "a = 1\nb = 2\n"},
      {"no newline at the end", "a = 1\nb"},
      {"CR LF and a lone CR", "a\r\nb\rc\r\n\r\n"},
      {"line joins", "a = \\\n 1\nb\\\r\n2\n\\"},
      {"comments", "a /* x\ny */ = 1\n/* only */\nb /* open"},
      {"braces split", "IF (a) {\n} ELSE {b}\n{  \n}x\n{/ \n"},
      {"quotes and escapes", "s = \"a\\\"b{\"\nc = '}' \"open\n"},
      {"NUL and 0xFF bytes", "a\0b\n\xff{\xff}\n\0"s},
      {"characters given back across lines", "}}/\\\rd\n{\\\rx\n}/\\\r"},
      {"a line too long in the middle", "a\n" + std::string(3000, 'x') + "\nb\n"},
      {"a line too long first", std::string(3000, 'y')},
      {"a quoted line too long", std::string("\"").append(2100, 'q').append("\"\n")},
      {"many lines", manyLines()},
      {"many lines, then one too long", manyLines() + std::string(2500, 'z')},
  };
  return list;
}

TEST(LineAheadTest, GivesTheLinesOfTheReaderWhateverTheBatchSize) {
  for (const Source& source : sources()) {
    const Reading expected = readLineByLine(source.bytes);
    for (const std::size_t batch : {std::size_t{1}, std::size_t{2}, std::size_t{3}, std::size_t{64},
                                    LineAhead::kBatchLines}) {
      SCOPED_TRACE(std::string(source.name) + ", batches of " + std::to_string(batch));
      const Reading got = readAhead(source.bytes, batch);
      EXPECT_EQ(got.lines, expected.lines);
      EXPECT_EQ(got.aborted, expected.aborted);
      EXPECT_EQ(got.printed, expected.printed);
      EXPECT_EQ(got.finalLine, expected.finalLine);
      EXPECT_EQ(got.finalPosition, expected.finalPosition);
      EXPECT_EQ(got.eofPosition, expected.eofPosition);
    }
  }
}

TEST(LineAheadTest, ALongSourceFillsBatchesByBytesAsWellAsLines) {
  // Lines long enough that a batch is cut by its bytes long before its lines.
  std::string bytes;
  for (int i = 0; i < 400; ++i) bytes += std::string(1000, static_cast<char>('a' + i % 26)) + "\n";
  const Reading expected = readLineByLine(bytes);
  const Reading got = readAhead(bytes, LineAhead::kBatchLines);
  EXPECT_EQ(got.lines, expected.lines);
  EXPECT_EQ(got.finalPosition, expected.finalPosition);
}

// A line taken back must come again as the reader gives it after a seek to the
// end of the line before: the ARRAY statement reads the line after it again so.
TEST(LineAheadTest, ALineTakenBackComesAgainAsAfterASeek) {
  for (const Source& source : sources()) {
    SCOPED_TRACE(source.name);
    const Reading all = readLineByLine(source.bytes);
    // Each case reads the rest of the source again: the first lines are enough.
    const std::size_t cases = std::min<std::size_t>(all.lines.size(), 80);
    int takenBack = 0;
    for (std::size_t before = 1; before < cases; ++before) {
      SourceReader reader;
      reader.attach(source.bytes);
      LineAhead ahead(reader.saveState(), 3);
      std::string text;
      ReadLine line;
      // A reading ahead that stops by itself (ReadingPace) leaves nothing to take back.
      bool taken = true;
      for (std::size_t i = 0; i <= before && taken; ++i) {
        taken = ahead.next(text, line.info, &line.commentFlag, reader);
      }
      if (!taken || !ahead.takeBack()) continue;
      ++takenBack;
      const ReadLine& previous = all.lines[before - 1];
      SourceReader seeking;
      seeking.attach(source.bytes);
      seeking.seekSource(previous.info.endPos);
      seeking.setCurrentLine(previous.lineAfter);
      Reading again;
      readRest(seeking, again);
      ASSERT_FALSE(again.lines.empty());

      ReadLine got;
      reader.setCurrentLine(previous.lineAfter);
      ASSERT_TRUE(ahead.next(text, got.info, &got.commentFlag, reader));
      got.text = text;
      got.lineAfter = reader.currentLine();
      EXPECT_EQ(got, again.lines.front()) << "taken back after line " << before;
    }
    // Only lines that begin with characters given back are left to the reader.
    if (std::string(source.name) == "many lines") {
      EXPECT_GT(takenBack, 0);
    }
  }
}

TEST(ReadingPaceTest, BehindOnceMostBatchesWereWaitedForAfterTheFirstFew) {
  struct Case {
    int taken;
    int waited;  // the first `waited` of them
    bool behind;
  };
  const Case cases[] = {
      {15, 15, false},  // too early to judge
      {16, 16, true},  {16, 9, true},    {16, 8, false},
      {100, 51, true}, {100, 50, false}, {1000, 40, false},
  };
  for (const Case& c : cases) {
    ReadingPace pace;
    for (int i = 0; i < c.taken; ++i) pace.batchTaken(i < c.waited);
    EXPECT_EQ(pace.behind(), c.behind) << c.taken << " taken, " << c.waited << " waited";
  }
}

// Lines read character by character (quoted escapes) cost the reading far more
// than they cost the taking: the parse keeps waiting, and reads the rest itself.
// When it stops depends on timing, and a busy machine may delay it: a few tries.
TEST(LineAheadTest, StopsWhereThePartTakingTheLinesKeepsWaiting) {
  constexpr std::size_t kLines = 800;
  std::string bytes;
  for (std::size_t i = 0; i < kLines; ++i) {
    bytes += "s = \"";
    for (int j = 0; j < 600; ++j) bytes += "\\\"";
    bytes += "\"\n";
  }
  const Reading expected = readLineByLine(bytes);
  bool stopped = false;
  for (int attempt = 0; attempt < 5 && !stopped; ++attempt) {
    SourceReader reader;
    reader.attach(bytes);
    Reading got;
    {
      // Batches of a few such lines take the reading far longer than the
      // parse's side takes to wake up for them.
      LineAhead ahead(reader.saveState(), 8);
      std::string text;
      ReadLine line;
      while (ahead.next(text, line.info, &line.commentFlag, reader)) {
        line.text = text;
        line.lineAfter = reader.currentLine();
        got.lines.push_back(line);
      }
      stopped = got.lines.size() < kLines;
    }
    readRest(reader, got);
    EXPECT_EQ(got.lines, expected.lines);
    EXPECT_EQ(got.finalPosition, expected.finalPosition);
  }
  EXPECT_TRUE(stopped);
}

TEST(LineAheadTest, NothingIsTakenBackBeforeTheFirstLine) {
  const std::string bytes = "a\nb\n";
  SourceReader reader;
  reader.attach(bytes);
  LineAhead ahead(reader.saveState(), 1);
  EXPECT_FALSE(ahead.takeBack());
}

// The reading thread may be waiting for room or still reading: either way,
// dropping the reading ahead part way must end it.
TEST(LineAheadTest, StopsWhenDroppedPartWay) {
  const std::string bytes = manyLines();
  const Reading all = readLineByLine(bytes);
  for (const std::size_t wanted : {0, 1, 5, 40}) {
    SourceReader reader;
    reader.attach(bytes);
    std::optional<LineAhead> ahead;
    ahead.emplace(reader.saveState(), 2);
    std::string text;
    LineInfo info;
    std::size_t taken = 0;
    // It may also have stopped by itself (ReadingPace) before.
    while (taken < wanted && ahead->next(text, info, nullptr, reader)) {
      EXPECT_EQ(text, all.lines[taken].text);
      ++taken;
    }
    ahead.reset();
  }
}

}  // namespace
}  // namespace pelc
