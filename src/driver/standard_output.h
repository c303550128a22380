// Standard output as the run writes it: bytes as they are.
#pragma once

namespace pelc {

/// Readies the standard streams before anything is written. Standard output
/// takes every byte unchanged: messages and banners end their lines with what
/// the run writes, the same on every system. A standard descriptor the caller
/// left closed is taken by an empty device first: otherwise the next file the
/// run opens would get its number, and messages written to standard output
/// would land in an output file.
void prepareStandardStreams();

/// Whether standard output is a terminal that shows colours (--color=auto).
bool standardOutputShowsColor();

}  // namespace pelc
