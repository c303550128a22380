// Replacement files on Windows, created and removed under one lock.
#define NOMINMAX
#define WIN32_LEAN_AND_MEAN
#include "source/temporary_files.h"

#include <windows.h>

#include <cerrno>
#include <string>

#include "source/windows_errors.h"

namespace pelc {

// Shared for deletion: an interrupt removes the file while the run still
// writes it, and the system deletes it once the process is gone.
FileHandle TemporaryFiles::create(std::string& pattern) {
  HANDLE file = INVALID_HANDLE_VALUE;
  const int result = remember(pattern, [&file](const std::string& name) {
    file = ::CreateFileA(name.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_DELETE, nullptr,
                         CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) return 0;
    errno = errnoOfSystemError(::GetLastError());
    return -1;
  });
  return result < 0 ? INVALID_HANDLE_VALUE : file;
}

// Windows has no files without a name that could get one later.
int TemporaryFiles::createUnnamed(const std::string&) {
  errno = ENOSYS;
  return -1;
}

int TemporaryFiles::link(int, std::string&) {
  errno = ENOSYS;
  return -1;
}

int TemporaryFiles::renameTo(const std::string& path, const std::string& target) {
  const std::lock_guard lock(mutex_);
  if (!::MoveFileExA(path.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING)) {
    const DWORD code = ::GetLastError();
    // Said as other systems say it, where Windows only denies the access.
    const DWORD attributes = ::GetFileAttributesA(target.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
      return EISDIR;
    }
    return errnoOfSystemError(code);
  }
  forget(path);
  return 0;
}

void TemporaryFiles::discard(const std::string& path) {
  const std::lock_guard lock(mutex_);
  ::DeleteFileA(path.c_str());
  forget(path);
}

void TemporaryFiles::removeAll() {
  const std::lock_guard lock(mutex_);
  for (const std::string& path : paths_) ::DeleteFileA(path.c_str());
  paths_.clear();
}

}  // namespace pelc
