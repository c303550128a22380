// The emitted body of an output file.
#include "codegen/body_buffer.h"

namespace pelc {

void BodyBuffer::write(std::string_view bytes) {
  memory_.append(bytes);
  if (memory_.size() < kSpillSize || scratchUnavailable_) return;
  if (!scratch_) {
    try {
      scratch_ = fileSystem_.createScratch(outputPath_);
    } catch (const FileError&) {
      // The body stays in memory: whether the output can be written is
      // reported where the output file itself is created, after the parse.
      scratchUnavailable_ = true;
      return;
    }
  }
  scratch_->write(memory_);
  memory_.clear();
}

void BodyBuffer::copyTo(OutputFile& out) {
  if (scratch_) scratch_->copyTo(out);
  if (!memory_.empty()) out.write(memory_);
}

}  // namespace pelc
