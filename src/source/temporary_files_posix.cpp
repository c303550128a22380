// Replacement files on POSIX systems, created and removed under one lock.
#include "source/temporary_files.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <string>

namespace pelc {

// As mkstemp, which would leave the file readable by its owner alone, whatever
// the umask.
FileHandle TemporaryFiles::create(std::string& pattern) {
  return remember(pattern, [](const std::string& name) {
    return ::open(name.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  });
}

int TemporaryFiles::createUnnamed(const std::string& directory) {
  // Naming the file later goes through its entry under /proc.
  if (::access("/proc/self/fd", X_OK) != 0) return -1;
  return ::open(directory.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0666);
}

int TemporaryFiles::link(int fd, std::string& pattern) {
  const std::string self = "/proc/self/fd/" + std::to_string(fd);
  return remember(pattern, [&self](const std::string& name) {
    return ::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW);
  });
}

int TemporaryFiles::renameTo(const std::string& path, const std::string& target) {
  const std::lock_guard lock(mutex_);
  if (::rename(path.c_str(), target.c_str()) != 0) return errno;
  forget(path);
  return 0;
}

void TemporaryFiles::discard(const std::string& path) {
  const std::lock_guard lock(mutex_);
  ::unlink(path.c_str());
  forget(path);
}

void TemporaryFiles::removeAll() {
  const std::lock_guard lock(mutex_);
  for (const std::string& path : paths_) ::unlink(path.c_str());
  paths_.clear();
}

}  // namespace pelc
