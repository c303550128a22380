// Message reporting: one description of each report, printed by the run's format.
#include "diag/diagnostics.h"

#include <algorithm>
#include <cassert>

namespace pelc {
namespace {

// A negative number is an error in every format, whatever else its row says.
static_assert(std::ranges::all_of(kMessageTable, [](const MessageInfo& info) {
  return codeOf(info.msg) > 0 || info.severity == Severity::Thrown ||
         info.severity == Severity::Returns;
}));

Level levelOf(Severity severity) {
  switch (severity) {
    case Severity::Thrown:
    case Severity::Returns:
      return Level::Error;
    case Severity::Warning:
      return Level::Warning;
    case Severity::Info:
      break;
  }
  return Level::Info;
}

std::string_view tableText(Msg msg) {
  const MessageInfo* info = findMessage(msg);
  return info != nullptr ? info->text : std::string_view("message {number}");
}

}  // namespace

std::ostream& Diagnostics::nowhere() {
  // An ostream without a buffer: whatever is written to it is dropped.
  static std::ostream dropped(nullptr);
  return dropped;
}

void Diagnostics::setCurrentFileName(std::optional<std::string> name) {
  fileHandle_ = name ? std::make_shared<const std::string>(std::move(*name)) : nullptr;
}

Diagnostic Diagnostics::describe(Msg msg, int line, Inserts inserts,
                                 std::vector<Note> notes) const {
  const int code = codeOf(msg);
  Diagnostic d;
  d.file = currentFileName();
  d.line = line;
  d.code = code;
  d.level = levelOf(severityOf(msg));
  d.stops = code < 0 && (errorState_ == ErrorState::Fatal || severityOf(msg) != Severity::Returns);
  d.text = fillInserts(tableText(msg), inserts);
  d.inserts = std::move(inserts);
  d.notes = std::move(notes);
  return d;
}

void Diagnostics::reportMessage(Msg msg, int line, Inserts inserts, std::vector<Note> notes) {
  sink_->message(describe(msg, line, std::move(inserts), std::move(notes)));
  if (codeOf(msg) > 0) return;
  if (errorState_ == ErrorState::Fatal) throw AbortFile{};
  errorState_ = ErrorState::Error;
  if (severityOf(msg) == Severity::Returns) return;
  throw AbortFile{};
}

void Diagnostics::throwMessage(Msg msg, int line, Inserts inserts, std::vector<Note> notes) {
  assert(severityOf(msg) == Severity::Thrown ||
         (errorState_ == ErrorState::Fatal && codeOf(msg) < 0));
  reportMessage(msg, line, std::move(inserts), std::move(notes));
  throw AbortFile{};  // not reached for the messages above; the caller relies on it
}

void Diagnostics::reportInformation(Msg msg, Inserts inserts, std::vector<std::string> lines) {
  Diagnostic d = describe(msg, kNoPrefix, std::move(inserts), {});
  d.lines = std::move(lines);
  sink_->message(d);
}

void Diagnostics::reportSyntaxError(int line, const SyntaxProblem& problem) {
  const bool inBlock = syntaxContext_ != nullptr && syntaxContext_->anyBlockOpen();
  const std::vector<OpenBlock> blocks =
      inBlock ? syntaxContext_->openBlocks() : std::vector<OpenBlock>();
  Inserts inserts{{"problem", std::string(problem.problem)}};
  if (!problem.token.empty()) inserts.push_back({"token", std::string(problem.token)});
  if (!blocks.empty()) inserts.push_back({"construct", std::string(blocks.front().construct)});
  std::vector<Note> notes;
  if (problem.atEndOfInput) {
    for (const OpenBlock& block : blocks) {
      notes.push_back({block.file ? std::optional<std::string>(*block.file) : std::nullopt,
                       block.line, "the " + std::string(block.construct) + " block opened here"});
    }
  }
  reportMessage(inBlock ? Msg::SyntaxInBlock : Msg::SyntaxAtTopLevel, line, std::move(inserts),
                std::move(notes));
}

void Diagnostics::warn(Warning warning, int line, Inserts inserts) {
  const WarningInfo& info = warningInfo(warning);
  Diagnostic d;
  d.file = currentFileName();
  d.line = line;
  d.warningOption = info.option;
  d.level = Level::Warning;
  d.text = fillInserts(info.text, inserts);
  d.inserts = std::move(inserts);
  sink_->message(d);
}

}  // namespace pelc
