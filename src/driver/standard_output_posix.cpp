// Standard output on POSIX systems, which never translate line ends.
#include "driver/standard_output.h"

namespace pelc {

void useBinaryStandardOutput() {}

}  // namespace pelc
