// Standard output on Windows, whose runtime writes each LF as CR LF unless told not to.
#include "driver/standard_output.h"

#include <fcntl.h>
#include <io.h>

#include <cstdio>

namespace pelc {

void useBinaryStandardOutput() { _setmode(_fileno(stdout), _O_BINARY); }

}  // namespace pelc
