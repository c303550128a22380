// Memory running out while the command line is read: a thrown message like any other problem
// of the command line, so the run ends with status -1 after printing it.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "driver/run.h"
#include "source/file_system.h"

namespace pelc {
namespace {

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
constexpr bool kAddressSpaceIsOurs = false;  // the sanitizers reserve terabytes up front
#else
constexpr bool kAddressSpaceIsOurs = true;
#endif

std::size_t addressSpaceInUse() {
  std::ifstream statm("/proc/self/statm");
  std::size_t pages = 0;
  statm >> pages;
  return pages * static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
}

// In a child whose address space has room for little more than it holds, a -D text too large
// to copy is given; the child reports the status and what was printed.
TEST(OutOfMemoryTest, CopyingADefinitionFails) {
  if (!kAddressSpaceIsOurs) GTEST_SKIP() << "address space limits do not work with sanitizers";
  int pipeEnds[2];
  ASSERT_EQ(::pipe(pipeEnds), 0);
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    ::close(pipeEnds[0]);
    std::vector<std::string> args(2);
    args[0].reserve(std::size_t{64} << 20);
    args[0].append("-DHUGE=").append((std::size_t{64} << 20) - 8, 'x');
    args[1] = "p";
    MemoryFileSystem fs;
    fs.addFile("p.pmp", "x = 1\n");
    std::ostringstream out;
    out << "";  // the stream's buffer is made before memory runs short
    const rlimit limit{addressSpaceInUse() + (std::size_t{32} << 20), RLIM_INFINITY};
    ::setrlimit(RLIMIT_AS, &limit);
    const int status = runPelc(args, out, fs);
    const std::string report = std::to_string(status) + "|" + out.str();
    const bool written =
        ::write(pipeEnds[1], report.data(), report.size()) == static_cast<ssize_t>(report.size());
    ::_exit(written ? 0 : 3);
  }
  ::close(pipeEnds[1]);
  std::string report;
  char chunk[256];
  for (ssize_t got = 0; (got = ::read(pipeEnds[0], chunk, sizeof chunk)) > 0;) {
    report.append(chunk, static_cast<std::size_t>(got));
  }
  ::close(pipeEnds[0]);
  int waitStatus = 0;
  ::waitpid(child, &waitStatus, 0);
  ASSERT_TRUE(WIFEXITED(waitStatus) && WEXITSTATUS(waitStatus) == 0) << waitStatus;
  EXPECT_EQ(report, "255|pelc: Prompt not found: pnum = 203\n");
}

}  // namespace
}  // namespace pelc
