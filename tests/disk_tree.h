// A scratch directory on disk for the tests of the file facility, removed with
// everything in it when the test ends.
#pragma once

#include <stdlib.h>

#include <cstddef>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>

namespace pelc::test {

class DiskTree {
 public:
  DiskTree() {
    std::string pattern = (std::filesystem::temp_directory_path() / "pelc-fs-XXXXXX").string();
    root_ = ::mkdtemp(pattern.data());
  }
  ~DiskTree() { std::filesystem::remove_all(root_); }
  DiskTree(const DiskTree&) = delete;
  DiskTree& operator=(const DiskTree&) = delete;

  std::string path(const std::string& name) const { return (root_ / name).string(); }
  void put(const std::string& name, const std::string& bytes) const {
    std::ofstream(path(name), std::ios::binary) << bytes;
  }
  std::string get(const std::string& name) const {
    std::ifstream in(path(name), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }
  /// The names in the directory, sorted.
  std::set<std::string> names() const {
    std::set<std::string> found;
    for (const auto& entry : std::filesystem::directory_iterator(root_)) {
      found.insert(entry.path().filename().string());
    }
    return found;
  }
  std::size_t entries() const {
    return static_cast<std::size_t>(std::distance(std::filesystem::directory_iterator(root_), {}));
  }

 private:
  std::filesystem::path root_;
};

}  // namespace pelc::test
