// An interrupted run of the compiler leaves no half-written output behind, and
// a run that was started with the interrupt ignored is not interrupted. The
// compiler itself is run, since the cleanup ends the process it runs in.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <set>
#include <string>
#include <thread>

#include "disk_tree.h"

namespace pelc {
namespace {

using test::DiskTree;

/// A source whose parse blocks at an #INCLUDE of a named pipe, after enough
/// lines that their output has gone into the replacement file.
void writeBlockingSource(const DiskTree& tree) {
  std::string source;
  const std::string line = "v1 = v2 + 3\n";
  while (source.size() < (std::size_t{5} << 20)) source += line;
  source += "#INCLUDE pipe.pmp\nv9 = 1\n";
  tree.put("main.pmp", source);
  tree.put("main.pml", "old");
  ASSERT_EQ(::mkfifo(tree.path("pipe.pmp").c_str(), 0600), 0);
}

/// The compiler run in the tree; killed and reaped whatever the test's outcome.
class Compiler {
 public:
  Compiler(const DiskTree& tree, int ignoredSignal) {
    const std::string directory = tree.path("");
    pid_ = ::fork();
    if (pid_ != 0) return;
    if (ignoredSignal != 0) ::signal(ignoredSignal, SIG_IGN);
    const int quiet = ::open("/dev/null", O_WRONLY);
    ::dup2(quiet, 1);
    ::dup2(quiet, 2);
    if (::chdir(directory.c_str()) == 0) ::execl(PELC_BINARY, PELC_BINARY, "main.pmp", nullptr);
    ::_exit(127);
  }
  ~Compiler() {
    if (pid_ > 0 && !reaped_) {
      ::kill(pid_, SIGKILL);
      ::waitpid(pid_, nullptr, 0);
    }
  }
  Compiler(const Compiler&) = delete;
  Compiler& operator=(const Compiler&) = delete;

  void send(int signal) const { ::kill(pid_, signal); }
  bool running() const { return ::waitpid(pid_, nullptr, WNOHANG) == 0; }
  int wait() {
    int status = 0;
    ::waitpid(pid_, &status, 0);
    reaped_ = true;
    return status;
  }

 private:
  pid_t pid_ = -1;
  bool reaped_ = false;
};

/// Waits until the compiler reads the included pipe, past the lines whose
/// output went into the replacement file, and returns the pipe's write end
/// (-1 when it never got there). The replacement itself may have no name to
/// look for: it gets one only when complete.
int includeReached(const DiskTree& tree, const Compiler& compiler) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  while (std::chrono::steady_clock::now() < deadline && compiler.running()) {
    const int writer = ::open(tree.path("pipe.pmp").c_str(), O_WRONLY | O_NONBLOCK);
    if (writer >= 0) return writer;
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  return -1;
}

TEST(InterruptCleanupTest, AnInterruptRemovesTheReplacementAndEndsTheRun) {
  for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
    DiskTree tree;
    writeBlockingSource(tree);
    Compiler compiler(tree, 0);
    const int writer = includeReached(tree, compiler);
    ASSERT_GE(writer, 0) << signal;
    compiler.send(signal);
    const int status = compiler.wait();
    ::close(writer);
    EXPECT_EQ(WIFSIGNALED(status) ? WTERMSIG(status) : 0, signal)
        << "the run ends as the signal ends it";
    EXPECT_EQ(tree.names(), (std::set<std::string>{"main.pmp", "main.pml", "pipe.pmp"}))
        << signal << ": no half-written output is left";
    EXPECT_EQ(tree.get("main.pml"), "old") << signal << ": the previous output stays";
  }
}

TEST(InterruptCleanupTest, AnInterruptIgnoredAtTheStartStaysIgnored) {
  DiskTree tree;
  writeBlockingSource(tree);
  Compiler compiler(tree, SIGINT);
  const int writer = includeReached(tree, compiler);
  ASSERT_GE(writer, 0);
  compiler.send(SIGINT);
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  EXPECT_TRUE(compiler.running()) << "nohup and background jobs ignore interrupts";
  // The included pipe ends empty, and the run goes on to its end.
  ::close(writer);
  const int status = compiler.wait();
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
  EXPECT_EQ(tree.names(), (std::set<std::string>{"main.pmp", "main.pml", "pipe.pmp"}));
  EXPECT_NE(tree.get("main.pml"), "old");
}

}  // namespace
}  // namespace pelc
