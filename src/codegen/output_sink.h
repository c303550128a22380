// The byte stream of an output file: every line feed leaves as CR LF.
#pragma once

#include <cassert>
#include <cstddef>
#include <memory>
#include <string_view>

#include "source/file_system.h"

namespace pelc {

/// Buffers output pieces and writes them to a byte sink, turning each line
/// feed into carriage return and line feed on the way, so the bytes are the
/// same on every platform. Streaming keeps memory flat on large files.
class OutputSink {
 public:
  explicit OutputSink(ByteSink& file);
  OutputSink(const OutputSink&) = delete;
  OutputSink& operator=(const OutputSink&) = delete;

  /// Appends `bytes`: a CR LF pair stays one line end, and a line feed without
  /// CR before it in the piece gets one.
  void append(std::string_view bytes);
  /// Writes what is buffered; call before committing the file.
  void flush();

  /// Room in the buffer for a line of at most kMaxDirectLine bytes, written there
  /// directly instead of being copied in: fill it, then end it with endLine().
  char* beginLine(std::size_t length) {
    assert(length <= kMaxDirectLine);
    if (used_ + length + kLineEnd > kCapacity) flush();
    return buffer_.get() + used_;
  }
  /// Takes `length` bytes of the line begun last, which hold no line feed, and a
  /// CR LF after them.
  void endLine(std::size_t length) {
    used_ += length;
    buffer_[used_++] = '\r';
    buffer_[used_++] = '\n';
    flushIfFull();
  }
  static constexpr std::size_t kMaxDirectLine = 1 << 15;

 private:
  static constexpr std::size_t kFlushSize = 1 << 16;
  static constexpr std::size_t kLineEnd = 2;
  static constexpr std::size_t kCapacity = kFlushSize + kLineEnd;
  static_assert(kMaxDirectLine + kLineEnd <= kCapacity, "a direct line fits an empty buffer");

  void put(std::string_view bytes);
  void flushIfFull() {
    if (used_ >= kFlushSize) flush();
  }

  ByteSink& file_;
  std::unique_ptr<char[]> buffer_;
  std::size_t used_ = 0;
};

}  // namespace pelc
