// Standard output on Windows, whose runtime writes each LF as CR LF unless told not to.
#define WIN32_LEAN_AND_MEAN
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cstdio>

#include "driver/standard_output.h"

namespace pelc {

// A closed standard handle is no file descriptor the run's own files could
// take, so only the line ends need settling.
void prepareStandardStreams() { _setmode(_fileno(stdout), _O_BINARY); }

// A console shows the colour sequences only where it interprets them; the
// console's mode is the user's, and is left as it is.
bool standardOutputShowsColor() {
  DWORD mode = 0;
  return ::GetConsoleMode(::GetStdHandle(STD_OUTPUT_HANDLE), &mode) &&
         (mode & ENABLE_VIRTUAL_TERMINAL_PROCESSING) != 0;
}

}  // namespace pelc
