// The source reader: the characters of the current source buffer, with newline folding,
// line joins, give-back slots, the physical line counter and byte positions.
#pragma once

#include <array>
#include <cassert>
#include <cstdint>
#include <cstdlib>
#include <string_view>

namespace pelc {

/// The character handed out when the buffer delivers no more bytes. Every other
/// character is an unsigned byte value 0..255, so 0xFF and NUL are ordinary data.
inline constexpr int END_OF_SOURCE = -1;

/// How many characters can be given back before one is taken again. The reader
/// leaves two pending when a backslash is followed by a CR and then not by a
/// LF, and only when none were pending; the line reader gives back at most two
/// after a read (the character after a slash, then the slash, while a split
/// brace waits). So `}/\<CR>d` makes four.
inline constexpr int kMaxPendingChars = 4;

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
  void seekSource(int32_t position) {
    assert(position >= 0);
    pending_ = PendingChars{};
    offset_ = position;
    forgetHandedOut();
  }

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

  /// The bytes from the current offset to the end of the buffer, for a scanner to
  /// look ahead in before it takes them; none while characters are pending, since
  /// those come first.
  std::string_view unreadBytes() const {
    if (pending_.count != 0 || offset_ >= size_) return {};
    return {bytes_.data() + offset_, static_cast<std::size_t>(size_ - offset_)};
  }

  /// Turns a lone pending character that stands for the one byte just before the
  /// offset back into that byte: read again, the byte yields the same character at
  /// the same position, and a scanner can see it in unreadBytes(). A backslash or
  /// CR stays pending, since read again it could join lines or start a CR LF.
  void settlePending() {
    if (pending_.count != 1) return;
    const PendingChar& only = pending_.slots[0];
    const int32_t at = only.position;
    if (at != offset_ - 1 || at < 0 || at >= size_) return;
    const int byte = static_cast<unsigned char>(bytes_[static_cast<std::size_t>(at)]);
    if (only.ch != byte || byte == '\\' || byte == '\r') return;
    offset_ = at;
    pending_.count = 0;
  }

  /// Hands out the next `count` bytes as one character each, as takeRun does. The
  /// caller has seen them in unreadBytes() and makes sure that none of them takes
  /// part in the line-join and line-end rules.
  void takeOrdinary(std::size_t count);

  /// Hands out the next `count` bytes, which the caller has seen in unreadBytes(),
  /// as a comment is read in raw mode, and counts the `newlines` among them. They
  /// are remembered as takeOrdinary does: the comment's last two bytes, its `*/`,
  /// are characters of their own.
  void takeRaw(std::size_t count, int32_t newlines) {
    takeOrdinary(count);
    currentLine_ += newlines;
  }

  /// Steps over a line join of `count` bytes, a backslash and then LF or CR LF,
  /// which the caller has seen in unreadBytes(): it hands out no character.
  void skipJoin(std::size_t count) {
    offset_ += static_cast<int32_t>(count);
    ++currentLine_;
  }

  /// Hands out `count` bytes as takeOrdinary does, then the newline of
  /// `newlineBytes` bytes, LF or CR LF, after them, which the caller has seen in
  /// unreadBytes(), and counts the line.
  void takeToNewline(std::size_t count, std::size_t newlineBytes);

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
  void forgetHandedOut() {
    handedOut_.fill(kNoPosition);
    handedTop_ = 0;
  }

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
  const std::string_view ahead = unreadBytes();
  const std::size_t length =
      Stops::runLength(ahead.data(), ahead.size() < limit ? ahead.size() : limit);
  takeOrdinary(length);
  return ahead.substr(0, length);
}

inline void SourceReader::takeOrdinary(std::size_t count) {
  const int32_t end = offset_ + static_cast<int32_t>(count);
  // Remember the last characters as handed out, so they can still be given back.
  if (count >= handedOut_.size()) {
    // The whole history is new: laid out from slot 0, it needs no slot arithmetic.
    handedOut_ = {end - 4, end - 3, end - 2, end - 1};
    handedTop_ = 4;
  } else {
    for (int32_t at = offset_; at < end; ++at) handOut(0, at);
  }
  offset_ = end;
}

inline void SourceReader::takeToNewline(std::size_t count, std::size_t newlineBytes) {
  const int32_t textEnd = offset_ + static_cast<int32_t>(count);
  const int32_t newlineAt = textEnd + static_cast<int32_t>(newlineBytes) - 1;
  if (count >= handedOut_.size() - 1) {
    // As in takeOrdinary, in one step.
    handedOut_ = {textEnd - 3, textEnd - 2, textEnd - 1, newlineAt};
    handedTop_ = 4;
  } else {
    takeOrdinary(count);
    handOut('\n', newlineAt);
  }
  offset_ = newlineAt + 1;
  ++currentLine_;
}

inline void SourceReader::ungetSourceChar(int ch) {
  assert(pending_.count < kMaxPendingChars);
  if (ch == '\n') --currentLine_;
  int32_t position = handedOut_[--handedTop_ & 3u];
  if (position == kNoPosition) position = sourcePosition();
  pushPending(ch, position);
}

inline void SourceReader::pushPending(int ch, int32_t position) {
  // No caller gives back more than the slots hold; should one ever, the run stops
  // rather than write past them.
  if (pending_.count == kMaxPendingChars) std::abort();
  pending_.slots[static_cast<std::size_t>(pending_.count++)] = PendingChar{ch, position};
}

}  // namespace pelc
