// Whole-file reads and atomic output replacement, on disk and in memory.
#include "source/file_system.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <utility>

namespace pelc {

FileError::FileError(Operation operation, std::string path, std::string cause)
    : std::runtime_error(cause),
      operation_(operation),
      path_(std::move(path)),
      cause_(std::move(cause)) {}

std::string describeFileError(const FileError& error) {
  static constexpr const char* kVerbs[] = {"open", "read", "write"};
  return std::string("pelc: cannot ") + kVerbs[static_cast<int>(error.operation())] + " " +
         error.path() + ": " + error.cause();
}

namespace {

/// Closes a descriptor on every path out of a scope.
class Descriptor {
 public:
  explicit Descriptor(int fd) : fd_(fd) {}
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  ~Descriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  int get() const { return fd_; }
  int release() { return std::exchange(fd_, -1); }

 private:
  int fd_;
};

std::string errnoText(int error) { return std::strerror(error); }

// Reads everything from fd into `bytes`; returns the errno of a failed read, or
// 0. A regular file is read straight into a buffer of its size.
int readAll(int fd, std::size_t expected, std::string& bytes) {
  bytes.resize(expected + 1);  // one more, to see whether the file grew meanwhile
  std::size_t filled = 0;
  for (;;) {
    if (filled == bytes.size()) bytes.resize(bytes.size() * 2 + (1 << 16));
    const ssize_t got = ::read(fd, bytes.data() + filled, bytes.size() - filled);
    if (got == 0) break;
    if (got < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    filled += static_cast<std::size_t>(got);
  }
  bytes.resize(filled);
  return 0;
}

// The bytes of fd, mapped when it is a large regular file (its pages are
// those of the page cache: nothing is copied or cleared), else read. Returns
// the errno of a failed read, or 0.
int takeBytes(int fd, SourceBytes& out) {
  struct stat status {};
  std::size_t expected = 0;
  if (::fstat(fd, &status) == 0 && S_ISREG(status.st_mode) && status.st_size > 0) {
    expected = static_cast<std::size_t>(status.st_size);
  }
  if (expected >= RealFileSystem::kMapThreshold) {
    void* data = ::mmap(nullptr, expected, PROT_READ, MAP_PRIVATE | MAP_POPULATE, fd, 0);
    if (data != MAP_FAILED) {
      out = SourceBytes(SourceBytes::Mapping(static_cast<const char*>(data), Unmapper{expected}));
      return 0;
    }
  }
  std::string bytes;
  if (const int error = readAll(fd, expected, bytes); error != 0) return error;
  out = SourceBytes(std::move(bytes));
  return 0;
}

bool isDirectory(int fd) {
  struct stat status {};
  return ::fstat(fd, &status) == 0 && S_ISDIR(status.st_mode);
}

class DiskOutputFile final : public OutputFile {
 public:
  /// Writes `temporary`, which replaces `replaced` on commit; failures name `target`.
  DiskOutputFile(TemporaryFiles& files, std::string target, std::string replaced,
                 std::string temporary, int fd)
      : files_(files),
        target_(std::move(target)),
        replaced_(std::move(replaced)),
        temporary_(std::move(temporary)),
        fd_(fd) {}
  ~DiskOutputFile() override {
    if (!committed_) files_.discard(temporary_);
  }

  void write(std::string_view bytes) override {
    while (!bytes.empty()) {
      const ssize_t put = ::write(fd_.get(), bytes.data(), bytes.size());
      if (put < 0) {
        if (errno == EINTR) continue;
        throw FileError(FileError::Operation::Write, target_, errnoText(errno));
      }
      bytes.remove_prefix(static_cast<std::size_t>(put));
      end_ += put;
    }
    startWriteBack();
  }

  void reserveFront(std::size_t size) override {
    if (::lseek(fd_.get(), static_cast<off_t>(size), SEEK_SET) < 0) {
      throw FileError(FileError::Operation::Write, target_, errnoText(errno));
    }
    front_ = static_cast<off_t>(size);
    end_ = front_;
    writtenBack_ = front_;
  }

  void fillFront(std::string_view bytes) override {
    off_t at = 0;
    while (!bytes.empty()) {
      const ssize_t put = ::pwrite(fd_.get(), bytes.data(), bytes.size(), at);
      if (put < 0) {
        if (errno == EINTR) continue;
        throw FileError(FileError::Operation::Write, target_, errnoText(errno));
      }
      bytes.remove_prefix(static_cast<std::size_t>(put));
      at += put;
    }
  }

  void copyTo(OutputFile& out) override;

  void commit() override {
    finishWriteBack();
    if (::close(fd_.release()) != 0) {
      throw FileError(FileError::Operation::Write, target_, errnoText(errno));
    }
    if (const int error = files_.renameTo(temporary_, replaced_); error != 0) {
      throw FileError(FileError::Operation::Write, target_, errnoText(error));
    }
    committed_ = true;
  }

 private:
  // Replacing a file makes the file system write the new one out before the
  // rename returns. Started early, beside the rest of the compile, that
  // writing no longer holds up the end of the run. Only a hint: a failure of
  // it shows in the writes and the close.
  void startWriteBack() {
#if defined(SYNC_FILE_RANGE_WRITE)
    if (end_ - writtenBack_ < kWriteBackStep) return;
    ::sync_file_range(fd_.get(), writtenBack_, end_ - writtenBack_, SYNC_FILE_RANGE_WRITE);
    writtenBack_ = end_;
#endif
  }

  // The last piece, and the head written into its room, are started before the
  // rename too, so that it has only the old file to release. Started for a small
  // file, whose whole write it would be, it would add a disk request instead.
  void finishWriteBack() {
#if defined(SYNC_FILE_RANGE_WRITE)
    if (writtenBack_ == front_) return;
    ::sync_file_range(fd_.get(), 0, 0, SYNC_FILE_RANGE_WRITE);
#endif
  }

  static constexpr off_t kWriteBackStep = off_t{4} << 20;

  TemporaryFiles& files_;
  std::string target_;
  std::string replaced_;  // target_, or the file its links lead to
  std::string temporary_;
  Descriptor fd_;
  off_t front_ = 0;
  off_t end_ = 0;  // where the next write goes
  off_t writtenBack_ = 0;
  bool committed_ = false;
};

// The kernel copies between two files on disk; any other target gets the
// bytes read back in chunks.
void DiskOutputFile::copyTo(OutputFile& out) {
  auto* disk = dynamic_cast<DiskOutputFile*>(&out);
  off_t offset = front_;
  while (disk != nullptr) {
    const ssize_t copied =
        ::copy_file_range(fd_.get(), &offset, disk->fd_.get(), nullptr, 1 << 30, 0);
    if (copied == 0) return;
    if (copied > 0) continue;
    if (errno == EINTR) continue;
    // Not offered between these files (old kernel, other file systems): read back instead.
    if (errno != EXDEV && errno != ENOSYS && errno != EINVAL && errno != EOPNOTSUPP) {
      throw FileError(FileError::Operation::Write, target_, errnoText(errno));
    }
    disk = nullptr;
  }
  std::string chunk(1 << 16, '\0');
  for (;;) {
    const ssize_t got = ::pread(fd_.get(), chunk.data(), chunk.size(), offset);
    if (got == 0) return;
    if (got < 0) {
      if (errno == EINTR) continue;
      throw FileError(FileError::Operation::Write, target_, errnoText(errno));
    }
    offset += got;
    out.write(std::string_view(chunk.data(), static_cast<std::size_t>(got)));
  }
}

}  // namespace

void Unmapper::operator()(const char* data) const { ::munmap(const_cast<char*>(data), size); }

SourceBytes RealFileSystem::readFile(const std::string& path) {
  Descriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
  if (fd.get() < 0) throw FileError(FileError::Operation::Open, path, errnoText(errno));
  SourceBytes bytes;
  if (const int error = takeBytes(fd.get(), bytes); error != 0) {
    throw FileError(FileError::Operation::Read, path, errnoText(error));
  }
  return bytes;
}

std::optional<SourceBytes> RealFileSystem::tryReadFile(const std::string& path) {
  Descriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
  if (fd.get() < 0 || isDirectory(fd.get())) return std::nullopt;
  SourceBytes bytes;
  if (takeBytes(fd.get(), bytes) != 0) return std::nullopt;
  return bytes;
}

bool RealFileSystem::canReadStatus(const std::string& path) {
  struct stat status {};
  return ::stat(path.c_str(), &status) == 0;
}

namespace {

/// The file that writing to `path` would write: `path` itself, or the file its
/// symbolic links lead to. Replacing the link instead would cut it off from
/// the file it names. Empty, with errno, for a loop of links.
std::string fileWrittenAt(const std::string& path) {
  constexpr int kMaxLinks = 40;  // as the kernel follows them
  std::string file = path;
  for (int links = 0; links <= kMaxLinks; ++links) {
    struct stat status {};
    if (::lstat(file.c_str(), &status) != 0 || !S_ISLNK(status.st_mode)) return file;
    std::string target(static_cast<std::size_t>(status.st_size) + 1, '\0');
    const ssize_t length = ::readlink(file.c_str(), target.data(), target.size());
    if (length < 0 || static_cast<std::size_t>(length) >= target.size()) return file;
    target.resize(static_cast<std::size_t>(length));
    const std::size_t slash = file.rfind('/');
    file = target.starts_with('/') || slash == std::string::npos
               ? target
               : file.substr(0, slash + 1) + target;
  }
  errno = ELOOP;
  return {};
}

}  // namespace

std::unique_ptr<OutputFile> RealFileSystem::createReplacement(const std::string& path) {
  const std::string target = fileWrittenAt(path);
  if (target.empty()) throw FileError(FileError::Operation::Write, path, errnoText(errno));
  std::string temporary = target + ".XXXXXX";
  int fd = temporaryFiles_.create(temporary);
  if (fd < 0 && errno == ENAMETOOLONG) {
    // A name within a few characters of the longest allowed one is still an output's name.
    temporary = target.substr(0, target.rfind('/') + 1) + "pelc.XXXXXX";
    fd = temporaryFiles_.create(temporary);
  }
  if (fd < 0) throw FileError(FileError::Operation::Write, path, errnoText(errno));
  // An output written anew keeps the permissions the old one had.
  struct stat old {};
  if (::stat(target.c_str(), &old) == 0 && S_ISREG(old.st_mode)) ::fchmod(fd, old.st_mode & 07777);
  try {
    return std::make_unique<DiskOutputFile>(temporaryFiles_, path, target, temporary, fd);
  } catch (...) {
    ::close(fd);
    temporaryFiles_.discard(temporary);
    throw;
  }
}

namespace {

class MemoryOutputFile final : public OutputFile {
 public:
  MemoryOutputFile(std::map<std::string, std::string>& files, std::string target)
      : files_(files), target_(std::move(target)) {}
  void write(std::string_view bytes) override { bytes_.append(bytes); }
  void reserveFront(std::size_t size) override {
    bytes_.assign(size, '\0');
    front_ = size;
  }
  void fillFront(std::string_view bytes) override { bytes_.replace(0, front_, bytes); }
  void copyTo(OutputFile& out) override { out.write(std::string_view(bytes_).substr(front_)); }
  void commit() override { files_[target_] = std::move(bytes_); }

 private:
  std::map<std::string, std::string>& files_;
  std::string target_;
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

std::unique_ptr<OutputFile> MemoryFileSystem::createReplacement(const std::string& path) {
  if (directories_.count(path) != 0) {
    throw FileError(FileError::Operation::Write, path, errnoText(EISDIR));
  }
  return std::make_unique<MemoryOutputFile>(files_, path);
}

}  // namespace pelc
