// Replacement files, created and removed under one lock.
#include "source/temporary_files.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>

namespace pelc {

int TemporaryFiles::create(std::string& pattern) {
  const std::lock_guard lock(mutex_);
  // The name is known before the file exists: nothing can fail between the two.
  paths_.push_back(pattern);
  const int fd = ::mkstemp(paths_.back().data());
  if (fd < 0) {
    const int error = errno;
    paths_.pop_back();
    errno = error;
    return -1;
  }
  pattern = paths_.back();
  return fd;
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

void TemporaryFiles::forget(const std::string& path) {
  const auto found = std::find(paths_.begin(), paths_.end(), path);
  if (found != paths_.end()) paths_.erase(found);
}

}  // namespace pelc
