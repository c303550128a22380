// The numbered format: the lines that existing scripts and tools parse, byte
// for byte as they have always been.
#include <cstdlib>

#include "diag/diagnostic_format.h"

namespace pelc {

void NumbersSink::message(const Diagnostic& d) {
  // A warning without a number has no way to be shown here.
  if (d.code == 0) return;
  // The prefix is built without a fixed area, so long file names print whole.
  if (d.line == kNoPrefix) {
    // no prefix at all
  } else if (!d.file) {
    out_ << "pelc: ";
  } else if (d.line != kNoLine) {
    out_ << *d.file << " (" << d.line << "): ";
  } else {
    out_ << *d.file << ": ";
  }
  out_ << "Prompt not found: pnum = " << std::abs(d.code) << '\n';
  for (const std::string& line : d.lines) out_ << "        " << line << '\n';
}

void NumbersSink::fileStarted(const std::string& path) { out_ << path << ":\n"; }

void NumbersSink::fileError(const std::string&, const std::string& text) {
  out_ << "pelc: " << text << '\n';
}

void NumbersSink::helpText(std::string_view text) { out_ << text; }

void NumbersSink::internalError(std::string_view line) { out_ << line; }

}  // namespace pelc
