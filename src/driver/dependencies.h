// What a build needs to know of a run: which outputs are up to date, and which
// files each output was made from.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "source/file_system.h"
#include "source/source_file.h"

namespace pelc {

/// Whether the output at `outputPath` exists and is newer than every one of
/// `sources` (the compiled file first, then each file it included). A source
/// whose status cannot be read makes the output out of date.
bool outputIsUpToDate(FileSystem& fileSystem, const std::string& outputPath,
                      const std::vector<std::unique_ptr<SourceFile>>& sources);

/// One output of the run and the files it was made from, in the order first read.
struct DependencyRule {
  std::string output;
  std::vector<std::string> sources;
};

/// The rules in the syntax of make, which other build tools read too: one
/// line per output, then an empty rule for every included file, so that a
/// build does not fail once an include is deleted. Paths are made absolute.
std::string dependencyFileText(const std::vector<DependencyRule>& rules);

}  // namespace pelc
