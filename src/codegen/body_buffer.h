// The emitted body of an output file, held until the file's head is known.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "source/file_system.h"

namespace pelc {

/// Collects output bytes in memory and moves them to a scratch file beside
/// the output once they grow large, so memory stays flat however big the
/// output is.
class BodyBuffer final : public OutputFile {
 public:
  BodyBuffer(FileSystem& fileSystem, std::string outputPath)
      : fileSystem_(fileSystem), outputPath_(std::move(outputPath)) {}

  void write(std::string_view bytes) override;
  void commit() override {}

  /// Writes every byte collected so far into `out`.
  void copyTo(OutputFile& out);

 private:
  static constexpr std::size_t kSpillSize = 1 << 18;

  FileSystem& fileSystem_;
  std::string outputPath_;
  std::string memory_;
  std::unique_ptr<ScratchFile> scratch_;
  bool scratchUnavailable_ = false;
};

}  // namespace pelc
