// The floor for a compile that changes nothing: the source copied through with CR LF line ends.
//
//   bench_copy <input>
// writes <input minus extension>.pml beside the input, as pelc does: the whole source is read
// into memory, each LF not already after a CR becomes CR LF, and the output goes into a
// temporary file in its directory that is then renamed over it. bench/run.sh times pelc
// against it on sources that pelc copies through.
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <utility>

namespace {

[[noreturn]] void fail(const std::string& what) {
  std::perror(("bench_copy: " + what).c_str());
  std::exit(1);
}

// Writes in blocks of the buffer's size and starts the output's write-back as it grows.
class BufferedWriter {
 public:
  BufferedWriter(int fd, std::string name) : fd_(fd), name_(std::move(name)) {}

  void append(const char* bytes, std::size_t length) {
    while (length > 0) {
      const std::size_t part = std::min(length, kSize - used_);
      std::memcpy(buffer_.get() + used_, bytes, part);
      used_ += part;
      bytes += part;
      length -= part;
      if (used_ == kSize) flush();
    }
  }

  void flush() {
    for (std::size_t done = 0; done < used_;) {
      const ssize_t wrote = ::write(fd_, buffer_.get() + done, used_ - done);
      if (wrote < 0) fail("write " + name_);
      done += static_cast<std::size_t>(wrote);
    }
    written_ += used_;
    used_ = 0;
    // Replacing a file makes the rename wait until the new one is on the disk; the compiler
    // starts that writing while it goes on, and so does the floor.
    if (written_ - writtenBack_ >= kWriteBackStep) {
      ::sync_file_range(fd_, writtenBack_, written_ - writtenBack_, SYNC_FILE_RANGE_WRITE);
      writtenBack_ = written_;
    }
  }

  /// Writes what is left and starts the write-back of the rest before the rename.
  void finish() {
    flush();
    if (writtenBack_ != 0) ::sync_file_range(fd_, 0, 0, SYNC_FILE_RANGE_WRITE);
  }

 private:
  static constexpr std::size_t kSize = 64 * 1024;
  static constexpr off_t kWriteBackStep = off_t{4} << 20;
  std::unique_ptr<char[]> buffer_ = std::make_unique_for_overwrite<char[]>(kSize);
  std::size_t used_ = 0;
  off_t written_ = 0;
  off_t writtenBack_ = 0;
  int fd_;
  std::string name_;
};

// A page fault per 4 KB page of fresh memory costs more than reading the file does; the
// compiler reads a large source into large pages for that reason, and so does the floor.
char* allocateSource(std::size_t size) {
  constexpr std::size_t kLargePage = std::size_t{2} << 20;
  const std::size_t pages = std::max((size + kLargePage - 1) / kLargePage, std::size_t{1});
  const std::size_t rounded = pages * kLargePage;
  char* const data = static_cast<char*>(std::aligned_alloc(kLargePage, rounded));
  if (data == nullptr) fail("allocate");
  ::madvise(data, rounded, MADV_HUGEPAGE);
  return data;
}

// The buffer lives until the process ends.
const char* readWhole(const std::string& path, std::size_t& size) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  struct stat status {};
  if (fd < 0 || ::fstat(fd, &status) != 0) fail("open " + path);
  const auto capacity = static_cast<std::size_t>(status.st_size);
  char* const bytes = allocateSource(capacity);
  for (size = 0; size < capacity;) {
    const ssize_t got = ::read(fd, bytes + size, capacity - size);
    if (got < 0) fail("read " + path);
    if (got == 0) break;
    size += static_cast<std::size_t>(got);
  }
  ::close(fd);
  return bytes;
}

void copyWithCrLf(const char* begin, const char* end, BufferedWriter& out) {
  const char* run = begin;
  while (const char* lf = static_cast<const char*>(std::memchr(run, '\n', end - run))) {
    if (lf > begin && lf[-1] == '\r') {
      out.append(run, lf + 1 - run);
    } else {
      out.append(run, lf - run);
      out.append("\r\n", 2);
    }
    run = lf + 1;
  }
  out.append(run, end - run);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fputs("usage: bench_copy <input>\n", stderr);
    return 2;
  }
  const std::string input = argv[1];
  const std::string output = std::filesystem::path(input).replace_extension(".pml").string();
  std::size_t size = 0;
  const char* const source = readWhole(input, size);

  const std::filesystem::path directory = std::filesystem::path(output).parent_path();
  const std::string temporary = directory / (".bench_copy." + std::to_string(::getpid()));
  const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  if (fd < 0) fail("create " + temporary);
  BufferedWriter out(fd, temporary);
  copyWithCrLf(source, source + size, out);
  out.finish();
  if (::close(fd) != 0 || ::rename(temporary.c_str(), output.c_str()) != 0) {
    ::unlink(temporary.c_str());
    fail("replace " + output);
  }
  return 0;
}
