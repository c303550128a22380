// The reading ahead of logical lines.
#include "source/line_ahead.h"

#include <sstream>

#include "diag/diagnostics.h"
#include "source/helper_thread.h"

namespace pelc {

LineAhead::LineAhead(const SourceReader::State& start, std::size_t batchLines)
    : batchLines_(batchLines) {
  for (Batch& batch : batches_) {
    // A line may carry a batch past its byte bound by one line at most.
    batch.text.reserve(kBatchBytes + kLineBufferSize);
    batch.lines.reserve(batchLines_);
  }
  SourceReader reader;
  reader.restoreState(start);
  thread_ = startHelperThread([this, reader] { run(reader); });
}

LineAhead::~LineAhead() {
  {
    const std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  changed_.notify_all();
  thread_.join();
}

void LineAhead::run(SourceReader reader) {
  std::string line;
  line.reserve(kLineBufferSize);
  for (std::size_t at = 0;; at = (at + 1) % kBatches) {
    {
      std::unique_lock lock(mutex_);
      changed_.wait(lock, [this] { return filled_ < kBatches || stopping_; });
      if (stopping_) return;
    }
    // The batch is no longer the parse's: it gave it back, or never had it.
    Batch& batch = batches_[at];
    fill(batch, reader, line);
    const bool ended = batch.ended;
    {
      const std::lock_guard lock(mutex_);
      ++filled_;
    }
    changed_.notify_all();
    if (ended) return;
  }
}

void LineAhead::fill(Batch& batch, SourceReader& reader, std::string& line) {
  batch.text.clear();
  batch.lines.clear();
  // The only message of reading, a line too long, is for the parse to print in
  // its turn: it reads that line again itself.
  std::ostringstream unused;
  Diagnostics diag(unused);
  while (batch.lines.size() < batchLines_ && batch.text.size() < kBatchBytes) {
    reader.settlePending();
    const SourceReader::State before = reader.saveState();
    try {
      LineInfo info;
      int commentFlag = 0;
      if (readLogicalLine(reader, diag, line, true, info, &commentFlag) == 0) {
        batch.ended = true;
        batch.resume = before;
        return;
      }
      batch.lines.push_back(AheadLine{static_cast<std::uint32_t>(batch.text.size()),
                                      static_cast<std::uint16_t>(line.size()), commentFlag != 0,
                                      before.pending.count == 0, info, reader.currentLine()});
      batch.text.append(line);
    } catch (...) {
      batch.ended = true;
      batch.resume = before;
      return;
    }
  }
  batch.resume = reader.saveState();
}

bool LineAhead::takeBack() {
  if (taken_ == 0 || !lines_[taken_ - 1].startsClean) return false;
  --taken_;
  return true;
}

bool LineAhead::takeNextBatch(SourceReader& reader) {
  std::unique_lock lock(mutex_);
  // A batch may hold no line: the source ended, or a line was too long, at its start.
  while (taken_ == available_) {
    if (holding_) {
      const Batch& done = batches_[current_];
      // Rather than wait once more for a reading that is behind, read here.
      if (done.ended || (filled_ == 1 && pace_.behind())) {
        reader.restoreState(done.resume);
        return false;
      }
      --filled_;
      current_ = (current_ + 1) % kBatches;
      changed_.notify_all();
    }
    // The first batch is waited for in any case.
    pace_.batchTaken(holding_ && filled_ == 0);
    changed_.wait(lock, [this] { return filled_ > 0; });
    const Batch& batch = batches_[current_];
    holding_ = true;
    lines_ = batch.lines.data();
    text_ = batch.text.data();
    available_ = batch.lines.size();
    taken_ = 0;
  }
  return true;
}

}  // namespace pelc
