// Windows system error codes in the words the rest of the program uses.
#pragma once

#include <string>

namespace pelc {

/// The errno value for a code from GetLastError(); EIO for one without a counterpart.
int errnoOfSystemError(unsigned long code);

/// The cause shown for a code from GetLastError(): the C library's words for
/// the common ones, so that the reports read as on other systems, else the
/// system's own.
std::string describeSystemError(unsigned long code);

}  // namespace pelc
