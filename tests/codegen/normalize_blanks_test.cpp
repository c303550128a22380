// Tests for the blank normalisation of re-emitted lines.
#include "codegen/normalize_blanks.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace pelc {
namespace {

TEST(NormalizeBlanksTest, Normalize) {
  struct Case {
    const char* name;
    std::string input;
    std::string expected;
  };
  const std::vector<Case> cases = {
      {"indentation kept", "    x = 1   \n", "    x = 1"},
      {"quoted blanks kept", "a  =  \"p  q\"\n", "a = \"p  q\""},
      {"tabs become spaces", "\tx\t=\t\t1\r\n", "\tx = 1"},
      {"every blank kind", "x \v\f\r\n y", "x y"},
      {"all blank", "   \r\n", ""},
      {"empty", "", ""},
      {"apostrophe with escape", "a 'b  \\'  c'  d", "a 'b  \\'  c' d"},
      {"back quote", "s  =  `x   y`", "s = `x   y`"},
      {"other quote inside", "s = \"it's   ok\"  ", "s = \"it's   ok\""},
      {"backslash outside quotes", "a \\   b", "a \\ b"},
      {"backslash at the very end", "x \"a\\", "x \"a\\"},
      {"unclosed quote loses trailing blanks", "a \"b  c  ", "a \"b  c"},
      {"already normal", "  x = y + 1\n", "  x = y + 1"},
      {"already normal without newline", "x = y", "x = y"},
      {"single trailing space", "x = y ", "x = y"},
      {"change after normal text", "x = y +  1", "x = y + 1"},
      {"tab after normal text", "x = y\t+ 1", "x = y + 1"},
      {"quote then change", "s = \"a  b\"  + 'c'\t;", "s = \"a  b\" + 'c' ;"},
      {"space before a quote", "s = \"  \" \"\"", "s = \"  \" \"\""},
      {"NUL is ordinary", std::string("a\0  b \0", 7), std::string("a\0 b \0", 6)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::string text = c.input;
    normalizeBlanks(text);
    EXPECT_EQ(c.expected, text);
  }
}

// The rules one byte at a time, with nothing skipped ahead: what the scan in
// blocks must agree with.
std::string referenceNormalize(const std::string& text) {
  const auto blank = [](char c) { return c == ' ' || (c >= '\t' && c <= '\r'); };
  const auto quote = [](char c) { return c == '"' || c == '\'' || c == '`'; };
  std::string out;
  std::size_t i = 0;
  while (i < text.size() && blank(text[i])) out += text[i++];
  bool inRun = false;
  while (i < text.size()) {
    const char c = text[i++];
    if (blank(c)) {
      if (!inRun) out += ' ';
      inRun = true;
      continue;
    }
    inRun = false;
    out += c;
    if (!quote(c)) continue;
    while (i < text.size()) {
      const char q = text[i++];
      out += q;
      if (q == '\\') {
        if (i < text.size()) out += text[i++];
      } else if (q == c) {
        break;
      }
    }
  }
  while (!out.empty() && blank(out.back())) out.pop_back();
  return out;
}

// Lines longer than a block of the scan, with the bytes that matter falling on
// every position of a block and on its edges, in place and into another buffer.
TEST(NormalizeBlanksTest, AgreesWithTheRulesAcrossBlocks) {
  const std::string alphabet("ab  \t\n\r\v\f\"'`\\x\0y", 16);
  std::mt19937 random(7);
  for (int round = 0; round < 20000; ++round) {
    std::string text(random() % 70, ' ');
    // Mostly words and single spaces, as real lines are, so that whole blocks pass
    // and the first change falls anywhere, in the last bytes too.
    const unsigned rarity = 2u << (round % 5);
    for (char& c : text) {
      c = random() % rarity != 0 ? "word "[random() % 5] : alphabet[random() % alphabet.size()];
    }
    const std::string expected = referenceNormalize(text);
    std::string inPlace = text;
    normalizeBlanks(inPlace);
    ASSERT_EQ(expected, inPlace) << "round " << round;
    std::string out(text.size(), '?');
    out.resize(normalizeBlanksInto(text, out.data()));
    ASSERT_EQ(expected, out) << "round " << round;
  }
}

}  // namespace
}  // namespace pelc
