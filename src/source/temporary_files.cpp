// The names of replacement files, known under one lock.
#include "source/temporary_files.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <string>
#include <string_view>

namespace pelc {

int TemporaryFiles::remember(std::string& pattern, const Make& make) {
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

int TemporaryFiles::withUniqueName(std::string& path, const Make& make) {
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
