// The emitted body of an output file.
#include "codegen/body_buffer.h"

namespace pelc {

void BodyBuffer::write(std::string_view bytes) {
  if (spilled_) {
    file_->write(bytes);
    return;
  }
  memory_.append(bytes);
  if (memory_.size() >= kSpillSize && !fileUnavailable_) spill();
}

void BodyBuffer::spill() {
  // From here on the file stays half-written until the end of the output.
  fileSystem_.expectLongWrite();
  if (!file_) {
    try {
      file_ = fileSystem_.createReplacement(outputPath_);
    } catch (const FileError&) {
      // The body stays in memory: whether the output can be written is
      // reported where the output file is needed, after the parse.
      fileUnavailable_ = true;
      return;
    }
  }
  file_->reserveFront(expectedHead_);
  front_ = expectedHead_;
  file_->write(memory_);
  memory_.clear();
  memory_.shrink_to_fit();
  spilled_ = true;
}

void BodyBuffer::expectHead(std::size_t size) {
  expectedHead_ = size;
  if (spilled_ && size != front_ && moves_ < kMaxMoves) {
    ++moves_;
    moveBody(size);
  }
}

void BodyBuffer::moveBody(std::size_t headSize) {
  std::unique_ptr<OutputFile> moved = fileSystem_.createReplacement(outputPath_);
  moved->reserveFront(headSize);
  file_->copyTo(*moved);
  file_ = std::move(moved);
  front_ = headSize;
}

void BodyBuffer::openOutput() {
  if (!file_) file_ = fileSystem_.createReplacement(outputPath_);
}

std::unique_ptr<OutputFile> BodyBuffer::takeOutput(std::string_view head) {
  openOutput();
  if (!spilled_) {
    file_->write(head);
    file_->write(memory_);
    memory_.clear();
    return std::move(file_);
  }
  if (head.size() != front_) moveBody(head.size());
  if (!head.empty()) file_->fillFront(head);
  return std::move(file_);
}

}  // namespace pelc
