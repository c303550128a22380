// Runs of ordinary bytes: how far a scanner can go before a byte it must look at.
#pragma once

#include <array>
#include <bit>
#include <cstddef>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace pelc {

/// A set of stop bytes fixed at compile time; every other byte is ordinary.
template <unsigned char... Stops>
class StopBytes {
 public:
  static constexpr std::array<bool, 256> kIsStop = [] {
    std::array<bool, 256> table{};
    ((table[Stops] = true), ...);
    return table;
  }();

  /// The number of leading bytes of [data, data + size) that are not stops, one at a time.
  static std::size_t runLengthByByte(const char* data, std::size_t size) {
    std::size_t at = 0;
    while (at < size && !kIsStop[static_cast<unsigned char>(data[at])]) ++at;
    return at;
  }

  /// Bytes looked at in one step.
  static constexpr std::size_t kBlock = 16;

  /// The same length; sixteen bytes at a time where the machine allows it, since
  /// stops are rare in the text that the line reader scans. A short tail is
  /// read as the last sixteen bytes, overlapping what was already seen.
  static std::size_t runLength(const char* data, std::size_t size) {
#if defined(__SSE2__)
    if (size >= kBlock) {
      std::size_t at = 0;
      for (; size - at >= kBlock; at += kBlock) {
        const unsigned mask = stopMask(data + at);
        if (mask != 0) return at + static_cast<std::size_t>(std::countr_zero(mask));
      }
      if (at == size) return size;
      const std::size_t last = size - kBlock;
      const unsigned mask = stopMask(data + last) >> (at - last);
      return mask != 0 ? at + static_cast<std::size_t>(std::countr_zero(mask)) : size;
    }
#endif
    return runLengthByByte(data, size);
  }

  /// One bit per byte of [data + at, data + at + kBlock), bit 0 for the first: set
  /// where the byte is a stop. Bytes at or past `size` count as no stops.
  static unsigned blockStops(const char* data, std::size_t size, std::size_t at) {
#if defined(__SSE2__)
    if (size - at >= kBlock) return stopMask(data + at);
    // The last sixteen bytes, overlapping what was already seen, as runLength does.
    if (size >= kBlock) return stopMask(data + size - kBlock) >> (kBlock - (size - at));
#endif
    unsigned mask = 0;
    for (std::size_t i = at; i < size && i - at < kBlock; ++i) {
      if (kIsStop[static_cast<unsigned char>(data[i])]) mask |= 1u << (i - at);
    }
    return mask;
  }

 private:
#if defined(__SSE2__)
  /// One bit per byte of the sixteen at `data`: set where the byte is a stop.
  static unsigned stopMask(const char* data) {
    const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data));
    __m128i hit = _mm_setzero_si128();
    ((hit = _mm_or_si128(hit, _mm_cmpeq_epi8(block, _mm_set1_epi8(static_cast<char>(Stops))))),
     ...);
    return static_cast<unsigned>(_mm_movemask_epi8(hit));
  }
#endif
};

/// Finds the stops of a StopBytes set in [data, data + size) one after another,
/// looking at each block of bytes once however many stops it holds: a scanner that
/// must look at most stops it meets would otherwise scan the same bytes again
/// after each of them.
template <class Stops>
class StopFinder {
 public:
  /// Looks from `from` on.
  StopFinder(const char* data, std::size_t size, std::size_t from)
      : data_(data), size_(size), start_(from), mask_(Stops::blockStops(data, size, from)) {}

  /// The first stop at or after `from`, or the size when there is none. `from`
  /// never goes back before a position asked for earlier.
  std::size_t next(std::size_t from) {
    if (from - start_ < Stops::kBlock) {
      const unsigned rest = mask_ >> (from - start_);
      if (rest != 0) return from + static_cast<std::size_t>(std::countr_zero(rest));
      from = start_ + Stops::kBlock;
    }
    for (; from < size_; from += Stops::kBlock) {
      start_ = from;
      mask_ = Stops::blockStops(data_, size_, from);
      if (mask_ != 0) return from + static_cast<std::size_t>(std::countr_zero(mask_));
    }
    return size_;
  }

 private:
  const char* data_;
  std::size_t size_;
  std::size_t start_;
  unsigned mask_;
};

}  // namespace pelc
