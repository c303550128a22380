// The byte stream of an output file: every line feed leaves as CR LF.
#pragma once

#include <string>
#include <string_view>

#include "source/file_system.h"

namespace pelc {

/// Buffers output pieces and writes them to an output file, turning each
/// line feed into carriage return and line feed on the way, so the bytes are
/// the same on every platform. Streaming keeps memory flat on large files.
class OutputSink {
 public:
  explicit OutputSink(ByteSink& file) : file_(file) { buffer_.reserve(kFlushSize + 4096); }
  OutputSink(const OutputSink&) = delete;
  OutputSink& operator=(const OutputSink&) = delete;

  void append(std::string_view piece);
  /// Source bytes as they are copied: a CR LF pair stays one line end and a
  /// line feed without CR gets one.
  void appendSource(std::string_view bytes);
  /// Writes what is buffered; call before committing the file.
  void flush();

 private:
  static constexpr std::size_t kFlushSize = 1 << 16;

  ByteSink& file_;
  std::string buffer_;
};

}  // namespace pelc
