// The option reader: the command line into run settings.
#pragma once

#include <optional>
#include <span>
#include <string>

#include "base/settings.h"
#include "diag/diagnostics.h"

namespace pelc {

inline constexpr const char* kVersionBanner = "PELM Version - 20.0";

/// Reads the arguments after the program name. Returns the settings with the
/// input path and base directory derived, or nothing when the run is already
/// over (after -??, --help, --version, --explain), with the status it ends
/// with in `statusWithoutRun`. Every command-line error is a thrown message.
std::optional<Settings> readCommandLine(std::span<const std::string> args, Diagnostics& diag,
                                        int& statusWithoutRun);

/// The usage error (message -1); `reason` is what the readable formats show.
[[noreturn]] void usageError(Diagnostics& diag, std::string reason);

}  // namespace pelc
