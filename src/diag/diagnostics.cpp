// Numbered message reporting.
#include "diag/diagnostics.h"

#include <cassert>
#include <cstdlib>

namespace pelc {

void Diagnostics::printLine(Msg msg, int line) {
  // The prefix is built without a fixed area, so long file names print whole.
  if (line == kNoPrefix) {
    // no prefix at all
  } else if (!currentFileName_) {
    out_ << "pelc: ";
  } else if (line != kNoLine) {
    out_ << *currentFileName_ << " (" << line << "): ";
  } else {
    out_ << *currentFileName_ << ": ";
  }
  out_ << "Prompt not found: pnum = " << std::abs(codeOf(msg)) << '\n';
}

void Diagnostics::reportMessage(Msg msg, int line) {
  printLine(msg, line);
  if (codeOf(msg) > 0) return;
  if (errorState_ == 2) throw AbortFile{};
  errorState_ = 1;
  if (severityOf(msg) == Severity::Returns) return;
  throw AbortFile{};
}

void Diagnostics::throwMessage(Msg msg, int line) {
  assert(severityOf(msg) == Severity::Thrown || (errorState_ == 2 && codeOf(msg) < 0));
  reportMessage(msg, line);
  throw AbortFile{};  // not reached for the messages above; the caller relies on it
}

void Diagnostics::reportSyntaxError(int line) {
  const bool inBlock = syntaxContext_ != nullptr && syntaxContext_->anyBlockOpen();
  reportMessage(inBlock ? Msg::SyntaxInBlock : Msg::SyntaxAtTopLevel, line);
}

}  // namespace pelc
