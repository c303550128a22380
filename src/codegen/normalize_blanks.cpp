// Blank normalisation of statement lines that are written again after a rewrite.
#include "codegen/normalize_blanks.h"

#include <array>
#include <bit>
#include <cstring>

#include "base/char_class.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace pelc {
namespace {

// The cursors are locals, not members, so that the compiler can keep them in
// registers: a store through a char pointer might otherwise change them.

/// Copies a quoted section on from its opening quote; returns after its closing
/// quote or at the end. Backslash escapes are copied as pairs.
void copyQuoted(const char*& read, const char* end, char*& write, char quote) {
  while (read != end) {
    const char c = *read++;
    *write++ = c;
    if (c == '\\') {
      if (read != end) *write++ = *read++;
    } else if (c == quote) {
      return;
    }
  }
}

/// Just past the quote that closes the section whose text starts at `read`, or the end.
const char* afterQuoted(const char* read, const char* end, char quote) {
  while (read != end) {
    const char c = *read++;
    if (c == '\\') {
      if (read != end) ++read;
    } else if (c == quote) {
      return read;
    }
  }
  return end;
}

/// Bytes that normalisation always leaves where they are: neither blanks nor quotes.
constexpr std::array<bool, 256> kKeptAsIs = [] {
  std::array<bool, 256> table{};
  for (int c = 0; c < 256; ++c) table[static_cast<std::size_t>(c)] = !isBlank(c) && !isQuote(c);
  return table;
}();

constexpr std::size_t kBlock = 16;

#if defined(__SSE2__)
/// The spaces and the other blanks among sixteen bytes, one bit a byte.
struct BlockBlanks {
  unsigned spaces;
  unsigned controls;  // tab to CR
};

BlockBlanks blockBlanks(__m128i bytes) {
  const __m128i space = _mm_cmpeq_epi8(bytes, _mm_set1_epi8(' '));
  // Tab to CR are 9 to 13: less than 5 once 9 is taken away, as unsigned bytes.
  const __m128i fromTab = _mm_sub_epi8(bytes, _mm_set1_epi8('\t'));
  const __m128i control = _mm_cmpeq_epi8(_mm_max_epu8(fromTab, _mm_set1_epi8(4)), _mm_set1_epi8(4));
  return {static_cast<unsigned>(_mm_movemask_epi8(space)),
          static_cast<unsigned>(_mm_movemask_epi8(control))};
}

__m128i loadBlock(const char* at) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(at)); }

/// One bit per byte of the sixteen at `at`, set where the scan must look closer: a
/// blank other than a space, a space before a blank or before the end, or a quote.
/// Most bytes of a line are words and single spaces.
unsigned blockStops(const char* at, const char* end) {
  const __m128i bytes = loadBlock(at);
  const BlockBlanks blanks = blockBlanks(bytes);
  const __m128i quote = _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(bytes, _mm_set1_epi8('"')),
                                                  _mm_cmpeq_epi8(bytes, _mm_set1_epi8('\''))),
                                     _mm_cmpeq_epi8(bytes, _mm_set1_epi8('`')));
  const auto quotes = static_cast<unsigned>(_mm_movemask_epi8(quote));
  // The byte after the block: a blank, or the end, makes a last space a change.
  const char* const after = at + kBlock;
  const unsigned blankAfter = after == end || isBlank(*after) ? 1u : 0u;
  const unsigned blanksAfter =
      ((blanks.spaces | blanks.controls) >> 1) | (blankAfter << (kBlock - 1));
  return blanks.controls | quotes | (blanks.spaces & blanksAfter);
}
#endif

/// Past the blanks that start the text at `read`.
const char* skipLeadingBlanks(const char* read, const char* end) {
#if defined(__SSE2__)
  while (static_cast<std::size_t>(end - read) >= kBlock) {
    const BlockBlanks blanks = blockBlanks(loadBlock(read));
    const unsigned words = ~(blanks.spaces | blanks.controls) & 0xffffu;
    if (words != 0) return read + std::countr_zero(words);
    read += kBlock;
  }
#endif
  while (read != end && isBlank(*read)) ++read;
  return read;
}

/// The first byte from `read` on that the scan must look closer at, or the end. The
/// last bytes, fewer than a block, are seen in the block that ends with the text.
const char* nextStop(const char* read, const char* begin, const char* end) {
#if defined(__SSE2__)
  while (static_cast<std::size_t>(end - read) >= kBlock) {
    const unsigned stops = blockStops(read, end);
    if (stops != 0) return read + std::countr_zero(stops);
    read += kBlock;
  }
  if (read == end || static_cast<std::size_t>(end - begin) < kBlock) return read;
  const char* const last = end - kBlock;
  const unsigned stops = blockStops(last, end) >> (read - last);
  return stops != 0 ? read + std::countr_zero(stops) : end;
#else
  (void)begin;
  (void)end;
  return read;
#endif
}

/// Where the text from `read` on first needs a change; quoted sections are kept as
/// they are and looked past. Most re-emitted lines are already normal (single spaces
/// between words) up to their line end.
const char* findFirstChange(const char* read, const char* begin, const char* end) {
  while ((read = nextStop(read, begin, end)) != end) {
    const auto c = static_cast<unsigned char>(*read);
    if (kKeptAsIs[c]) {
      ++read;
    } else if (c == ' ' && read + 1 != end && !isBlank(read[1])) {
      ++read;
    } else if (isQuote(c)) {
      read = afterQuoted(read + 1, end, static_cast<char>(c));
    } else {
      break;
    }
  }
  return read;
}

}  // namespace

std::size_t normalizeBlanksInto(std::string_view text, char* out) {
  const char* const begin = text.data();
  const char* const end = begin + text.size();
  const char* read = findFirstChange(skipLeadingBlanks(begin, end), begin, end);
  // Up to the first change the text stays as it is.
  const auto kept = static_cast<std::size_t>(read - begin);
  if (out != begin && kept != 0) std::memcpy(out, begin, kept);
  char* write = out + kept;
  bool inBlankRun = false;
  while (read != end) {
    const char c = *read++;
    if (isBlank(c)) {
      if (!inBlankRun) *write++ = ' ';
      inBlankRun = true;
      continue;
    }
    inBlankRun = false;
    *write++ = c;
    if (isQuote(c)) copyQuoted(read, end, write, c);
  }
  while (write != out && isBlank(write[-1])) --write;
  return static_cast<std::size_t>(write - out);
}

void normalizeBlanks(std::string& text) { text.resize(normalizeBlanksInto(text, text.data())); }

}  // namespace pelc
