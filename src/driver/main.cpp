// The pelc entry point.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <new>
#include <string>
#include <vector>

#include "diag/diagnostics.h"
#include "driver/interrupt_cleanup.h"
#include "driver/run.h"
#include "driver/standard_output.h"

namespace {

int runFromCommandLine(int argc, char** argv) {
  std::ios::sync_with_stdio(false);
  const std::vector<std::string> args(argv + 1, argv + argc);
  pelc::RealFileSystem fileSystem;
  pelc::InterruptCleanup cleanup(fileSystem.temporaryFiles());
  fileSystem.setInterruptGuard(&cleanup);
  const int status = pelc::runPelc(args, std::cout, fileSystem,
                                     {.outputIsTerminal = pelc::standardOutputShowsColor()});
  if (!std::cout.flush()) {
    // The messages are the run's report: a run that could not give it has not succeeded.
    std::cerr << "pelc: cannot write standard output\n";
    return status == 0 ? 1 : status;
  }
  return status;
}

/// Whether there is room for the runtime to raise and report an exception.
/// The runtime keeps a reserve for exceptions that it takes from the heap
/// before main; under a tight cap on the address space it may have got none,
/// and the first exception, bad_alloc included, then ends the process by a
/// signal. Room for this probe now means there was room for the reserve then.
bool roomToStart() {
  constexpr std::size_t kProbe = 256 * 1024;
  void* probe = std::malloc(kProbe);
  std::free(probe);
  return probe != nullptr;
}

}  // namespace

int main(int argc, char** argv) {
  pelc::prepareStandardStreams();
  if (!roomToStart()) {
    // Message -203 before the first file, written without the library's
    // buffers, which need memory of their own.
    constexpr char kOutOfMemory[] = "pelc: Prompt not found: pnum = 203\n";
    [[maybe_unused]] const ssize_t written =
        ::write(STDOUT_FILENO, kOutOfMemory, sizeof kOutOfMemory - 1);
    return 1;
  }
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
