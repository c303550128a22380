// Whole runs on disk whose output is not an ordinary writable file: a pipe,
// a link to one, a file its owner protects, a run killed while it writes.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "disk_tree.h"
#include "driver/run.h"
#include "source/file_system.h"

namespace pelc {
namespace {

namespace fs = std::filesystem;
using test::DiskTree;

int compile(const std::string& input, std::string& printed, const char* option = "-X") {
  RealFileSystem disk;
  std::ostringstream out;
  const std::vector<std::string> args{option, input};
  const int status = runPelc(args, out, disk);
  printed = out.str();
  return status;
}

/// A source with a SWITCH, whose output gets a head in front of its body, and
/// `lines` more lines: enough of them make the body go to its file early.
std::string sourceOf(int lines) {
  std::string source = "SWITCH (a)\n{\nCASE 1\n    b = 1\n}\n";
  for (int i = 0; i < lines; ++i) source += "y = " + std::to_string(i) + "\n";
  return source;
}

/// Everything written into the FIFO at `path` until its last writer closes it.
class FifoReader {
 public:
  explicit FifoReader(std::string path) : path_(std::move(path)) {
    thread_ = std::thread([this] {
      const int fd = ::open(path_.c_str(), O_RDONLY);
      char chunk[1 << 16];
      for (ssize_t got; fd >= 0 && (got = ::read(fd, chunk, sizeof chunk)) > 0;) {
        bytes_.append(chunk, static_cast<std::size_t>(got));
      }
      if (fd >= 0) ::close(fd);
    });
  }
  FifoReader(const FifoReader&) = delete;
  FifoReader& operator=(const FifoReader&) = delete;
  ~FifoReader() { finish(); }

  /// What was read. A reader still waiting for a writer (the run never opened
  /// the FIFO) is let go with nothing.
  const std::string& finish() {
    if (thread_.joinable()) {
      const int fd = ::open(path_.c_str(), O_WRONLY | O_NONBLOCK);
      if (fd >= 0) ::close(fd);
      thread_.join();
    }
    return bytes_;
  }

 private:
  std::string path_;
  std::string bytes_;
  std::thread thread_;
};

// Replacing a FIFO (or a device) would put a plain file in its place; it gets
// the bytes the output would hold, and stays what it was.
TEST(OutputTargetsTest, AFifoOutputIsWrittenInPlace) {
  for (const int lines : {3, 40000}) {
    for (const bool behindLink : {false, true}) {
      DiskTree tree;
      tree.put("main.pmp", sourceOf(lines));
      std::string printed;
      ASSERT_EQ(compile(tree.path("main.pmp"), printed), 0) << printed;
      const std::string expected = tree.get("main.pml");
      fs::remove(tree.path("main.pml"));
      const std::string fifo = tree.path(behindLink ? "pipe" : "main.pml");
      ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
      if (behindLink) fs::create_symlink("pipe", tree.path("main.pml"));
      FifoReader reader(fifo);
      EXPECT_EQ(compile(tree.path("main.pmp"), printed), 0) << printed;
      const std::string received = reader.finish();
      EXPECT_TRUE(received == expected) << lines << " lines, link " << behindLink;
      EXPECT_TRUE(fs::is_fifo(fifo));
      EXPECT_EQ(tree.entries(), behindLink ? 3u : 2u) << "no file left beside the FIFO";
    }
  }
}

/// Runs `body` in a child process and returns its exit status, or 128 plus the
/// signal that ended it.
template <typename Body>
int inChild(Body body) {
  const pid_t child = ::fork();
  if (child == 0) ::_exit(body());
  int status = 0;
  ::waitpid(child, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

// A rename needs leave of the folder alone; an output its owner protects from
// this user must stay as it is, as writing to it would have failed. Root may
// write anything, so the child drops to an unprivileged user first.
TEST(OutputTargetsTest, AProtectedOutputIsNotReplaced) {
  DiskTree tree;
  ASSERT_EQ(::chmod(tree.path("").c_str(), 0777), 0);
  tree.put("main.pmp", "x = 1\n");
  tree.put("main.pml", "kept\r\n");
  ASSERT_EQ(::chmod(tree.path("main.pmp").c_str(), 0644), 0);
  ASSERT_EQ(::chmod(tree.path("main.pml").c_str(), 0444), 0);
  const std::string expected = "pelc: cannot write " + tree.path("main.pml") + ": " +
                               std::strerror(EACCES) + "\n";
  const int status = inChild([&] {
    constexpr uid_t kNobody = 65534;
    if (::geteuid() == 0 && (::setgid(kNobody) != 0 || ::setuid(kNobody) != 0)) return 10;
    std::string printed;
    if (compile(tree.path("main.pmp"), printed) != 1) return 11;
    return printed.ends_with(expected) ? 0 : 12;
  });
  EXPECT_EQ(status, 0) << "10: no user to drop to, 11: wrong status, 12: wrong message";
  EXPECT_EQ(tree.get("main.pml"), "kept\r\n");
  EXPECT_EQ(tree.entries(), 2u);
}

struct stat statusOf(const std::string& path) {
  struct stat status {};
  EXPECT_EQ(::stat(path.c_str(), &status), 0) << path;
  return status;
}

// A build that finds its output up to date must not touch it: not its
// contents, not its time, not the file itself.
TEST(OutputTargetsTest, UpdateOnlyLeavesAnUpToDateOutputAlone) {
  DiskTree tree;
  tree.put("main.pmp", "x = 1\n");
  const auto now = fs::file_time_type::clock::now();
  fs::last_write_time(tree.path("main.pmp"), now - std::chrono::seconds(100));
  std::string printed;
  ASSERT_EQ(compile(tree.path("main.pmp"), printed), 0) << printed;
  const struct stat written = statusOf(tree.path("main.pml"));
  ASSERT_EQ(compile(tree.path("main.pmp"), printed, "-u"), 0) << printed;
  const struct stat kept = statusOf(tree.path("main.pml"));
  EXPECT_EQ(kept.st_ino, written.st_ino);
  EXPECT_EQ(kept.st_mtim.tv_sec, written.st_mtim.tv_sec);
  EXPECT_EQ(kept.st_mtim.tv_nsec, written.st_mtim.tv_nsec);
  fs::last_write_time(tree.path("main.pmp"), now + std::chrono::seconds(100));
  ASSERT_EQ(compile(tree.path("main.pmp"), printed, "-u"), 0) << printed;
  EXPECT_NE(statusOf(tree.path("main.pml")).st_ino, written.st_ino) << "a stale one is replaced";
}

bool offersUnnamedFiles(const std::string& directory) {
  const int fd = TemporaryFiles::createUnnamed(directory);
  if (fd < 0) return false;
  ::close(fd);
  return true;
}

// Nothing can remove a file after SIGKILL; one that has no name yet needs no removing.
TEST(OutputTargetsTest, AKilledWriteLeavesNoFile) {
  DiskTree tree;
  if (!offersUnnamedFiles(tree.path(""))) GTEST_SKIP() << "no unnamed files on this file system";
  tree.put("main.pml", "old");
  const int status = inChild([&] {
    RealFileSystem disk;
    std::unique_ptr<OutputFile> output = disk.createReplacement(tree.path("main.pml"));
    output->write(std::string(1 << 20, 'x'));
    ::raise(SIGKILL);
    return 0;
  });
  EXPECT_EQ(status, 128 + SIGKILL);
  EXPECT_EQ(tree.names(), std::set<std::string>{"main.pml"});
  EXPECT_EQ(tree.get("main.pml"), "old");
}

}  // namespace
}  // namespace pelc
