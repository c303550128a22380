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
  file_->write(memory_);
  memory_.clear();
  memory_.shrink_to_fit();
  spilled_ = true;
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
  if (head.empty()) return std::move(file_);
  // The body already fills the output file from its start: it moves behind
  // the head into a second one.
  std::unique_ptr<OutputFile> output = fileSystem_.createReplacement(outputPath_);
  output->write(head);
  file_->copyTo(*output);
  file_.reset();
  return output;
}

}  // namespace pelc
