// Long options (--name): everything the program does beyond its letter
// options, which the letter options' reader always rejected.
#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string>

#include "base/settings.h"
#include "diag/diagnostics.h"

namespace pelc {

/// Reads the long option at args[index] ("--name" or "--name=value"); an
/// option with a value may take it from the next argument, and then `index`
/// is moved to it. Returns the status with which the run ends at once
/// (--help, --version, --explain), or nothing. Errors are usage errors.
std::optional<int> readLongOption(std::span<const std::string> args, std::size_t& index,
                                  Settings& settings, Diagnostics& diag);

/// The format that messages are printed in, known before anything is read:
/// the last valid --diagnostics and --color among the options wins, so that
/// a usage error of an option before them already comes out in the format
/// asked for. Invalid values are left to readLongOption to reject.
DiagnosticStyle readDiagnosticStyle(std::span<const std::string> args, bool outputIsTerminal);

/// The text of --help.
std::string helpText();

}  // namespace pelc
