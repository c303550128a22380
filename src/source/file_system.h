// The only door to the disk: whole-file reads, status checks and atomic
// replacement of output files.
#pragma once

#include <algorithm>
#include <compare>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

#include "source/source_bytes.h"
#include "source/temporary_files.h"

namespace pelc {

/// A failure of the file facility; shown as one line naming the file and the
/// cause, never as a numbered message.
class FileError : public std::runtime_error {
 public:
  enum class Operation { Open, Read, Write };
  FileError(Operation operation, std::string path, std::string cause);

  Operation operation() const { return operation_; }
  const std::string& path() const { return path_; }
  const std::string& cause() const { return cause_; }

 private:
  Operation operation_;
  std::string path_;
  std::string cause_;
};

/// The text of a FileError's report, "cannot <verb> <path>: <cause>"; the
/// message formats put the program's name before it.
std::string describeFileError(const FileError& error);

/// When a file was last changed, to the nanosecond where the system keeps it.
struct FileTime {
  std::int64_t seconds = 0;
  std::int64_t nanoseconds = 0;
  auto operator<=>(const FileTime&) const = default;
};

/// Where bytes go, one piece after the other.
class ByteSink {
 public:
  virtual ~ByteSink() = default;
  virtual void write(std::string_view bytes) = 0;
};

/// An output file being written beside its target. Nothing replaces the
/// target until commit(); dropping an uncommitted file removes it.
class OutputFile : public ByteSink {
 public:
  /// Leaves the first `size` bytes of the file for fillFront(): what is
  /// written goes behind them. Only before anything is written.
  virtual void reserveFront(std::size_t size) = 0;
  /// Puts `bytes`, as long as the reserved front, there.
  virtual void fillFront(std::string_view bytes) = 0;
  /// Writes everything written so far behind the reserved front into `out`:
  /// a body written before its head was known moves behind the head this way.
  virtual void copyTo(OutputFile& out) = 0;
  /// Moves the written bytes over the target; throws FileError on failure.
  virtual void commit() = 0;
};

/// Abstract so that includes, CHAIN targets and write failures can be tested
/// on an in-memory tree.
class FileSystem {
 public:
  virtual ~FileSystem() = default;
  /// The whole file; throws FileError (Open or Read).
  virtual SourceBytes readFile(const std::string& path) = 0;
  /// The whole file, or nothing when it cannot be opened or is a directory.
  virtual std::optional<SourceBytes> tryReadFile(const std::string& path) = 0;
  /// Whether the file's status can be read at all.
  virtual bool canReadStatus(const std::string& path) = 0;
  /// When the file (or what its links lead to) was last changed; nothing when
  /// its status cannot be read.
  virtual std::optional<FileTime> modificationTime(const std::string& path) = 0;
  /// Starts a replacement of the file at path; throws FileError (Write).
  virtual std::unique_ptr<OutputFile> createReplacement(const std::string& path) = 0;
  /// A replacement may stay half-written for longer than an instant from now
  /// on: a large output is about to go to its file, or a thread that writes is
  /// about to start. The first call comes from the main thread, before either;
  /// later ones, from any thread, change nothing.
  virtual void expectLongWrite() {}
};

#if !defined(_WIN32)
/// Reads the open file `fd` from where it stands to its end into memory of
/// its own. `expected` is the size the file had when it was looked at: one
/// that shrank or grew since is read to its actual end. Throws FileError
/// (Read) naming `path`.
SourceBytes readToEnd(int fd, std::size_t expected, const std::string& path);
#endif

/// The machine's own file system. An output that is a regular file (or not
/// there yet) is replaced as a whole through a file of its own, which gets a
/// name only when it is complete; anything else (a device, a pipe) is written
/// in place, as writing to it would.
class RealFileSystem final : public FileSystem {
 public:
  /// The replacement files being written, for a cleanup when the run is interrupted.
  TemporaryFiles& temporaryFiles() { return temporaryFiles_; }
  /// Armed by expectLongWrite(); none by default.
  void setInterruptGuard(InterruptGuard* guard) { guard_ = guard; }

  SourceBytes readFile(const std::string& path) override;
  std::optional<SourceBytes> tryReadFile(const std::string& path) override;
  bool canReadStatus(const std::string& path) override;
  std::optional<FileTime> modificationTime(const std::string& path) override;
  std::unique_ptr<OutputFile> createReplacement(const std::string& path) override;
  void expectLongWrite() override {
    if (guard_ != nullptr) guard_->arm();
  }

 private:
  std::unique_ptr<OutputFile> createTemporary(const std::string& path, const std::string& target);

  TemporaryFiles temporaryFiles_;
  InterruptGuard* guard_ = nullptr;
};

/// A tree of files in memory; directories are named explicitly.
class MemoryFileSystem final : public FileSystem {
 public:
  void addFile(const std::string& path, std::string bytes) { files_[path] = std::move(bytes); }
  void addDirectory(const std::string& path) { directories_[path] = true; }
  const std::map<std::string, std::string>& files() const { return files_; }
  /// A file's time is known only once set here; an output written later is
  /// newer than every time set so far.
  void setModificationTime(const std::string& path, std::int64_t seconds) {
    times_[path] = seconds;
    latest_ = std::max(latest_, seconds);
  }

  SourceBytes readFile(const std::string& path) override;
  std::optional<SourceBytes> tryReadFile(const std::string& path) override;
  bool canReadStatus(const std::string& path) override;
  std::optional<FileTime> modificationTime(const std::string& path) override;
  std::unique_ptr<OutputFile> createReplacement(const std::string& path) override;

 private:
  std::map<std::string, std::string> files_;
  std::map<std::string, bool> directories_;
  std::map<std::string, std::int64_t> times_;
  std::int64_t latest_ = 0;
};

}  // namespace pelc
