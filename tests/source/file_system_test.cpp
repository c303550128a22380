// The disk side of the file facility: mapped and read sources, and output
// files whose body is copied behind a head.
#include "source/file_system.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "disk_tree.h"

namespace pelc {
namespace {

namespace fs = std::filesystem;
using test::DiskTree;

std::string patterned(std::size_t size) {
  std::string bytes(size, '\0');
  for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>((i * 131 + i / 977) & 0xff);
  return bytes;
}

TEST(RealFileSystemTest, SourcesOfEverySizeReadWhole) {
  const std::size_t threshold = std::size_t{1} << 16;
  for (const std::size_t size : {std::size_t{0}, std::size_t{1}, threshold - 1, threshold,
                                 threshold + 4097, std::size_t{3} << 20}) {
    DiskTree tree;
    const std::string bytes = patterned(size);
    tree.put("s.pmp", bytes);
    RealFileSystem disk;
    const SourceBytes read = disk.readFile(tree.path("s.pmp"));
    EXPECT_TRUE(read.view() == bytes) << size;
    // Moving the bytes keeps them.
    const SourceBytes moved = std::move(*disk.tryReadFile(tree.path("s.pmp")));
    EXPECT_TRUE(moved.view() == bytes) << size;
  }
}

// An editor that saves in place may shrink or grow a source between the look at
// its size and the read: the compile gets what is there when it reads.
TEST(RealFileSystemTest, ASourceThatChangesSizeIsReadToItsEnd) {
  struct Case {
    const char* name;
    std::size_t before, after;
  };
  const Case cases[] = {{"shrank", 3 << 20, 100}, {"emptied", 3 << 20, 0}, {"grew", 100, 3 << 20}};
  for (const Case& c : cases) {
    DiskTree tree;
    tree.put("s.pmp", patterned(c.before));
    const int fd = ::open(tree.path("s.pmp").c_str(), O_RDONLY);
    ASSERT_GE(fd, 0);
    tree.put("s.pmp", patterned(c.after));  // truncates and rewrites the same file
    const SourceBytes read = readToEnd(fd, c.before, tree.path("s.pmp"));
    ::close(fd);
    EXPECT_TRUE(read.view() == patterned(c.after)) << c.name;
  }
}

TEST(RealFileSystemTest, MissingFilesAndDirectories) {
  DiskTree tree;
  RealFileSystem disk;
  EXPECT_THROW(disk.readFile(tree.path("none.pmp")), FileError);
  EXPECT_FALSE(disk.tryReadFile(tree.path("none.pmp")).has_value());
  fs::create_directory(tree.path("dir"));
  EXPECT_FALSE(disk.tryReadFile(tree.path("dir")).has_value());
  EXPECT_THROW(disk.readFile(tree.path("dir")), FileError);
}

TEST(RealFileSystemTest, ABodyCopiedBehindAHead) {
  for (const std::size_t size : {std::size_t{0}, std::size_t{70000}, std::size_t{5} << 20}) {
    DiskTree tree;
    tree.put("p.pml", "old");
    RealFileSystem disk;
    const std::string body = patterned(size);
    std::unique_ptr<OutputFile> first = disk.createReplacement(tree.path("p.pml"));
    first->write(body);
    std::unique_ptr<OutputFile> second = disk.createReplacement(tree.path("p.pml"));
    second->write("HEAD\r\n");
    first->copyTo(*second);
    EXPECT_EQ(tree.get("p.pml"), "old");
    second->commit();
    first.reset();  // dropped uncommitted: its temporary file goes
    EXPECT_TRUE(tree.get("p.pml") == "HEAD\r\n" + body) << size;
    EXPECT_EQ(tree.entries(), 1u);
  }
}

// A body written behind room left for its head: filled in place when the head
// fits the room, copied behind another head otherwise; the room never travels.
TEST(RealFileSystemTest, RoomLeftInFrontOfABody) {
  for (const std::size_t size : {std::size_t{0}, std::size_t{70000}, std::size_t{5} << 20}) {
    DiskTree tree;
    tree.put("p.pml", "old");
    RealFileSystem disk;
    const std::string body = patterned(size);
    std::unique_ptr<OutputFile> first = disk.createReplacement(tree.path("p.pml"));
    first->reserveFront(6);
    first->write(body.substr(0, size / 2));
    first->write(body.substr(size / 2));
    std::unique_ptr<OutputFile> second = disk.createReplacement(tree.path("p.pml"));
    second->reserveFront(3);
    first->copyTo(*second);
    second->fillFront("H\r\n");
    second->commit();
    EXPECT_TRUE(tree.get("p.pml") == "H\r\n" + body) << size;
    first->fillFront("HEAD\r\n");
    first->commit();
    EXPECT_TRUE(tree.get("p.pml") == "HEAD\r\n" + body) << size;
    EXPECT_EQ(tree.entries(), 1u);
  }
}

void replaceWith(RealFileSystem& disk, const std::string& path, const std::string& bytes) {
  std::unique_ptr<OutputFile> file = disk.createReplacement(path);
  file->write(bytes);
  file->commit();
}

mode_t modeOf(const std::string& path) {
  struct stat status {};
  EXPECT_EQ(::stat(path.c_str(), &status), 0) << path;
  return status.st_mode & 07777;
}

/// Sets the process's umask for a scope.
class ScopedUmask {
 public:
  explicit ScopedUmask(mode_t mask) : previous_(::umask(mask)) {}
  ~ScopedUmask() { ::umask(previous_); }
  ScopedUmask(const ScopedUmask&) = delete;
  ScopedUmask& operator=(const ScopedUmask&) = delete;

 private:
  mode_t previous_;
};

// A new output gets the permissions any new file gets; a replaced one keeps its own, as
// writing over it would.
TEST(RealFileSystemTest, OutputPermissions) {
  struct Case {
    const char* name;
    mode_t umask;
    std::optional<mode_t> oldMode;  // none: no earlier output
    mode_t expected;
  };
  const Case cases[] = {
      {"new, usual umask", 022, std::nullopt, 0644},
      {"new, private umask", 077, std::nullopt, 0600},
      {"new, group umask", 002, std::nullopt, 0664},
      {"replaced private file", 022, 0600, 0600},
      {"replaced executable file", 077, 0755, 0755},
  };
  for (const Case& c : cases) {
    DiskTree tree;
    const ScopedUmask mask(c.umask);
    if (c.oldMode) {
      tree.put("p.pml", "old");
      ASSERT_EQ(::chmod(tree.path("p.pml").c_str(), *c.oldMode), 0);
    }
    RealFileSystem disk;
    replaceWith(disk, tree.path("p.pml"), "new");
    EXPECT_EQ(tree.get("p.pml"), "new") << c.name;
    EXPECT_EQ(modeOf(tree.path("p.pml")), c.expected) << c.name;
  }
}

// An output that is a symbolic link is written where the link leads, as writing to it
// would; the link stays.
TEST(RealFileSystemTest, OutputsBehindSymbolicLinks) {
  struct Case {
    const char* name;
    std::vector<std::pair<std::string, std::string>> links;  // name, what it points to
    std::string written;                                     // the file that gets the bytes
  };
  const Case cases[] = {
      {"relative link", {{"p.pml", "real/p.pml"}}, "real/p.pml"},
      {"link to a file not there yet", {{"p.pml", "real/new.pml"}}, "real/new.pml"},
      {"chain of links", {{"p.pml", "real/hop.pml"}, {"real/hop.pml", "p.pml"}}, "real/p.pml"},
      {"absolute link", {{"p.pml", ""}}, "real/p.pml"},
  };
  for (const Case& c : cases) {
    DiskTree tree;
    fs::create_directory(tree.path("real"));
    tree.put("real/p.pml", "old");
    for (const auto& [name, pointsTo] : c.links) {
      const std::string target = pointsTo.empty() ? tree.path("real/p.pml") : pointsTo;
      fs::create_symlink(target, tree.path(name));
    }
    RealFileSystem disk;
    replaceWith(disk, tree.path("p.pml"), "new");
    EXPECT_TRUE(fs::is_symlink(tree.path("p.pml"))) << c.name << ": the link stays";
    EXPECT_EQ(tree.get(c.written), "new") << c.name;
    EXPECT_EQ(tree.get("p.pml"), "new") << c.name;
    EXPECT_EQ(tree.names(), (std::set<std::string>{"p.pml", "real"})) << c.name;
  }
}

// An output whose name is as long as names may be still gets a file of its own meanwhile.
TEST(RealFileSystemTest, OutputNamesOfEveryLength) {
  for (const std::size_t length :
       {std::size_t{1}, std::size_t{240}, std::size_t{248}, std::size_t{251}}) {
    DiskTree tree;
    const std::string name = std::string(length, 'n') + ".pml";
    RealFileSystem disk;
    replaceWith(disk, tree.path(name), "new");
    EXPECT_EQ(tree.get(name), "new") << length;
    EXPECT_EQ(tree.names(), std::set<std::string>{name}) << length;
  }
}

TEST(RealFileSystemTest, ALoopOfLinksCannotBeWritten) {
  DiskTree tree;
  fs::create_symlink("b.pml", tree.path("a.pml"));
  fs::create_symlink("a.pml", tree.path("b.pml"));
  RealFileSystem disk;
  try {
    disk.createReplacement(tree.path("a.pml"));
    ADD_FAILURE() << "a loop of links was written";
  } catch (const FileError& error) {
    EXPECT_EQ(describeFileError(error),
              "cannot write " + tree.path("a.pml") + ": " + std::strerror(ELOOP));
  }
  EXPECT_EQ(tree.names(), (std::set<std::string>{"a.pml", "b.pml"}));
}

}  // namespace
}  // namespace pelc
