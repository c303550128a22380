// The machine's file system on Windows: whole-file reads and atomic output replacement.
// Names go to the ANSI functions as the bytes they are, as the command line and
// the sources gave them.
#define NOMINMAX
#define WIN32_LEAN_AND_MEAN
#include "source/file_system.h"

#include <windows.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <utility>

#include "source/streamed_output_file.h"
#include "source/windows_errors.h"

namespace pelc {

namespace {

/// Closes a handle on every path out of a scope.
class Handle {
 public:
  explicit Handle(HANDLE handle) : handle_(handle) {}
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  ~Handle() { close(); }
  HANDLE get() const { return handle_; }
  bool valid() const { return handle_ != INVALID_HANDLE_VALUE; }
  HANDLE release() { return std::exchange(handle_, INVALID_HANDLE_VALUE); }
  /// Closes the handle now; false when the system reports a failure.
  bool close() { return !valid() || ::CloseHandle(std::exchange(handle_, INVALID_HANDLE_VALUE)); }

 private:
  HANDLE handle_;
};

// The largest piece one ReadFile or WriteFile call takes.
constexpr std::size_t kMaxPiece = std::size_t{1} << 30;

FileError systemError(FileError::Operation operation, const std::string& path) {
  return FileError(operation, path, describeSystemError(::GetLastError()));
}

FileError errnoError(FileError::Operation operation, const std::string& path, int error) {
  return FileError(operation, path, std::strerror(error));
}

/// The attributes of the file at `path`; INVALID_FILE_ATTRIBUTES when there is none.
DWORD attributesOf(const std::string& path) { return ::GetFileAttributesA(path.c_str()); }

bool isDirectoryAttributes(DWORD attributes) {
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

void writeAll(HANDLE file, std::string_view bytes, const std::string& target) {
  while (!bytes.empty()) {
    const auto piece = static_cast<DWORD>(std::min(bytes.size(), kMaxPiece));
    DWORD put = 0;
    if (!::WriteFile(file, bytes.data(), piece, &put, nullptr)) {
      throw systemError(FileError::Operation::Write, target);
    }
    bytes.remove_prefix(put);
  }
}

std::int64_t moveTo(HANDLE file, std::int64_t offset, DWORD from, const std::string& target) {
  LARGE_INTEGER distance{};
  distance.QuadPart = offset;
  LARGE_INTEGER reached{};
  if (!::SetFilePointerEx(file, distance, &reached, from)) {
    throw systemError(FileError::Operation::Write, target);
  }
  return reached.QuadPart;
}

/// The name of a temporary file beside `target`: the target's own with seven
/// characters more, or a short one where that would be longer than allowed.
std::string temporaryPattern(const std::string& target, bool shortName) {
  if (!shortName) return target + ".XXXXXX";
  // Kept: the folder, and the drive of a name such as "C:x.pml".
  return target.substr(0, target.find_last_of("/\\:") + 1) + "pelc.XXXXXX";
}

HANDLE makeTemporary(TemporaryFiles& files, const std::string& target, std::string& temporary) {
  temporary = temporaryPattern(target, false);
  const HANDLE file = files.create(temporary);
  if (file != INVALID_HANDLE_VALUE || errno != ENAMETOOLONG) return file;
  temporary = temporaryPattern(target, true);
  return files.create(temporary);
}

class DiskOutputFile final : public OutputFile {
 public:
  /// Writes `temporary`, which replaces `target` on commit.
  DiskOutputFile(TemporaryFiles& files, std::string target, std::string temporary, HANDLE file)
      : files_(files), target_(std::move(target)), temporary_(std::move(temporary)), file_(file) {}
  ~DiskOutputFile() override {
    if (committed_) return;
    // An open file cannot go at once.
    file_.close();
    files_.discard(temporary_);
  }

  void write(std::string_view bytes) override { writeAll(file_.get(), bytes, target_); }

  void reserveFront(std::size_t size) override {
    front_ = moveTo(file_.get(), static_cast<std::int64_t>(size), FILE_BEGIN, target_);
  }

  void fillFront(std::string_view bytes) override {
    const std::int64_t end = moveTo(file_.get(), 0, FILE_CURRENT, target_);
    moveTo(file_.get(), 0, FILE_BEGIN, target_);
    writeAll(file_.get(), bytes, target_);
    moveTo(file_.get(), end, FILE_BEGIN, target_);
  }

  void copyTo(OutputFile& out) override {
    const std::int64_t end = moveTo(file_.get(), 0, FILE_CURRENT, target_);
    moveTo(file_.get(), front_, FILE_BEGIN, target_);
    std::string chunk(std::size_t{1} << 16, '\0');
    for (;;) {
      DWORD got = 0;
      if (!::ReadFile(file_.get(), chunk.data(), static_cast<DWORD>(chunk.size()), &got, nullptr)) {
        throw systemError(FileError::Operation::Write, target_);
      }
      if (got == 0) break;
      out.write(std::string_view(chunk.data(), got));
    }
    moveTo(file_.get(), end, FILE_BEGIN, target_);
  }

  void commit() override {
    if (!file_.close()) throw systemError(FileError::Operation::Write, target_);
    if (const int error = files_.renameTo(temporary_, target_); error != 0) {
      throw errnoError(FileError::Operation::Write, target_, error);
    }
    committed_ = true;
  }

 private:
  TemporaryFiles& files_;
  std::string target_;
  std::string temporary_;
  Handle file_;
  std::int64_t front_ = 0;
  bool committed_ = false;
};

/// An output that is not a file on disk (the console, NUL, a serial port).
class InPlaceOutputFile final : public StreamedOutputFile {
 public:
  InPlaceOutputFile(std::string target, HANDLE file) : target_(std::move(target)), file_(file) {}

 private:
  void put(std::string_view bytes) override { writeAll(file_.get(), bytes, target_); }
  void close() override {
    if (!file_.close()) throw systemError(FileError::Operation::Write, target_);
  }

  std::string target_;
  Handle file_;
};

/// Reads `file` from where it stands to its end.
SourceBytes readAll(HANDLE file, const std::string& path) {
  LARGE_INTEGER size{};
  const std::size_t expected =
      ::GetFileSizeEx(file, &size) && size.QuadPart > 0 ? static_cast<std::size_t>(size.QuadPart) : 0;
  // One byte more than expected, to see at once whether the file grew meanwhile.
  std::size_t capacity = expected + 1;
  SourceBytes::Buffer data(new char[capacity]);
  std::size_t filled = 0;
  for (;;) {
    if (filled == capacity) {
      const std::size_t larger = capacity * 2 + (std::size_t{1} << 16);
      SourceBytes::Buffer grown(new char[larger]);
      std::memcpy(grown.get(), data.get(), filled);
      data = std::move(grown);
      capacity = larger;
    }
    DWORD got = 0;
    const auto piece = static_cast<DWORD>(std::min(capacity - filled, kMaxPiece));
    if (!::ReadFile(file, data.get() + filled, piece, &got, nullptr)) {
      throw systemError(FileError::Operation::Read, path);
    }
    if (got == 0) break;
    filled += got;
  }
  return SourceBytes(std::move(data), filled);
}

/// Opens a source for reading; others may read it meanwhile but not write it.
HANDLE openSource(const std::string& path) {
  return ::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                       FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
}

// Seconds between 1601-01-01, where file times count from, and 1970-01-01.
constexpr std::int64_t kEpochDifference = 11644473600;

FileTime fromFileTime(const FILETIME& time) {
  const std::int64_t ticks =
      static_cast<std::int64_t>((static_cast<std::uint64_t>(time.dwHighDateTime) << 32) |
                                time.dwLowDateTime);  // of 100 ns
  return FileTime{ticks / 10000000 - kEpochDifference, ticks % 10000000 * 100};
}

}  // namespace

void BufferRelease::operator()(char* data) const { delete[] data; }

SourceBytes RealFileSystem::readFile(const std::string& path) {
  // Windows refuses to open a folder at all; other systems open it and fail the read.
  if (isDirectoryAttributes(attributesOf(path))) {
    throw errnoError(FileError::Operation::Read, path, EISDIR);
  }
  Handle file(openSource(path));
  if (!file.valid()) throw systemError(FileError::Operation::Open, path);
  return readAll(file.get(), path);
}

std::optional<SourceBytes> RealFileSystem::tryReadFile(const std::string& path) {
  if (isDirectoryAttributes(attributesOf(path))) return std::nullopt;
  Handle file(openSource(path));
  if (!file.valid()) return std::nullopt;
  try {
    return readAll(file.get(), path);
  } catch (const FileError&) {
    return std::nullopt;
  }
}

bool RealFileSystem::canReadStatus(const std::string& path) {
  return attributesOf(path) != INVALID_FILE_ATTRIBUTES;
}

std::optional<FileTime> RealFileSystem::modificationTime(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!::GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return std::nullopt;
  return fromFileTime(data.ftLastWriteTime);
}

std::unique_ptr<OutputFile> RealFileSystem::createReplacement(const std::string& path) {
  const DWORD attributes = attributesOf(path);
  if (!isDirectoryAttributes(attributes)) {
    // Devices (CON, NUL) have no attributes to show; opening the name tells them apart.
    Handle existing(::CreateFileA(path.c_str(), GENERIC_WRITE,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (existing.valid() && ::GetFileType(existing.get()) != FILE_TYPE_DISK) {
      return std::make_unique<InPlaceOutputFile>(path, existing.release());
    }
    // A file that cannot be written itself (read-only, or held by a program
    // that shares it with no writer) is not replaced either.
    if (!existing.valid() && attributes != INVALID_FILE_ATTRIBUTES) {
      throw systemError(FileError::Operation::Write, path);
    }
  }
  return createTemporary(path, path);
}

std::unique_ptr<OutputFile> RealFileSystem::createTemporary(const std::string& path,
                                                            const std::string& target) {
  std::string temporary;
  const HANDLE file = makeTemporary(temporaryFiles_, target, temporary);
  if (file == INVALID_HANDLE_VALUE) throw errnoError(FileError::Operation::Write, path, errno);
  try {
    return std::make_unique<DiskOutputFile>(temporaryFiles_, path, temporary, file);
  } catch (...) {
    ::CloseHandle(file);
    temporaryFiles_.discard(temporary);
    throw;
  }
}

}  // namespace pelc
