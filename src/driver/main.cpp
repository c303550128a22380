// The pelc entry point.
#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

#include "driver/interrupt_cleanup.h"
#include "driver/run.h"

int main(int argc, char** argv) {
  std::ios::sync_with_stdio(false);
  const std::vector<std::string> args(argv + 1, argv + argc);
  pelc::RealFileSystem fileSystem;
  pelc::InterruptCleanup cleanup(fileSystem.temporaryFiles());
  fileSystem.setInterruptGuard(&cleanup);
  const int status = pelc::runPelc(args, std::cout, fileSystem);
  std::cout.flush();
  return status;
}
