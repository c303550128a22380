// Failures of the file facility, and the in-memory file system of the tests.
#include "source/file_system.h"

#include <cerrno>
#include <cstring>
#include <functional>
#include <utility>

namespace pelc {

FileError::FileError(Operation operation, std::string path, std::string cause)
    : std::runtime_error(cause),
      operation_(operation),
      path_(std::move(path)),
      cause_(std::move(cause)) {}

std::string describeFileError(const FileError& error) {
  static constexpr const char* kVerbs[] = {"open", "read", "write"};
  return std::string("cannot ") + kVerbs[static_cast<int>(error.operation())] + " " +
         error.path() + ": " + error.cause();
}

namespace {

std::string errnoText(int error) { return std::strerror(error); }

class MemoryOutputFile final : public OutputFile {
 public:
  using Commit = std::function<void(std::string bytes)>;
  explicit MemoryOutputFile(Commit commit) : commit_(std::move(commit)) {}
  void write(std::string_view bytes) override { bytes_.append(bytes); }
  void reserveFront(std::size_t size) override {
    bytes_.assign(size, '\0');
    front_ = size;
  }
  void fillFront(std::string_view bytes) override { bytes_.replace(0, front_, bytes); }
  void copyTo(OutputFile& out) override { out.write(std::string_view(bytes_).substr(front_)); }
  void commit() override { commit_(std::move(bytes_)); }

 private:
  Commit commit_;
  std::string bytes_;
  std::size_t front_ = 0;
};

}  // namespace

SourceBytes MemoryFileSystem::readFile(const std::string& path) {
  if (directories_.count(path) != 0) {
    throw FileError(FileError::Operation::Read, path, errnoText(EISDIR));
  }
  const auto found = files_.find(path);
  if (found == files_.end()) throw FileError(FileError::Operation::Open, path, errnoText(ENOENT));
  return SourceBytes(found->second);
}

std::optional<SourceBytes> MemoryFileSystem::tryReadFile(const std::string& path) {
  const auto found = files_.find(path);
  if (found == files_.end()) return std::nullopt;
  return SourceBytes(found->second);
}

bool MemoryFileSystem::canReadStatus(const std::string& path) {
  return files_.count(path) != 0 || directories_.count(path) != 0;
}

std::optional<FileTime> MemoryFileSystem::modificationTime(const std::string& path) {
  const auto found = times_.find(path);
  if (found == times_.end()) return std::nullopt;
  return FileTime{found->second, 0};
}

std::unique_ptr<OutputFile> MemoryFileSystem::createReplacement(const std::string& path) {
  if (directories_.count(path) != 0) {
    throw FileError(FileError::Operation::Write, path, errnoText(EISDIR));
  }
  return std::make_unique<MemoryOutputFile>([this, path](std::string bytes) {
    files_[path] = std::move(bytes);
    setModificationTime(path, latest_ + 1);
  });
}

}  // namespace pelc