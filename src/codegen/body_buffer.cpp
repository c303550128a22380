// The emitted body of an output file.
#include "codegen/body_buffer.h"

namespace pelc {

void BodyBuffer::write(std::string_view bytes) {
  memory_.append(bytes);
  if (memory_.size() < kSpillSize) return;
  if (!scratch_) scratch_ = fileSystem_.createScratch(outputPath_);
  scratch_->write(memory_);
  memory_.clear();
}

void BodyBuffer::copyTo(OutputFile& out) {
  if (scratch_) scratch_->copyTo(out);
  if (!memory_.empty()) out.write(memory_);
}

}  // namespace pelc
