// One run of the compiler: the command line, the compile queue, the exit status.
#pragma once

#include <ostream>
#include <span>
#include <string>

#include "source/file_system.h"

namespace pelc {

/// What the run may use besides its arguments; the defaults are the program's.
struct RunEnvironment {
  /// Lets --color=auto colour the messages.
  bool outputIsTerminal = false;
  /// Whether large files may be emitted on a second thread.
  bool emissionThread = true;
};

/// Runs pelc on the arguments after the program name, printing every message
/// to `out`. Returns the process exit status (0, 1, or 255 for -1).
int runPelc(std::span<const std::string> args, std::ostream& out, FileSystem& fileSystem,
            const RunEnvironment& environment = {});

}  // namespace pelc
