// The pelc entry point.
#include <cstdio>
#include <iostream>
#include <new>
#include <string>
#include <vector>

#include "diag/diagnostics.h"
#include "driver/interrupt_cleanup.h"
#include "driver/run.h"

namespace {

int runFromCommandLine(int argc, char** argv) {
  std::ios::sync_with_stdio(false);
  const std::vector<std::string> args(argv + 1, argv + argc);
  pelc::RealFileSystem fileSystem;
  pelc::InterruptCleanup cleanup(fileSystem.temporaryFiles());
  fileSystem.setInterruptGuard(&cleanup);
  const int status = pelc::runPelc(args, std::cout, fileSystem);
  std::cout.flush();
  return status;
}

}  // namespace

int main(int argc, char** argv) {
  try {
    return runFromCommandLine(argc, argv);
  } catch (const std::bad_alloc&) {
    // Memory ran out before the run could report it itself: its own buffers
    // are among the first things made.
    pelc::Diagnostics diag(std::cout);
    try {
      diag.reportMessage(pelc::Msg::OutOfMemory, pelc::kNoLine);
    } catch (const pelc::AbortFile&) {
    }
    std::cout.flush();
    return 1;
  }
}
