// Tests of the run scan: the block scan agrees with the byte-by-byte one everywhere.
#include "source/byte_runs.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>

namespace pelc {
namespace {

using testing::PrintToString;

using Stops = StopBytes<'\n', '\r', '\\', '/', '{', '}', '"', '\'', '`'>;

TEST(ByteRuns, StopTableHoldsExactlyTheStops) {
  int stops = 0;
  for (int b = 0; b < 256; ++b) stops += Stops::kIsStop[static_cast<std::size_t>(b)] ? 1 : 0;
  EXPECT_EQ(stops, 9);
  EXPECT_TRUE(Stops::kIsStop['`']);
  EXPECT_FALSE(Stops::kIsStop['*']);
}

TEST(ByteRuns, NoStopRunsToTheEnd) {
  for (std::size_t size = 0; size < 70; ++size) {
    const std::string text(size, 'a');
    EXPECT_EQ(Stops::runLength(text.data(), size), size) << size;
  }
}

// Every byte value at every position of a buffer that is longer than one block,
// shorter than one block, or ends right after the byte.
TEST(ByteRuns, EveryByteAtEveryPosition) {
  for (const std::size_t size : {1u, 15u, 16u, 17u, 33u, 47u}) {
    for (std::size_t at = 0; at < size; ++at) {
      for (int b = 0; b < 256; ++b) {
        std::string text(size, 'x');
        text[at] = static_cast<char>(b);
        const std::size_t expected = Stops::kIsStop[static_cast<std::size_t>(b)] ? at : size;
        ASSERT_EQ(Stops::runLengthByByte(text.data(), size), expected) << size << " " << at;
        ASSERT_EQ(Stops::runLength(text.data(), size), expected) << size << " " << at << " " << b;
      }
    }
  }
}

TEST(ByteRuns, FirstOfSeveralStopsCounts) {
  const std::string text = "abcdefghijklmnopqrs}tu\"vw\nxyz";
  EXPECT_EQ(Stops::runLength(text.data(), text.size()), text.find('}'));
  EXPECT_EQ(Stops::runLength(text.data(), 19), 19u);
  EXPECT_EQ(StopBytes<'*'>::runLength(text.data(), text.size()), text.size());
}

// The stops one after another, from every start, in buffers around the block
// size, against a byte-by-byte search; `next` may jump ahead by more than a block.
TEST(ByteRuns, FinderMeetsEveryStopInOrder) {
  std::mt19937 random(20240612);  // fixed, so that a failure can be repeated
  const std::string alphabet = "ab{}/\\\n\r\"'`";
  for (std::size_t size = 0; size < 70; ++size) {
    std::string text(size, 'x');
    for (char& c : text) c = alphabet[random() % alphabet.size()];
    auto byByte = [&](std::size_t from) {
      while (from < size && !Stops::kIsStop[static_cast<unsigned char>(text[from])]) ++from;
      return std::min(from, size);
    };
    for (std::size_t start = 0; start <= size; ++start) {
      StopFinder<Stops> finder(text.data(), size, start);
      for (std::size_t from = start; from <= size; from += 1 + random() % 20) {
        const std::size_t at = finder.next(from);
        ASSERT_EQ(at, byByte(from)) << PrintToString(text) << " from " << from;
        if (at == size) break;
        from = at;
      }
    }
  }
}

}  // namespace
}  // namespace pelc
