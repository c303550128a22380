// The disk side of the file facility: mapped and read sources, and output
// files whose body is copied behind a head.
#include "source/file_system.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

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
  const std::size_t threshold = RealFileSystem::kMapThreshold;
  for (const std::size_t size : {std::size_t{0}, std::size_t{1}, threshold - 1, threshold,
                                 threshold + 4097, std::size_t{3} << 20}) {
    DiskTree tree;
    const std::string bytes = patterned(size);
    tree.put("s.pmp", bytes);
    RealFileSystem disk;
    const SourceBytes read = disk.readFile(tree.path("s.pmp"));
    EXPECT_TRUE(read.view() == bytes) << size;
    // Moving the bytes keeps them, mapped or held.
    const SourceBytes moved = std::move(*disk.tryReadFile(tree.path("s.pmp")));
    EXPECT_TRUE(moved.view() == bytes) << size;
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

}  // namespace
}  // namespace pelc
