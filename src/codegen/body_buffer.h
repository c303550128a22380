// The emitted body of an output file, held until the file's head is known.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "source/file_system.h"

namespace pelc {

/// Collects output bytes in memory; once they grow large they go straight
/// into the output's replacement file, so memory stays flat however big the
/// output is. The head, known only at the end, then goes in front. The file
/// leaves room for the head expected meanwhile; when the head turns out
/// otherwise, the body moves behind the head into a second file.
class BodyBuffer final : public ByteSink {
 public:
  BodyBuffer(FileSystem& fileSystem, std::string outputPath)
      : fileSystem_(fileSystem), outputPath_(std::move(outputPath)) {}

  void write(std::string_view bytes) override;

  /// The head expected so far is `size` bytes long. A body already in its
  /// file moves to make room for it, as long as few moves were made.
  void expectHead(std::size_t size);

  /// Makes sure the output file exists; throws FileError (Write) when it
  /// cannot be made. Called where a failure to write must be reported.
  void openOutput();
  /// The output file holding `head` followed by every byte written so far,
  /// ready to be committed.
  std::unique_ptr<OutputFile> takeOutput(std::string_view head);

 private:
  static constexpr std::size_t kSpillSize = 1 << 18;
  // Each move copies the body so far; a file whose SWITCH nesting keeps
  // deepening stops moving and has its body copied once at the end.
  static constexpr int kMaxMoves = 3;

  void spill();
  void moveBody(std::size_t headSize);

  FileSystem& fileSystem_;
  std::string outputPath_;
  std::string memory_;
  // The output's replacement file, once made; the body is in it once spilled,
  // behind `front_` bytes left for the head.
  std::unique_ptr<OutputFile> file_;
  std::size_t expectedHead_ = 0;
  std::size_t front_ = 0;
  int moves_ = 0;
  bool spilled_ = false;
  bool fileUnavailable_ = false;
};

}  // namespace pelc
