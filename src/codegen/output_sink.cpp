// The output byte stream with CR LF line ends.
#include "codegen/output_sink.h"

#include <cstring>

namespace pelc {

OutputSink::OutputSink(ByteSink& file)
    : file_(file), buffer_(std::make_unique_for_overwrite<char[]>(kCapacity)) {}

void OutputSink::append(std::string_view bytes) {
  std::size_t start = 0;
  while (start < bytes.size()) {
    const void* found = std::memchr(bytes.data() + start, '\n', bytes.size() - start);
    const std::size_t end =
        found == nullptr ? bytes.size()
                         : static_cast<std::size_t>(static_cast<const char*>(found) - bytes.data());
    put(bytes.substr(start, end - start));
    if (found == nullptr) break;
    // A CR LF of the piece is already the output's line end.
    if (end == 0 || bytes[end - 1] != '\r') buffer_[used_++] = '\r';
    buffer_[used_++] = '\n';
    start = end + 1;
    flushIfFull();
  }
}

// Copies into the buffer as far as it has room, leaving two bytes for a line
// end; a run longer than the room goes to the file in the buffer's flushes.
void OutputSink::put(std::string_view bytes) {
  while (!bytes.empty()) {
    const std::size_t room = kCapacity - kLineEnd - used_;
    const std::size_t taken = bytes.size() < room ? bytes.size() : room;
    std::memcpy(buffer_.get() + used_, bytes.data(), taken);
    used_ += taken;
    bytes.remove_prefix(taken);
    flushIfFull();
  }
}

void OutputSink::flush() {
  if (used_ == 0) return;
  file_.write(std::string_view(buffer_.get(), used_));
  used_ = 0;
}

}  // namespace pelc
