// One run of the compiler: the command line, the compile queue, the exit status.
#pragma once

#include <ostream>
#include <span>
#include <string>

#include "source/file_system.h"

namespace pelc {

/// Runs pelc on the arguments after the program name, printing every message
/// to `out`. Returns the process exit status (0, 1, or 255 for -1).
/// `outputIsTerminal` lets --color=auto colour the messages.
int runPelc(std::span<const std::string> args, std::ostream& out, FileSystem& fileSystem,
            bool outputIsTerminal = false);

}  // namespace pelc
