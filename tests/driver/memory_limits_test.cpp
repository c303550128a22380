// Under a cap on its address space the compiler may run out of memory or find no
// room for its helper threads: it then reports -203 or does without them, but it
// never ends by a signal, and an output it writes is the whole output.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>

#include "disk_tree.h"

namespace pelc {
namespace {

using test::DiskTree;

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
constexpr bool kUnderSanitizer = true;
#else
constexpr bool kUnderSanitizer = false;
#endif

/// Loops enough that nodes are emitted on a thread of their own while the
/// parse goes on.
std::string largeSource() {
  std::string source;
  for (int i = 0; i < 40000; ++i) source += "WHILE (x < 3)\n{\n    x = x + 1\n}\n";
  return source;
}

/// Runs `pelc -X main.pmp` in the tree with at most `cap` bytes of address
/// space, its messages going to printed.txt; returns its wait status.
int runCapped(const DiskTree& tree, rlim_t cap) {
  const std::string directory = tree.path("");
  const std::string printed = tree.path("printed.txt");
  const pid_t pid = ::fork();
  if (pid == 0) {
    const rlimit limit{cap, cap};
    const int out = ::open(printed.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    const int quiet = ::open("/dev/null", O_WRONLY);
    ::dup2(out, 1);
    ::dup2(quiet, 2);
    if (::chdir(directory.c_str()) == 0 && ::setrlimit(RLIMIT_AS, &limit) == 0) {
      ::execl(PELC_BINARY, PELC_BINARY, "-X", "main.pmp", nullptr);
    }
    ::_exit(127);
  }
  int status = 0;
  ::waitpid(pid, &status, 0);
  return status;
}

TEST(MemoryLimitsTest, NoCapEndsTheRunBySignalOrWithAPartialOutput) {
  if (kUnderSanitizer) GTEST_SKIP() << "the sanitizers reserve more address space than any cap";
  DiskTree tree;
  tree.put("main.pmp", largeSource());
  ASSERT_EQ(runCapped(tree, RLIM_INFINITY), 0);
  const std::string expected = tree.get("main.pml");
  ASSERT_FALSE(expected.empty());

  constexpr rlim_t kMegabyte = 1 << 20;
  int started = 0;
  int completed = 0;
  for (rlim_t cap = 4 * kMegabyte; cap <= 64 * kMegabyte; cap += 2 * kMegabyte) {
    const std::string label = std::to_string(cap / kMegabyte) + " MB";
    tree.put("main.pml", "old");
    const int status = runCapped(tree, cap);
    ASSERT_TRUE(WIFEXITED(status)) << label << ": ended by signal " << WTERMSIG(status);
    // 127: the program could not even be loaded under the cap.
    if (WEXITSTATUS(status) == 127) continue;
    ++started;
    const std::string printed = tree.get("printed.txt");
    if (WEXITSTATUS(status) == 0) {
      ++completed;
      EXPECT_TRUE(tree.get("main.pml") == expected) << label;
    } else {
      EXPECT_EQ(WEXITSTATUS(status), 1) << label;
      EXPECT_NE(printed.find("pnum = 203\n"), std::string::npos) << label << ": " << printed;
      EXPECT_EQ(tree.get("main.pml"), "old") << label;
    }
  }
  EXPECT_GT(started, 0);
  EXPECT_GT(completed, 0);
}

}  // namespace
}  // namespace pelc
