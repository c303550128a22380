// The per-file driver: definitions, compile pass, output file, listing.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "driver/compile_queue.h"
#include "driver/dependencies.h"
#include "parser/file_context.h"

namespace pelc {

/// The run-wide objects, with the queue that CHAIN and DOSUB add to.
struct RunContext : RunServices {
  CompileQueue& queue;
};

/// Run-wide state of the driver besides the settings and diagnostics.
struct DriverState {
  /// The -D texts with a '=' after the name already turned into a blank.
  std::vector<std::string> definitions;
  /// Entering the -D texts reports nothing.
  bool definitionsSilent = true;
  /// The line counter at the end of the last file, for messages of -D texts
  /// raised before the next file becomes current.
  int lastLine = 0;
  /// A file error happened: the run cannot end with status 0.
  bool fileErrorSeen = false;
  /// Where the output of the next file compiled goes instead of beside it:
  /// taken by the run's input file.
  std::optional<std::string> nextOutputPath;
  /// The outputs written or kept so far, with the files each was made from.
  std::vector<DependencyRule> outputs;
};

/// Raised when a file is about to start while an error is pending.
struct RunStopped {};

/// Prints a file error in the run's format.
void reportFileError(Diagnostics& diag, const FileError& error);

void compileFile(RunContext& run, DriverState& state, const std::string& path);

}  // namespace pelc
