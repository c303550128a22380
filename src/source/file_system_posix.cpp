// The machine's file system on POSIX systems: whole-file reads and atomic output replacement.
#include "source/file_system.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <new>
#include <utility>

#include "source/streamed_output_file.h"

namespace pelc {

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

std::size_t regularFileSize(int fd) {
  struct stat status {};
  if (::fstat(fd, &status) == 0 && S_ISREG(status.st_mode) && status.st_size > 0) {
    return static_cast<std::size_t>(status.st_size);
  }
  return 0;
}

bool isDirectory(int fd) {
  struct stat status {};
  return ::fstat(fd, &status) == 0 && S_ISDIR(status.st_mode);
}

/// The name of a temporary file beside `target`: the target's own with six
/// characters more, or a short one where that would be longer than allowed.
std::string temporaryPattern(const std::string& target, bool shortName) {
  return shortName ? target.substr(0, target.rfind('/') + 1) + "pelc.XXXXXX" : target + ".XXXXXX";
}

/// Makes a temporary file's name with `make` (TemporaryFiles::create or link);
/// a name within a few characters of the longest allowed one is still an
/// output's name, so a short one is tried then. Returns what `make` returned.
template <typename Make>
int makeTemporaryName(const std::string& target, std::string& temporary, Make make) {
  temporary = temporaryPattern(target, false);
  const int result = make(temporary);
  if (result >= 0 || errno != ENAMETOOLONG) return result;
  temporary = temporaryPattern(target, true);
  return make(temporary);
}

/// Writes every byte, at offset `at` when one is given, else where the file
/// stands; a failure names `target`.
void writeFully(int fd, std::string_view bytes, const std::string& target,
                std::optional<off_t> at = std::nullopt) {
  while (!bytes.empty()) {
    const ssize_t put = at ? ::pwrite(fd, bytes.data(), bytes.size(), *at)
                           : ::write(fd, bytes.data(), bytes.size());
    if (put < 0) {
      if (errno == EINTR) continue;
      throw FileError(FileError::Operation::Write, target, errnoText(errno));
    }
    bytes.remove_prefix(static_cast<std::size_t>(put));
    if (at) *at += put;
  }
}

class DiskOutputFile final : public OutputFile {
 public:
  /// Writes `temporary`, which replaces `replaced` on commit; failures name
  /// `target`. An empty `temporary` is a file that gets its name at commit.
  DiskOutputFile(TemporaryFiles& files, std::string target, std::string replaced,
                 std::string temporary, int fd)
      : files_(files),
        target_(std::move(target)),
        replaced_(std::move(replaced)),
        temporary_(std::move(temporary)),
        fd_(fd) {}
  ~DiskOutputFile() override {
    if (!committed_ && !temporary_.empty()) files_.discard(temporary_);
  }

  void write(std::string_view bytes) override {
    writeFully(fd_.get(), bytes, target_);
    end_ += static_cast<off_t>(bytes.size());
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

  void fillFront(std::string_view bytes) override { writeFully(fd_.get(), bytes, target_, 0); }

  void copyTo(OutputFile& out) override;

  void commit() override {
    finishWriteBack();
    if (temporary_.empty()) nameUnnamedFile();
    if (::close(fd_.release()) != 0) {
      throw FileError(FileError::Operation::Write, target_, errnoText(errno));
    }
    if (const int error = files_.renameTo(temporary_, replaced_); error != 0) {
      throw FileError(FileError::Operation::Write, target_, errnoText(error));
    }
    committed_ = true;
  }

 private:
  // Linked under a temporary name first, since a link cannot replace a file;
  // the rename then replaces the output as it does a named temporary file.
  void nameUnnamedFile() {
    std::string name;
    const auto link = [this](std::string& pattern) { return files_.link(fd_.get(), pattern); };
    if (makeTemporaryName(replaced_, name, link) != 0) {
      throw FileError(FileError::Operation::Write, target_, errnoText(errno));
    }
    temporary_ = std::move(name);
  }

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

/// An output that is not a regular file.
class InPlaceOutputFile final : public StreamedOutputFile {
 public:
  InPlaceOutputFile(std::string target, int fd) : target_(std::move(target)), fd_(fd) {}

 private:
  void put(std::string_view bytes) override { writeFully(fd_.get(), bytes, target_); }
  void close() override {
    if (::close(fd_.release()) != 0) {
      throw FileError(FileError::Operation::Write, target_, errnoText(errno));
    }
  }

  std::string target_;
  Descriptor fd_;
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

void BufferRelease::operator()(char* data) const {
  if (mapped == 0) {
    delete[] data;
  } else {
    ::munmap(data, mapped);
  }
}

namespace {

// Fresh memory costs a page fault per page on first touch, which made reading
// a large source into memory several times slower than mapping the file; the
// system's large pages take one fault per 2 MB instead.
SourceBytes::Buffer allocateSource(std::size_t size) {
  constexpr std::size_t kLargePage = std::size_t{2} << 20;
  if (size < kLargePage) return SourceBytes::Buffer(new char[size]);
  const std::size_t mapped = (size + kLargePage - 1) / kLargePage * kLargePage;
  // Large pages start at a multiple of their size: the room around one such start is cut off.
  void* room = ::mmap(nullptr, mapped + kLargePage, PROT_READ | PROT_WRITE,
                      MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (room == MAP_FAILED) throw std::bad_alloc();
  char* const first = static_cast<char*>(room);
  const std::size_t before = (kLargePage - reinterpret_cast<std::uintptr_t>(first) % kLargePage) %
                             kLargePage;
  if (before != 0) ::munmap(first, before);
  ::munmap(first + before + mapped, kLargePage - before);
  char* const data = first + before;
#if defined(MADV_HUGEPAGE)
  ::madvise(data, mapped, MADV_HUGEPAGE);
#endif
  return SourceBytes::Buffer(data, BufferRelease{mapped});
}

}  // namespace

SourceBytes readToEnd(int fd, std::size_t expected, const std::string& path) {
  // One byte more than expected, to see at once whether the file grew meanwhile.
  std::size_t capacity = expected + 1;
  SourceBytes::Buffer data = allocateSource(capacity);
  std::size_t filled = 0;
  for (;;) {
    if (filled == capacity) {
      const std::size_t larger = capacity * 2 + (std::size_t{1} << 16);
      SourceBytes::Buffer grown = allocateSource(larger);
      std::memcpy(grown.get(), data.get(), filled);
      data = std::move(grown);
      capacity = larger;
    }
    const ssize_t got = ::read(fd, data.get() + filled, capacity - filled);
    if (got == 0) break;
    if (got < 0) {
      if (errno == EINTR) continue;
      throw FileError(FileError::Operation::Read, path, errnoText(errno));
    }
    filled += static_cast<std::size_t>(got);
  }
  return SourceBytes(std::move(data), filled);
}

SourceBytes RealFileSystem::readFile(const std::string& path) {
  Descriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
  if (fd.get() < 0) throw FileError(FileError::Operation::Open, path, errnoText(errno));
  return readToEnd(fd.get(), regularFileSize(fd.get()), path);
}

std::optional<SourceBytes> RealFileSystem::tryReadFile(const std::string& path) {
  Descriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
  if (fd.get() < 0 || isDirectory(fd.get())) return std::nullopt;
  try {
    return readToEnd(fd.get(), regularFileSize(fd.get()), path);
  } catch (const FileError&) {
    return std::nullopt;
  }
}

bool RealFileSystem::canReadStatus(const std::string& path) {
  struct stat status {};
  return ::stat(path.c_str(), &status) == 0;
}

std::optional<FileTime> RealFileSystem::modificationTime(const std::string& path) {
  struct stat status {};
  if (::stat(path.c_str(), &status) != 0) return std::nullopt;
  return FileTime{status.st_mtim.tv_sec, status.st_mtim.tv_nsec};
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
  struct stat existing {};
  if (::stat(target.c_str(), &existing) == 0 && !S_ISDIR(existing.st_mode)) {
    if (!S_ISREG(existing.st_mode)) {
      const int fd = ::open(target.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY);
      if (fd < 0) throw FileError(FileError::Operation::Write, path, errnoText(errno));
      return std::make_unique<InPlaceOutputFile>(path, fd);
    }
    // A rename needs leave of the folder alone; writing the file itself would
    // have needed leave of the file, and a file its owner protects stays.
    if (::faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) != 0) {
      throw FileError(FileError::Operation::Write, path, errnoText(errno));
    }
  }
  return createTemporary(path, target);
}

std::unique_ptr<OutputFile> RealFileSystem::createTemporary(const std::string& path,
                                                            const std::string& target) {
  std::string temporary;  // stays empty while the file has no name
  const std::size_t slash = target.rfind('/');
  int fd = TemporaryFiles::createUnnamed(slash == std::string::npos ? "." : target.substr(0, slash + 1));
  if (fd < 0) {
    const auto create = [this](std::string& pattern) { return temporaryFiles_.create(pattern); };
    fd = makeTemporaryName(target, temporary, create);
  }
  if (fd < 0) throw FileError(FileError::Operation::Write, path, errnoText(errno));
  // An output written anew keeps the permissions the old one had.
  struct stat old {};
  if (::stat(target.c_str(), &old) == 0 && S_ISREG(old.st_mode)) ::fchmod(fd, old.st_mode & 07777);
  try {
    return std::make_unique<DiskOutputFile>(temporaryFiles_, path, target, temporary, fd);
  } catch (...) {
    ::close(fd);
    if (!temporary.empty()) temporaryFiles_.discard(temporary);
    throw;
  }
}

}  // namespace pelc
