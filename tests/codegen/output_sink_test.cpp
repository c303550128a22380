// Tests of the output byte stream: line ends and pieces of every length.
#include "codegen/output_sink.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace pelc {
namespace {

class CapturedFile final : public ByteSink {
 public:
  void write(std::string_view bytes) override {
    bytes_.append(bytes);
    ++writes_;
  }
  const std::string& bytes() const { return bytes_; }
  int writes() const { return writes_; }

 private:
  std::string bytes_;
  int writes_ = 0;
};

/// The conversion piece by piece, the slow and obvious way.
std::string expectedBytes(const std::vector<std::string>& pieces) {
  std::string out;
  for (const std::string& piece : pieces) {
    for (std::size_t i = 0; i < piece.size(); ++i) {
      if (piece[i] == '\n' && (i == 0 || piece[i - 1] != '\r')) out.push_back('\r');
      out.push_back(piece[i]);
    }
  }
  return out;
}

TEST(OutputSinkTest, LineFeedsLeaveAsCrLf) {
  const std::string longLine(300, 'x');
  const std::string hugeLine(200000, 'y');
  struct Case {
    const char* name;
    std::vector<std::string> pieces;
  };
  const std::vector<Case> cases = {
      {"short lines", {"a = 1\n", "GOTO PML1\n", ":PML1\n"}},
      {"CR LF kept as one line end", {"a\r\n", "b\r\nc\n"}},
      {"lone CR is data", {"a\rb\n", "\r", "\n"}},
      {"CR LF split over two pieces gets a second CR", {"a\r", "\nb\n"}},
      {"line feed first", {"\n", "\n\n"}},
      {"long piece", {longLine + "\n" + longLine + "\r\n" + longLine}},
      {"long piece starting with a line feed", {"\n" + longLine + "\n"}},
      {"long then short", {longLine + "\r", "\n", "x\n"}},
      {"run longer than the buffer", {hugeLine + "\n" + hugeLine, "z\n"}},
      {"empty pieces", {"", "a\n", ""}},
  };
  for (const Case& c : cases) {
    CapturedFile file;
    {
      OutputSink sink(file);
      for (const std::string& piece : c.pieces) sink.append(piece);
      sink.flush();
    }
    EXPECT_TRUE(file.bytes() == expectedBytes(c.pieces)) << c.name;
  }
}

// Line ends, lone CRs and the piece's end at every offset of pieces long and
// short, alone and after a piece that ends in CR.
TEST(OutputSinkTest, LineEndsAtEveryOffsetOfALongPiece) {
  for (std::size_t at = 0; at < 40; ++at) {
    for (const char* end : {"\n", "\r\n", "\r", "\n\n", "\r\r\n"}) {
      for (std::size_t after = 0; after < 20; after += 3) {
        const std::string piece = std::string(at, 'a') + end + std::string(after, 'b');
        // Alone, after a piece ending in CR, and repeated: lines shorter than a step.
        const std::vector<std::vector<std::string>> runs = {
            {piece}, {"x\r", piece}, {piece + piece + piece + piece}};
        for (const auto& pieces : runs) {
          CapturedFile file;
          {
            OutputSink sink(file);
            for (const std::string& p : pieces) sink.append(p);
            sink.flush();
          }
          EXPECT_TRUE(file.bytes() == expectedBytes(pieces)) << at << " " << after;
        }
      }
    }
  }
}

TEST(OutputSinkTest, WritesInBoundedPiecesAndOnlyWhenAsked) {
  CapturedFile file;
  OutputSink sink(file);
  std::vector<std::string> pieces;
  for (int i = 0; i < 20000; ++i) pieces.push_back("line " + std::to_string(i) + "\n");
  for (const std::string& piece : pieces) sink.append(piece);
  const int writesBeforeFlush = file.writes();
  EXPECT_GT(writesBeforeFlush, 1);
  EXPECT_LT(file.bytes().size(), expectedBytes(pieces).size());
  sink.flush();
  sink.flush();
  EXPECT_EQ(file.writes(), writesBeforeFlush + 1);
  EXPECT_TRUE(file.bytes() == expectedBytes(pieces));
}

}  // namespace
}  // namespace pelc
