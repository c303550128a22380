// The compiler with standard streams that are broken or closed: a report that
// cannot be written fails the run, and a closed standard output never makes
// messages land in an output file. The compiler itself is run, since the
// streams are the process's own.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "disk_tree.h"

namespace pelc {
namespace {

using test::DiskTree;

enum class Stdout { Broken, Closed, File };

struct Result {
  int status = -1;  // the exit status, -1 when the process did not exit
  std::string errors;
};

/// Runs the compiler in `tree` with standard output as `how` says; a File
/// goes to "stdout.txt" there.
Result runCompiler(const DiskTree& tree, Stdout how, const std::vector<std::string>& args) {
  int errors[2];
  int output[2];
  if (::pipe(errors) != 0 || ::pipe(output) != 0) return {};
  ::close(output[0]);  // a pipe nobody reads: every write fails
  const pid_t pid = ::fork();
  if (pid == 0) {
    ::signal(SIGPIPE, SIG_IGN);
    ::dup2(errors[1], STDERR_FILENO);
    if (how == Stdout::Broken) ::dup2(output[1], STDOUT_FILENO);
    if (how == Stdout::Closed) ::close(STDOUT_FILENO);
    if (how == Stdout::File) {
      ::dup2(::open(tree.path("stdout.txt").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644),
             STDOUT_FILENO);
    }
    std::vector<char*> argv{const_cast<char*>(PELC_BINARY)};
    for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    if (::chdir(tree.path("").c_str()) == 0) ::execv(PELC_BINARY, argv.data());
    ::_exit(127);
  }
  ::close(errors[1]);
  ::close(output[1]);
  Result result;
  char buffer[256];
  for (ssize_t got; (got = ::read(errors[0], buffer, sizeof buffer)) > 0;) {
    result.errors.append(buffer, static_cast<std::size_t>(got));
  }
  ::close(errors[0]);
  int status = 0;
  ::waitpid(pid, &status, 0);
  if (WIFEXITED(status)) result.status = WEXITSTATUS(status);
  return result;
}

TEST(StandardStreamsTest, AReportThatCannotBeWrittenFailsTheRun) {
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{"--version"}, std::vector<std::string>{"main"}}) {
    DiskTree tree;
    tree.put("main.pmp", "x = 1\n");
    const Result run = runCompiler(tree, Stdout::Broken, args);
    EXPECT_EQ(run.status, 1) << args[0];
    EXPECT_EQ(run.errors, "pelc: cannot write standard output\n") << args[0];
  }
}

// Enough constructs that the output goes to its file while the parse still
// reports, then many more reports than one buffer of standard output holds.
TEST(StandardStreamsTest, AClosedStandardOutputKeepsMessagesOutOfTheOutput) {
  std::string source;
  for (int i = 0; i < 20000; ++i) source += "WHILE (x < 3)\n{\n    x = x + 1\n}\n";
  for (int i = 0; i < 2000; ++i) source += "#DEFINE\n";
  DiskTree expected;
  expected.put("main.pmp", source);
  ASSERT_EQ(runCompiler(expected, Stdout::File, {"main"}).status, 0);
  ASSERT_GT(expected.get("stdout.txt").size(), std::size_t{1} << 16);

  DiskTree closed;
  closed.put("main.pmp", source);
  EXPECT_EQ(runCompiler(closed, Stdout::Closed, {"main"}).status, 0);
  EXPECT_TRUE(closed.get("main.pml") == expected.get("main.pml"));
}

}  // namespace
}  // namespace pelc
