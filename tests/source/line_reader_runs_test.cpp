// The line reader, which takes ordinary bytes in runs, against a reference that
// reads character by character, on generated sources full of specials.
#include <gtest/gtest.h>

#include <random>
#include <sstream>
#include <string>

#include "base/char_class.h"
#include "source/line_reader.h"

namespace pelc {
namespace {

/// One logical line read the plain way, one getSourceChar at a time.
/// Returns false where the line grows too long, with the physical line of the message.
bool referenceReadLine(SourceReader& reader, std::string& text, bool splitBraces, LineInfo& info,
                       bool& commentRemoved, int32_t& messageLine) {
  text.clear();
  info.startPos = reader.sourcePosition();
  info.startLine = reader.currentLine();
  info.endedWithNewline = false;
  commentRemoved = false;
  bool inQuote = false;
  bool inComment = false;
  bool splitPending = false;
  bool textSeen = false;
  int quoteChar = 0;
  auto full = [&] {
    if (text.size() < kMaxLogicalLine) return false;
    messageLine = reader.currentLine();
    return true;
  };
  for (int ch = reader.getSourceChar(false); ch != END_OF_SOURCE;
       ch = reader.getSourceChar(inComment)) {
    if (full()) return false;
    if (inQuote) {
      text.push_back(static_cast<char>(ch));
      if (ch == '\\') {
        const int escaped = reader.getSourceChar(false);
        if (escaped == END_OF_SOURCE) break;
        if (full()) return false;
        text.push_back(static_cast<char>(escaped));
      } else if (ch == quoteChar) {
        inQuote = false;
      }
      continue;
    }
    if (inComment) {
      if (ch == '*') {
        const int next = reader.getSourceChar(true);
        if (next == '/') {
          inComment = false;
        } else {
          reader.ungetSourceChar(next);
        }
      }
      continue;
    }
    if (ch == '\n') {
      text.push_back('\n');
      info.endedWithNewline = true;
      break;
    }
    if (ch == '/') {
      const int next = reader.getSourceChar(false);
      if (next == '*') {
        inComment = true;
        commentRemoved = true;
        continue;
      }
      reader.ungetSourceChar(next);
    }
    if (splitPending && !isBlank(ch)) {
      reader.ungetSourceChar(ch);
      break;
    }
    if (splitBraces && (ch == '{' || ch == '}') && !isRemLine(text)) {
      if (textSeen) {
        reader.ungetSourceChar(ch);
        break;
      }
      splitPending = true;
    } else if (!isBlank(ch)) {
      textSeen = textSeen || !(splitBraces && (ch == '{' || ch == '}'));
      if (isQuote(ch)) {
        inQuote = true;
        quoteChar = ch;
      }
    }
    text.push_back(static_cast<char>(ch));
  }
  info.endPos = reader.sourcePosition();
  return true;
}

struct Outcome {
  std::string text;
  LineInfo info;
  bool commentRemoved = false;
  int32_t lineAfter = 0;
  bool tooLong = false;
  int32_t messageLine = 0;

  bool operator==(const Outcome& o) const {
    return text == o.text && info.startPos == o.info.startPos && info.endPos == o.info.endPos &&
           info.startLine == o.info.startLine && info.endedWithNewline == o.info.endedWithNewline &&
           commentRemoved == o.commentRemoved && lineAfter == o.lineAfter && tooLong == o.tooLong &&
           messageLine == o.messageLine;
  }
};

std::ostream& operator<<(std::ostream& out, const Outcome& o) {
  return out << testing::PrintToString(o.text) << " start " << o.info.startPos << " end "
             << o.info.endPos << " line " << o.info.startLine << ".." << o.lineAfter << " nl "
             << o.info.endedWithNewline << " comment " << o.commentRemoved << " tooLong "
             << o.tooLong << " at " << o.messageLine;
}

/// Gives back up to three characters right after a line with both readers, as a
/// caller may, and expects the same positions and line counts, then the same
/// characters again. Works on copies: the reads go on from the line's end.
void expectSameGiveBacks(SourceReader real, SourceReader reference) {
  int givenBack = 0;
  for (; givenBack < 3 && real.savePending().count < kMaxPendingChars; ++givenBack) {
    const int ch = givenBack == 0 ? '\n' : 'x';
    real.ungetSourceChar(ch);
    reference.ungetSourceChar(ch);
    ASSERT_EQ(real.sourcePosition(), reference.sourcePosition()) << "give-back " << givenBack;
    ASSERT_EQ(real.currentLine(), reference.currentLine()) << "give-back " << givenBack;
  }
  for (; givenBack >= 0; --givenBack) {
    ASSERT_EQ(real.getSourceChar(false), reference.getSourceChar(false));
    ASSERT_EQ(real.sourcePosition(), reference.sourcePosition());
    ASSERT_EQ(real.currentLine(), reference.currentLine());
  }
}

/// Reads every logical line of `source` with both readers and expects the same lines.
void expectSameLines(const std::string& source, bool splitBraces) {
  SourceReader real;
  SourceReader reference;
  real.attach(source);
  reference.attach(source);
  std::ostringstream messages;
  Diagnostics diag(messages);
  diag.setCurrentFileName("t.pmp");
  std::string text;
  for (int lineCount = 0;; ++lineCount) {
    Outcome expected;
    expected.tooLong = !referenceReadLine(reference, expected.text, splitBraces, expected.info,
                                          expected.commentRemoved, expected.messageLine);
    expected.lineAfter = expected.tooLong ? 0 : reference.currentLine();
    Outcome got;
    messages.str("");
    try {
      readLogicalLine(real, diag, got.text, splitBraces, got.info, &got.commentRemoved);
      got.lineAfter = real.currentLine();
    } catch (const AbortFile&) {
      got.tooLong = true;
      got.messageLine = std::stoi(messages.str().substr(messages.str().find('(') + 1));
      got.text = expected.text;
      got.info = expected.info;
      got.commentRemoved = expected.commentRemoved;
    }
    ASSERT_EQ(got, expected) << "line " << lineCount << " of " << testing::PrintToString(source);
    if (expected.tooLong || expected.text.empty()) return;
    expectSameGiveBacks(real, reference);
    if (testing::Test::HasFatalFailure()) {
      FAIL() << "after line " << lineCount << " of " << testing::PrintToString(source);
    }
  }
}

TEST(LineReaderRuns, RunBoundariesAtEverySpecial) {
  const std::vector<std::string> sources = {
      "abc/*x*y**/def\n",
      "a\\\nb\\\r\nc\n",
      "'a\\\nb' \"c\\\"d\" `e`\n",
      "/* a\r\nb\rc */ x\r\n",
      "x/\n",
      "x/*",
      "x /* a \\\n b */ y\n",
      "\"abc\\",
      "{ a } { b }\n",
      "REM { a } 'b\nc' d\n",
      "a\r",
      "a\\",
      "  {  \n  x\n",
      "'\\\r\nq'\n",
      "/**/",
      "/*/ x */y\n",
      "a /* **** / */ b\n",
      "\"\r\n\"\r\n",
      // Lines that a look-ahead takes in one step, and their near misses.
      "{\n}\r\n  {  \n\t}\t\r\n",
      "{ x\n{\tx\r\n{ 'q'\n{ {\n",
      "a {\nb }\r\nc{",
      "REM { x } y\nrem\t}\nREMARK {\n",
      "x = 'a' + \"b\" / c\r\n",
      "x /* c */ y\n/* a\nb */\n/* a\r\nb */ x\r\n",
      "a /* 1 */ b /* 2 */ c /* 3 */ d /* 4 */ e /* 5 */ f\n",
      "a \\\n b\\\r\n c \\\n\\\n\n",
      "a\\\\\nb\\x\n",
      "{\\\n}\n{/**/\n{ /x\n",
      "a/\\\n*b*/\na/\\\nb\n",
      "x\ry\nx\r",
      "{\r{ \r\n}",
      "'a\\'b'\n'a\nb'\n`a\\\nb`\n",
      "x /* a */ { y }\n",
      "a\n\n\nb",
  };
  for (const std::string& source : sources) {
    expectSameLines(source, true);
    expectSameLines(source, false);
  }
}

// Sources of random specials and ordinary runs of random length, so that runs
// start and end at every kind of special, at CR LF, at line joins and at the end.
TEST(LineReaderRuns, GeneratedSourcesReadAsCharByChar) {
  const std::vector<std::string> pieces = {"a",    "bcdefghijklmnopqrstu",
                                           " ",    "\t",
                                           "\n",   "\r",
                                           "\r\n", "\\",
                                           "\\\n", "\\\r\n",
                                           "/",    "*",
                                           "/*",   "*/",
                                           "{",    "}",
                                           "\"",   "'",
                                           "`",    "REM ",
                                           "rem",  "#",
                                           "\xff", std::string(1, '\0'),
                                           "  ",   "x = y",
                                           "{\n",  "}\r\n",
                                           "/**/", "'q'"};
  std::mt19937 random(20240611);  // fixed, so that a failure can be repeated
  for (int round = 0; round < 4000; ++round) {
    std::string source;
    const int count = static_cast<int>(random() % 40);
    for (int i = 0; i < count; ++i) source += pieces[random() % pieces.size()];
    expectSameLines(source, round % 2 == 0);
  }
}

// Long lines made of runs and specials around the limit: the message must come at
// the same character and physical line as with a character-by-character read.
TEST(LineReaderRuns, LimitReachedInsideRuns) {
  const std::vector<std::string> tails = {"",      "\n",        "y\n",   "'\n'", "/* \n */x",
                                          "\\\ny", "\"ab",      "\\",    "{",    "'\\\n\\\\'",
                                          "\r\n",  "{\n",       " {x",   "\r",   "/* c */\n",
                                          "'q'\n", "\\\r\nz\n", "}\r\n", "\n{\n"};
  for (const std::size_t length :
       {kMaxLogicalLine - 3, kMaxLogicalLine - 1, kMaxLogicalLine, kMaxLogicalLine + 1}) {
    for (const char* head :
         {"", "x = '", "/*\n*/", "a\\\n", "\"q\\\"", "/* long\n", "{", "REM {"}) {
      for (const std::string& tail : tails) {
        const std::string body(length, 'x');
        expectSameLines(head + body + tail, true);
        expectSameLines(head + body.substr(0, length / 2) + "*/" + body.substr(length / 2) + tail,
                        true);
      }
    }
  }
}

}  // namespace
}  // namespace pelc
