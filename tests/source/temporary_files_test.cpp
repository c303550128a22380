// Replacement files: what a cleanup after an interrupt removes, and what it must leave.
#include "source/temporary_files.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cerrno>
#include <set>
#include <string>

#include "disk_tree.h"

namespace pelc {
namespace {

using test::DiskTree;

std::string createIn(TemporaryFiles& files, const DiskTree& tree, const std::string& stem) {
  std::string pattern = tree.path(stem + ".XXXXXX");
  const int fd = files.create(pattern);
  EXPECT_GE(fd, 0) << stem;
  if (fd >= 0) ::close(fd);
  return pattern;
}

std::string nameOf(const std::string& path) { return path.substr(path.rfind('/') + 1); }

TEST(TemporaryFilesTest, CleanupRemovesOnlyWhatIsStillBeingWritten) {
  DiskTree tree;
  tree.put("kept.pml", "old");
  TemporaryFiles files;
  const std::string renamed = createIn(files, tree, "kept.pml");
  const std::string discarded = createIn(files, tree, "gone.pml");
  const std::string open1 = createIn(files, tree, "a.pml");
  const std::string open2 = createIn(files, tree, "a.pml");
  EXPECT_NE(open1, open2) << "each file gets a name of its own";
  EXPECT_EQ(nameOf(open1).rfind("a.pml.", 0), 0U);
  EXPECT_NE(nameOf(open1), "a.pml.XXXXXX") << "the pattern became the name";
  EXPECT_EQ(tree.entries(), 5U);

  EXPECT_EQ(files.renameTo(renamed, tree.path("kept.pml")), 0);
  files.discard(discarded);
  EXPECT_EQ(tree.names(), (std::set<std::string>{"kept.pml", nameOf(open1), nameOf(open2)}));

  files.removeAll();
  EXPECT_EQ(tree.names(), std::set<std::string>{"kept.pml"});
  EXPECT_EQ(tree.get("kept.pml"), "") << "the renamed file replaced the old one";
  files.removeAll();  // nothing is left to remove
  EXPECT_EQ(tree.names(), std::set<std::string>{"kept.pml"});
}

TEST(TemporaryFilesTest, FailuresLeaveNothingBehindAndNothingKnown) {
  DiskTree tree;
  TemporaryFiles files;
  std::string missingDirectory = tree.path("no/such/dir/x.pml.XXXXXX");
  errno = 0;
  EXPECT_EQ(files.create(missingDirectory), -1);
  EXPECT_EQ(errno, ENOENT) << "the cause of the failure reaches the caller";

  const std::string path = createIn(files, tree, "x.pml");
  EXPECT_EQ(files.renameTo(path, tree.path("no/such/dir/x.pml")), ENOENT);
  EXPECT_EQ(tree.names(), std::set<std::string>{nameOf(path)})
      << "a failed rename keeps the file, and knows it still";
  files.removeAll();
  EXPECT_EQ(tree.entries(), 0U);
}

}  // namespace
}  // namespace pelc
