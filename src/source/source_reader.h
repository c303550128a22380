// The source reader: the characters of the current source buffer, with newline folding,
// line joins, give-back slots, the physical line counter and byte positions.
#pragma once

#include <array>
#include <cassert>
#include <cstdint>
#include <string_view>

namespace pelc {

/// The character handed out when the buffer delivers no more bytes. Every other
/// character is an unsigned byte value 0..255, so 0xFF and NUL are ordinary data.
inline constexpr int END_OF_SOURCE = -1;

/// How many characters can be given back before one is taken again.
inline constexpr int kMaxPendingChars = 3;

/// A character that was given back, with the byte position a re-read must start
/// from to yield it again (the buffer size for END_OF_SOURCE, which stands for no byte).
struct PendingChar {
  int ch = END_OF_SOURCE;
  int32_t position = 0;
};

/// The give-back slots: a last-in, first-out stack; slots[count - 1] comes out next.
struct PendingChars {
  std::array<PendingChar, kMaxPendingChars> slots{};
  int count = 0;
};

class SourceReader {
 public:
  /// Everything needed to leave a buffer for another one and come back to it.
  struct State {
    std::string_view bytes;
    int32_t offset = 0;
    PendingChars pending;
    int32_t currentLine = 1;
    std::array<int32_t, 4> handedOut{};
    uint32_t handedTop = 0;
  };

  /// Makes `bytes` the current input from offset 0 with no pending characters.
  /// The bytes must outlive the reader's use of them; currentLine is left alone.
  void attach(std::string_view bytes);

  /// The next character. Outside raw mode a backslash before a newline joins two
  /// physical lines; in both modes CR LF is one newline and a lone CR is data.
  /// A given-back character is returned as it was, without these rules.
  int getSourceChar(bool raw);

  /// Gives a character back; at most kMaxPendingChars before one is taken again.
  void ungetSourceChar(int ch);

  /// The byte offset of the next character that getSourceChar hands out.
  int32_t sourcePosition() const {
    return pending_.count != 0 ? pending_.slots[pending_.count - 1].position : offset_;
  }

  /// Empties the pending slots and continues at `position` (>= 0); currentLine is
  /// the caller's business.
  void seekSource(int32_t position);

  PendingChars savePending() const { return pending_; }
  void restorePending(const PendingChars& saved) { pending_ = saved; }

  int32_t currentLine() const { return currentLine_; }
  void setCurrentLine(int32_t line) { currentLine_ = line; }

  /// The offset at which the last read found no byte.
  int32_t eofPosition() const { return eofPosition_; }

  /// Hands out, in one piece, the bytes from the current offset on that are not
  /// stops of `Stops` (a StopBytes set), at most `limit` of them; none while
  /// characters are pending. The caller makes sure the ordinary bytes take no
  /// part in the line-join and line-end rules of the mode it reads in.
  template <class Stops>
  std::string_view takeRun(std::size_t limit);

  State saveState() const;
  void restoreState(const State& state);

  std::string_view bytes() const { return bytes_; }

 private:
  // Start value of the hand-out history: a character given back without having been
  // handed out since the last attach or seek stands for no byte of the buffer.
  static constexpr int32_t kNoPosition = -1;

  int readSourceByte();
  int readSlow(bool raw);
  int takePending();
  void pushPending(int ch, int32_t position);
  int handOut(int ch, int32_t position);
  void forgetHandedOut();

  std::string_view bytes_;
  int32_t size_ = 0;
  int32_t offset_ = 0;
  int32_t eofPosition_ = 0;
  int32_t currentLine_ = 1;
  PendingChars pending_;
  // Positions of the last characters handed out, so that a character given back
  // keeps the position it was read from even when it stood for several bytes
  // (CR LF) or followed a line join.
  std::array<int32_t, 4> handedOut_{kNoPosition, kNoPosition, kNoPosition, kNoPosition};
  uint32_t handedTop_ = 0;
};

inline int SourceReader::handOut(int ch, int32_t position) {
  handedOut_[handedTop_++ & 3u] = position;
  return ch;
}

inline int SourceReader::getSourceChar(bool raw) {
  if (pending_.count != 0) return takePending();
  const int32_t at = offset_;
  if (at < size_) {
    const int ch = static_cast<unsigned char>(bytes_[static_cast<std::size_t>(at)]);
    if (ch != '\\' && ch != '\r') {
      offset_ = at + 1;
      if (ch == '\n') ++currentLine_;
      return handOut(ch, at);
    }
  }
  return readSlow(raw);
}

template <class Stops>
std::string_view SourceReader::takeRun(std::size_t limit) {
  if (pending_.count != 0 || offset_ >= size_) return {};
  const auto start = static_cast<std::size_t>(offset_);
  const std::size_t available = static_cast<std::size_t>(size_) - start;
  const std::size_t length =
      Stops::runLength(bytes_.data() + start, available < limit ? available : limit);
  if (length == 0) return {};
  const auto end = static_cast<int32_t>(start + length);
  // Remember the last characters as handed out, so they can still be given back.
  if (length >= handedOut_.size()) {
    for (uint32_t back = 4; back > 0; --back) handOut(0, end - static_cast<int32_t>(back));
  } else {
    for (auto at = static_cast<int32_t>(start); at < end; ++at) handOut(0, at);
  }
  offset_ = end;
  return bytes_.substr(start, length);
}

inline void SourceReader::ungetSourceChar(int ch) {
  assert(pending_.count < kMaxPendingChars);
  if (ch == '\n') --currentLine_;
  int32_t position = handedOut_[--handedTop_ & 3u];
  if (position == kNoPosition) position = sourcePosition();
  pushPending(ch, position);
}

inline void SourceReader::pushPending(int ch, int32_t position) {
  pending_.slots[static_cast<std::size_t>(pending_.count++)] = PendingChar{ch, position};
}

}  // namespace pelc
