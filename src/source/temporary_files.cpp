// Replacement files, created and removed under one lock.
#include "source/temporary_files.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <string>
#include <string_view>

namespace pelc {

template <typename Make>
int TemporaryFiles::remember(std::string& pattern, Make make) {
  const std::lock_guard lock(mutex_);
  // The name is known before the file exists: nothing can fail between the two.
  paths_.push_back(pattern);
  const int result = withUniqueName(paths_.back(), make);
  if (result < 0) {
    const int error = errno;
    paths_.pop_back();
    errno = error;
    return -1;
  }
  pattern = paths_.back();
  return result;
}

// As mkstemp, which would leave the file readable by its owner alone, whatever
// the umask.
int TemporaryFiles::create(std::string& pattern) {
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

template <typename Make>
int TemporaryFiles::withUniqueName(std::string& path, Make make) {
  static constexpr std::string_view kLetters =
      "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
  constexpr std::size_t kNameLength = 6;
  if (path.size() < kNameLength || !path.ends_with("XXXXXX")) {
    errno = EINVAL;
    return -1;
  }
  for (int attempt = 0; attempt < 100; ++attempt) {
    for (std::size_t i = path.size() - kNameLength; i < path.size(); ++i) {
      path[i] = kLetters[names_() % kLetters.size()];
    }
    const int result = make(path);
    if (result >= 0 || errno != EEXIST) return result;
  }
  return -1;  // errno is still EEXIST
}

void TemporaryFiles::forget(const std::string& path) {
  const auto found = std::find(paths_.begin(), paths_.end(), path);
  if (found != paths_.end()) paths_.erase(found);
}

}  // namespace pelc
