// Windows system error codes mapped to errno values and texts.
#define NOMINMAX
#define WIN32_LEAN_AND_MEAN
#include "source/windows_errors.h"

#include <windows.h>

#include <cerrno>
#include <cstring>

namespace pelc {

namespace {

/// errno for the codes that have one; 0 for the others.
int mappedErrno(unsigned long code) {
  switch (code) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_NETPATH:
    case ERROR_BAD_NET_NAME:
    case ERROR_BAD_PATHNAME:
    case ERROR_INVALID_NAME:
      return ENOENT;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_WRITE_PROTECT:
    case ERROR_CURRENT_DIRECTORY:
      return EACCES;
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
      return EEXIST;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
      return ENOSPC;
    case ERROR_FILENAME_EXCED_RANGE:
      return ENAMETOOLONG;
    case ERROR_NOT_ENOUGH_MEMORY:
    case ERROR_OUTOFMEMORY:
      return ENOMEM;
    case ERROR_DIRECTORY:
      return ENOTDIR;
    case ERROR_NOT_SAME_DEVICE:
      return EXDEV;
    default:
      return 0;
  }
}

}  // namespace

int errnoOfSystemError(unsigned long code) {
  const int mapped = mappedErrno(code);
  return mapped != 0 ? mapped : EIO;
}

std::string describeSystemError(unsigned long code) {
  if (const int mapped = mappedErrno(code); mapped != 0) return std::strerror(mapped);
  char* text = nullptr;
  const DWORD length = ::FormatMessageA(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, code, 0, reinterpret_cast<char*>(&text), 0, nullptr);
  std::string cause = length == 0 ? "system error " + std::to_string(code) : std::string(text, length);
  if (text != nullptr) ::LocalFree(text);
  // The system's texts end in a full stop and a line end, which the report adds itself.
  while (!cause.empty() && (cause.back() == '\n' || cause.back() == '\r' || cause.back() == '.' ||
                            cause.back() == ' ')) {
    cause.pop_back();
  }
  return cause;
}

}  // namespace pelc
