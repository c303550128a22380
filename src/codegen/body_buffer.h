// The emitted body of an output file, held until the file's head is known.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "source/file_system.h"

namespace pelc {

/// Collects output bytes in memory; once they grow large they go straight
/// into the output's replacement file, so memory stays flat however big the
/// output is. The head, known only at the end, then goes in front: the body is
/// copied behind it, unless there is no head at all.
class BodyBuffer final : public ByteSink {
 public:
  BodyBuffer(FileSystem& fileSystem, std::string outputPath)
      : fileSystem_(fileSystem), outputPath_(std::move(outputPath)) {}

  void write(std::string_view bytes) override;

  /// Makes sure the output file exists; throws FileError (Write) when it
  /// cannot be made. Called where a failure to write must be reported.
  void openOutput();
  /// The output file holding `head` followed by every byte written so far,
  /// ready to be committed.
  std::unique_ptr<OutputFile> takeOutput(std::string_view head);

 private:
  static constexpr std::size_t kSpillSize = 1 << 18;

  void spill();

  FileSystem& fileSystem_;
  std::string outputPath_;
  std::string memory_;
  // The output's replacement file, once made; the body is in it once spilled.
  std::unique_ptr<OutputFile> file_;
  bool spilled_ = false;
  bool fileUnavailable_ = false;
};

}  // namespace pelc
