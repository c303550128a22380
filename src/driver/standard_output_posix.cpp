// Standard output on POSIX systems, which never translate line ends.
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <initializer_list>

#include "driver/standard_output.h"

namespace pelc {

void prepareStandardStreams() {
  for (const int fd : {STDIN_FILENO, STDOUT_FILENO, STDERR_FILENO}) {
    if (::fcntl(fd, F_GETFD) == -1 && errno == EBADF) {
      // Opened into the lowest free number, which is this one.
      if (::open("/dev/null", O_RDWR) != fd) return;
    }
  }
}

bool standardOutputShowsColor() { return ::isatty(STDOUT_FILENO) == 1; }

}  // namespace pelc
