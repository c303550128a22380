// Logical lines of one source buffer, read on a thread of their own ahead of
// the parse that takes them.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "source/line_reader.h"
#include "source/source_reader.h"

namespace pelc {

/// Sources of at least this many bytes have their lines read ahead; on smaller
/// ones starting the thread costs more than it saves.
inline constexpr std::size_t kReadAheadBytes = std::size_t{1} << 20;

/// Whether the part that takes lines read ahead keeps waiting for them: then
/// reading is most of the work, and handing the lines over costs more than it
/// saves (a source of plain statements is read faster without it).
class ReadingPace {
 public:
  /// One more batch taken; `waited` when it was not ready when asked for.
  void batchTaken(bool waited) {
    ++taken_;
    if (waited) ++waits_;
  }
  /// The waits of the first batches say little: the reading has just begun.
  bool behind() const { return taken_ >= kBatchesBeforeJudging && 2 * waits_ > taken_; }

  static constexpr std::size_t kBatchesBeforeJudging = 16;

 private:
  std::size_t taken_ = 0;
  std::size_t waits_ = 0;
};

/// Reads lines as readLogicalLine would (braces split) from a copy of a reader,
/// in batches of a few thousand, while the parse takes the lines read before.
/// Reading is a quarter of the parse's work and needs nothing from it but the
/// next line, so on two cores it comes off the parse's path.
///
/// Anything but an ordinary line ends the reading ahead: the end of the source,
/// a line too long (its message must come out in turn, from the parse), a
/// failure. The caller then gets the state the reader had before that line and
/// reads on itself, so every such case takes the path it takes without reading
/// ahead. So does a parse that keeps waiting for the lines (ReadingPace), after
/// the last line it took.
class LineAhead {
  struct AheadLine {
    std::uint32_t textStart;
    std::uint16_t length;
    bool commentRemoved;
    // No character was pending when the line began: it starts at its start
    // position in the bytes alone.
    bool startsClean;
    LineInfo info;
    std::int32_t endLine;
  };

 public:
  /// Batches are cut after this many lines or bytes of text.
  static constexpr std::size_t kBatchLines = 4096;
  static constexpr std::size_t kBatchBytes = 64 * 1024;

  /// Starts reading from `start`, a reader's state between two logical lines;
  /// `batchLines` is for tests, which want many batches from little text.
  explicit LineAhead(const SourceReader::State& start, std::size_t batchLines = kBatchLines);
  /// Stops the reading; lines read ahead and not taken are dropped.
  ~LineAhead();
  LineAhead(const LineAhead&) = delete;
  LineAhead& operator=(const LineAhead&) = delete;

  /// The next line, as readLogicalLine on the reader would give it: `text`,
  /// `info` and `commentFlag` as there, and `reader`'s physical line counter as
  /// reading the line would leave it. Returns false, and leaves `reader` in the
  /// state to go on reading from, where the reading ahead stopped.
  bool next(std::string& text, LineInfo& info, int* commentFlag, SourceReader& reader) {
    if (taken_ == available_ && !takeNextBatch(reader)) return false;
    const AheadLine& line = lines_[taken_++];
    text.clear();
    text.append(text_ + line.textStart, line.length);
    info = line.info;
    if (commentFlag != nullptr) *commentFlag = line.commentRemoved ? 1 : 0;
    reader.setCurrentLine(line.endLine);
    return true;
  }

  /// Makes the line last returned come out of next() again, when reading it
  /// again from its start position, with no character given back, gives the
  /// same line. Returns whether it did.
  bool takeBack();

 private:
  // The reading side writes a batch's buffers' sizes line by line, the parse
  // moves its cursor line by line: on cache lines of their own, neither slows
  // the other down.
  static constexpr std::size_t kCacheLine = 64;

  /// A batch of lines in one buffer; `ended` on the last batch.
  struct alignas(kCacheLine) Batch {
    std::string text;
    std::vector<AheadLine> lines;
    bool ended = false;
    SourceReader::State resume;
  };

  // Enough for the reading to ride out a few milliseconds off the processor,
  // which it may share with the emission.
  static constexpr std::size_t kBatches = 8;

  void run(SourceReader reader);
  void fill(Batch& batch, SourceReader& reader, std::string& line);
  bool takeNextBatch(SourceReader& reader);

  const std::size_t batchLines_;

  std::mutex mutex_;
  std::condition_variable changed_;
  Batch batches_[kBatches];
  // Batches filled and not yet taken back by the reading side, counted from
  // the one the parse is at.
  std::size_t filled_ = 0;
  bool stopping_ = false;

  // The parse's side: the batch it is at, once it holds one, and that
  // batch's lines.
  alignas(kCacheLine) std::size_t current_ = 0;
  bool holding_ = false;
  const AheadLine* lines_ = nullptr;
  const char* text_ = nullptr;
  std::size_t available_ = 0;
  std::size_t taken_ = 0;
  ReadingPace pace_;

  alignas(kCacheLine) std::thread thread_;
};

}  // namespace pelc
