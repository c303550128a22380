// Tests of the source reader: newline folding, joins, give-back and positions.
#include "source/source_reader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace pelc {
namespace {

using namespace std::string_literals;

std::vector<int> readToEnd(SourceReader& reader, bool raw) {
  std::vector<int> chars;
  for (int ch = reader.getSourceChar(raw); ch != END_OF_SOURCE; ch = reader.getSourceChar(raw)) {
    chars.push_back(ch);
  }
  return chars;
}

struct CharCase {
  const char* name;
  std::string bytes;
  bool raw;
  std::vector<int> chars;
  int32_t lastLine;
};

TEST(SourceReaderTest, CharactersAndLineCount) {
  const std::vector<CharCase> cases = {
      {"crlf is one newline", "A\r\nB", false, {'A', '\n', 'B'}, 2},
      {"lone cr is data", "A\rB", false, {'A', '\r', 'B'}, 1},
      {"backslash crlf joins", "A\\\r\nB", false, {'A', 'B'}, 2},
      {"backslash lf joins", "A\\\nB", false, {'A', 'B'}, 2},
      {"consecutive joins", "A\\\n\\\r\nB", false, {'A', 'B'}, 3},
      {"backslash before data", "A\\B", false, {'A', '\\', 'B'}, 1},
      {"second backslash does not join", "\\\\\n", false, {'\\', '\\', '\n'}, 2},
      {"backslash cr x", "\\\rX", false, {'\\', '\r', 'X'}, 1},
      {"raw backslash lf", "\\\n", true, {'\\', '\n'}, 2},
      {"raw backslash crlf", "\\\r\n", true, {'\\', '\n'}, 2},
      {"backslash at end", "A\\", false, {'A', '\\'}, 1},
      {"backslash cr at end", "\\\r", false, {'\\', '\r'}, 1},
      {"0xff is data", std::string{'A', '\xff', 'B'}, false, {'A', 0xFF, 'B'}, 1},
      {"nul is data", "A\0B"s, false, {'A', 0, 'B'}, 1},
      {"empty", "", false, {}, 1},
  };
  for (const CharCase& c : cases) {
    SCOPED_TRACE(c.name);
    SourceReader reader;
    reader.attach(c.bytes);
    EXPECT_EQ(readToEnd(reader, c.raw), c.chars);
    EXPECT_EQ(reader.currentLine(), c.lastLine);
    EXPECT_EQ(reader.getSourceChar(c.raw), END_OF_SOURCE);
    EXPECT_EQ(reader.eofPosition(), static_cast<int32_t>(c.bytes.size()));
    EXPECT_EQ(reader.sourcePosition(), static_cast<int32_t>(c.bytes.size()));
  }
}

TEST(SourceReaderTest, PositionAfterBackslashCrIsTheCr) {
  SourceReader reader;
  reader.attach("\\\rX");
  EXPECT_EQ(reader.getSourceChar(false), '\\');
  EXPECT_EQ(reader.sourcePosition(), 1);
  EXPECT_EQ(reader.getSourceChar(false), '\r');
  EXPECT_EQ(reader.sourcePosition(), 2);
}

TEST(SourceReaderTest, GivenBackNewlineKeepsLineCount) {
  SourceReader reader;
  reader.attach("A\r\nB");
  reader.getSourceChar(false);
  EXPECT_EQ(reader.getSourceChar(false), '\n');
  EXPECT_EQ(reader.currentLine(), 2);
  reader.ungetSourceChar('\n');
  EXPECT_EQ(reader.currentLine(), 1);
  EXPECT_EQ(reader.getSourceChar(false), '\n');
  EXPECT_EQ(reader.currentLine(), 2);
  EXPECT_EQ(reader.getSourceChar(false), 'B');
}

TEST(SourceReaderTest, GivenBackNulIsNotLost) {
  const std::string bytes = "\0X"s;
  SourceReader reader;
  reader.attach(bytes);
  EXPECT_EQ(reader.getSourceChar(false), 0);
  reader.ungetSourceChar(0);
  EXPECT_EQ(reader.sourcePosition(), 0);
  EXPECT_EQ(reader.getSourceChar(false), 0);
  EXPECT_EQ(reader.getSourceChar(false), 'X');
}

TEST(SourceReaderTest, GiveBackIsLastInFirstOut) {
  SourceReader reader;
  reader.attach("abcd");
  const int a = reader.getSourceChar(false);
  const int b = reader.getSourceChar(false);
  const int c = reader.getSourceChar(false);
  reader.ungetSourceChar(c);
  reader.ungetSourceChar(b);
  reader.ungetSourceChar(a);
  EXPECT_EQ(reader.sourcePosition(), 0);
  EXPECT_EQ(readToEnd(reader, false), (std::vector<int>{'a', 'b', 'c', 'd'}));
}

TEST(SourceReaderTest, PendingCharacterTakesNoPartInJoins) {
  SourceReader reader;
  reader.attach("\\\n");
  // Taken in raw mode, so the backslash comes alone; given back, it must stay alone.
  EXPECT_EQ(reader.getSourceChar(true), '\\');
  reader.ungetSourceChar('\\');
  EXPECT_EQ(readToEnd(reader, false), (std::vector<int>{'\\', '\n'}));
}

TEST(SourceReaderTest, GivenBackEndStandsForNoByte) {
  SourceReader reader;
  reader.attach("}/");
  reader.getSourceChar(false);
  const int slash = reader.getSourceChar(false);
  const int end = reader.getSourceChar(false);
  EXPECT_EQ(end, END_OF_SOURCE);
  reader.ungetSourceChar(end);
  EXPECT_EQ(reader.sourcePosition(), 2);
  reader.ungetSourceChar(slash);
  EXPECT_EQ(reader.sourcePosition(), 1);
}

// Characters made of several bytes, given back together with others, must still name
// the byte a re-read starts from.
TEST(SourceReaderTest, GivenBackCharactersKeepTheirOwnPositions) {
  struct Case {
    const char* name;
    std::string bytes;
    int32_t firstAt;
  };
  const std::vector<Case> cases = {
      {"slash then crlf", "{/\r\nx", 1},
      {"slash then join", "{/\\\nx", 1},
      {"join then x then crlf", "{\\\nx\r\n", 3},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SourceReader reader;
    reader.attach(c.bytes);
    reader.getSourceChar(false);
    const int first = reader.getSourceChar(false);
    const int second = reader.getSourceChar(false);
    reader.ungetSourceChar(second);
    reader.ungetSourceChar(first);
    EXPECT_EQ(reader.sourcePosition(), c.firstAt);
    const std::vector<int> fromPending = readToEnd(reader, false);
    reader.seekSource(c.firstAt);
    EXPECT_EQ(readToEnd(reader, false), fromPending);
  }
}

TEST(SourceReaderTest, SeekEmptiesPendingAndKeepsLine) {
  SourceReader reader;
  reader.attach("ab\ncd");
  readToEnd(reader, false);
  reader.ungetSourceChar(END_OF_SOURCE);
  reader.ungetSourceChar('d');
  reader.seekSource(1);
  EXPECT_EQ(reader.currentLine(), 2);
  EXPECT_EQ(reader.sourcePosition(), 1);
  EXPECT_EQ(reader.getSourceChar(false), 'b');
}

TEST(SourceReaderTest, StateSwitchesBuffersAndBack) {
  SourceReader reader;
  reader.attach("ab\ncd");
  reader.getSourceChar(false);
  reader.getSourceChar(false);
  reader.ungetSourceChar('b');
  const SourceReader::State saved = reader.saveState();

  const std::string other = "x\ny";
  reader.attach(other);
  reader.setCurrentLine(1);
  EXPECT_EQ(readToEnd(reader, false), (std::vector<int>{'x', '\n', 'y'}));
  EXPECT_EQ(reader.eofPosition(), 3);

  reader.restoreState(saved);
  EXPECT_EQ(reader.currentLine(), 1);
  EXPECT_EQ(reader.sourcePosition(), 1);
  EXPECT_EQ(readToEnd(reader, false), (std::vector<int>{'b', '\n', 'c', 'd'}));
  EXPECT_EQ(reader.currentLine(), 2);
}

TEST(SourceReaderTest, SavedPendingCharactersComeBack) {
  SourceReader reader;
  reader.attach("pq");
  reader.getSourceChar(false);
  reader.ungetSourceChar('p');
  const PendingChars saved = reader.savePending();
  reader.seekSource(1);
  reader.restorePending(saved);
  EXPECT_EQ(reader.getSourceChar(false), 'p');
  EXPECT_EQ(reader.getSourceChar(false), 'q');
}

// A lone pending character is turned back into its byte only where reading the
// byte again yields the same characters, positions and line count.
TEST(SourceReaderTest, SettledPendingCharacterReadsTheSame) {
  struct Case {
    const char* name;
    std::string bytes;
    int taken;  // characters taken before the last of them is given back
    bool settles;
  };
  const std::vector<Case> cases = {
      {"one-byte character", "ab{c", 3, true}, {"nul", "a\0b"s, 2, true},
      {"newline of crlf", "a\r\nb", 2, true},  {"raw backslash stays", "a\\\nb", 2, false},
      {"lone cr stays", "a\rb", 2, false},     {"joined character", "a\\\nb", 2, true},
      {"end stays", "ab", 3, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SourceReader reader;
    reader.attach(c.bytes);
    int last = END_OF_SOURCE;
    for (int i = 0; i < c.taken; ++i) last = reader.getSourceChar(c.name[0] == 'r');
    reader.ungetSourceChar(last);
    SourceReader settled = reader;
    settled.settlePending();
    EXPECT_EQ(settled.savePending().count == 0, c.settles);
    EXPECT_EQ(settled.sourcePosition(), reader.sourcePosition());
    for (int ch = reader.getSourceChar(false); ch != END_OF_SOURCE;
         ch = reader.getSourceChar(false)) {
      EXPECT_EQ(settled.getSourceChar(false), ch);
      EXPECT_EQ(settled.sourcePosition(), reader.sourcePosition());
      EXPECT_EQ(settled.currentLine(), reader.currentLine());
    }
    EXPECT_EQ(settled.getSourceChar(false), END_OF_SOURCE);
  }
}

TEST(SourceReaderTest, SecondPendingCharacterIsNotSettled) {
  SourceReader reader;
  reader.attach("abc");
  const int a = reader.getSourceChar(false);
  const int b = reader.getSourceChar(false);
  reader.ungetSourceChar(b);
  reader.ungetSourceChar(a);
  reader.settlePending();
  EXPECT_EQ(reader.savePending().count, 2);
  EXPECT_EQ(readToEnd(reader, false), (std::vector<int>{'a', 'b', 'c'}));
}

}  // namespace
}  // namespace pelc
