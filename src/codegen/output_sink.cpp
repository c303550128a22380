// The output byte stream with CR LF line ends.
#include "codegen/output_sink.h"

#include <cstring>

namespace pelc {

void OutputSink::append(std::string_view piece) {
  while (!piece.empty()) {
    const void* found = std::memchr(piece.data(), '\n', piece.size());
    const std::size_t run = found == nullptr
                                ? piece.size()
                                : static_cast<std::size_t>(static_cast<const char*>(found) - piece.data());
    buffer_.append(piece.data(), run);
    if (found == nullptr) break;
    buffer_.append("\r\n", 2);
    piece.remove_prefix(run + 1);
    if (buffer_.size() >= kFlushSize) flush();
  }
  if (buffer_.size() >= kFlushSize) flush();
}

void OutputSink::appendSource(std::string_view bytes) {
  std::size_t start = 0;
  while (start < bytes.size()) {
    const void* found = std::memchr(bytes.data() + start, '\n', bytes.size() - start);
    const std::size_t end =
        found == nullptr ? bytes.size()
                         : static_cast<std::size_t>(static_cast<const char*>(found) - bytes.data());
    buffer_.append(bytes.data() + start, end - start);
    if (found == nullptr) break;
    // A CR LF of the source is already the output's line end.
    if (end == 0 || bytes[end - 1] != '\r') buffer_.push_back('\r');
    buffer_.push_back('\n');
    start = end + 1;
    if (buffer_.size() >= kFlushSize) flush();
  }
  if (buffer_.size() >= kFlushSize) flush();
}

void OutputSink::flush() {
  if (buffer_.empty()) return;
  file_.write(buffer_);
  buffer_.clear();
}

}  // namespace pelc
