// The replacement files that stand beside their targets while a run writes them.
#pragma once

#include <functional>
#include <mutex>
#include <random>
#include <string>
#include <vector>

namespace pelc {

#if defined(_WIN32)
/// An open file: a HANDLE, INVALID_HANDLE_VALUE for none.
using FileHandle = void*;
#else
/// An open file: a descriptor, -1 for none.
using FileHandle = int;
#endif

/// Makes interrupts safe for the replacement files written from then on.
class InterruptGuard {
 public:
  /// Called on the main thread before a replacement may stay half-written for
  /// longer than an instant, and before it starts any thread that writes one.
  virtual void arm() = 0;

 protected:
  ~InterruptGuard() = default;
};

/// Creates, renames and removes the files that replace outputs, and knows which
/// of them exist, so that an interrupted run can remove what it leaves behind.
/// Each step holds the lock for its system call as well: a cleanup then never
/// sees a file made but not yet known, nor one renamed but still known.
class TemporaryFiles {
 public:
  /// Creates a new file from `pattern`, whose last six characters are "XXXXXX"
  /// and become the file's own name; returns it open for reading and writing,
  /// or none with errno. The file gets the permissions that creating any file
  /// would give it (the umask applies), since it becomes the output.
  FileHandle create(std::string& pattern);
  /// Opens a file in `directory` that has no name yet, so that nothing is left
  /// behind if the process dies before link() names it; returns its
  /// descriptor, or -1 with errno where the file system offers no such files.
  /// Permissions as for create().
  static int createUnnamed(const std::string& directory);
  /// Gives the unnamed file `fd` a name made from `pattern` as create() does;
  /// returns 0, or -1 with errno.
  int link(int fd, std::string& pattern);
  /// Renames the file at `path` to `target`; returns 0 or the errno.
  int renameTo(const std::string& path, const std::string& target);
  /// Removes the file at `path`, which a failed or abandoned write leaves.
  void discard(const std::string& path);
  /// Removes every file still known: the run is being interrupted.
  void removeAll();

 private:
  /// Makes a file under a name: returns 0 or more, or -1 with errno.
  using Make = std::function<int(const std::string& name)>;
  /// Makes a file under a fresh name from `pattern` with `make`, known from
  /// before it exists; returns what `make` returned.
  int remember(std::string& pattern, const Make& make);
  /// Tries `make` with fresh names for the six last characters of `path`
  /// until one is not taken yet; returns what `make` last returned.
  int withUniqueName(std::string& path, const Make& make);
  void forget(const std::string& path);

  std::mutex mutex_;
  std::vector<std::string> paths_;
  std::minstd_rand names_{std::random_device{}()};
};

}  // namespace pelc
