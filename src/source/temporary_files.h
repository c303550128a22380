// The replacement files that stand beside their targets while a run writes them.
#pragma once

#include <mutex>
#include <random>
#include <string>
#include <vector>

namespace pelc {

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
  /// and become the file's own name; returns its descriptor, or -1 with errno.
  /// The file gets the permissions that creating any file would give it (the
  /// umask applies), since it becomes the output.
  int create(std::string& pattern);
  /// Renames the file at `path` to `target`; returns 0 or the errno.
  int renameTo(const std::string& path, const std::string& target);
  /// Removes the file at `path`, which a failed or abandoned write leaves.
  void discard(const std::string& path);
  /// Removes every file still known: the run is being interrupted.
  void removeAll();

 private:
  int openUnique(std::string& path);
  void forget(const std::string& path);

  std::mutex mutex_;
  std::vector<std::string> paths_;
  std::minstd_rand names_{std::random_device{}()};
};

}  // namespace pelc
