// The source reader's slow paths: line joins, CR LF folding, the end of the buffer
// and switching between buffers.
#include "source/source_reader.h"

namespace pelc {

void SourceReader::attach(std::string_view bytes) {
  bytes_ = bytes;
  size_ = static_cast<int32_t>(bytes.size());
  offset_ = 0;
  pending_ = PendingChars{};
  forgetHandedOut();
}

SourceReader::State SourceReader::saveState() const {
  return State{bytes_, offset_, pending_, currentLine_, handedOut_, handedTop_};
}

void SourceReader::restoreState(const State& state) {
  bytes_ = state.bytes;
  size_ = static_cast<int32_t>(state.bytes.size());
  offset_ = state.offset;
  pending_ = state.pending;
  currentLine_ = state.currentLine;
  handedOut_ = state.handedOut;
  handedTop_ = state.handedTop;
}

int SourceReader::readSourceByte() {
  if (offset_ < size_)
    return static_cast<unsigned char>(bytes_[static_cast<std::size_t>(offset_++)]);
  eofPosition_ = offset_;
  return END_OF_SOURCE;
}

int SourceReader::takePending() {
  const PendingChar taken = pending_.slots[static_cast<std::size_t>(--pending_.count)];
  if (taken.ch == '\n') ++currentLine_;
  return handOut(taken.ch, taken.position);
}

// A character's position is the offset of the last byte it was made of: a CR LF
// newline sits at its LF, a joined character at its own byte, the end at the size.
int SourceReader::readSlow(bool raw) {
  int32_t at = offset_;
  int ch = readSourceByte();
  while (!raw && ch == '\\') {
    const int32_t backslashAt = at;
    const int32_t nextAt = offset_;
    const int next = readSourceByte();
    if (next == '\r') {
      const int32_t afterAt = offset_;
      const int after = readSourceByte();
      if (after != '\n') {
        // Pushed in reverse so that the CR comes out first.
        pushPending(after, afterAt);
        pushPending('\r', nextAt);
        return handOut('\\', backslashAt);
      }
    } else if (next != '\n') {
      pushPending(next, nextAt);
      return handOut('\\', backslashAt);
    }
    ++currentLine_;
    at = offset_;
    ch = readSourceByte();
  }
  if (ch == '\r') {
    const int32_t nextAt = offset_;
    const int next = readSourceByte();
    if (next != '\n') {
      pushPending(next, nextAt);
      return handOut('\r', at);
    }
    at = nextAt;
    ch = '\n';
  }
  if (ch == '\n') ++currentLine_;
  return handOut(ch, at);
}

}  // namespace pelc
