// Message reporting, the run's error state and the name of the file that
// messages refer to.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "diag/diagnostic.h"
#include "diag/diagnostic_format.h"
#include "diag/messages.h"

namespace pelc {

/// The one exception that abandons the current work after a thrown message.
/// It carries nothing: the message has already been printed.
struct AbortFile {};

/// An open block as the readable formats name it.
struct OpenBlock {
  std::string_view construct;  // "IF", "WHILE", ...
  int line = 0;                // its head line
  std::shared_ptr<const std::string> file;
};

/// What the syntax-error report needs to know about the open blocks.
/// Implemented by the block stack; abstract so diagnostics stay below it.
class SyntaxContext {
 public:
  virtual bool anyBlockOpen() const = 0;
  /// The open blocks, innermost first; only message texts and notes use them.
  virtual std::vector<OpenBlock> openBlocks() const { return {}; }

 protected:
  ~SyntaxContext() = default;
};

/// What a syntax error met, for the message text.
struct SyntaxProblem {
  // NOLINTNEXTLINE(google-explicit-constructor): callers name the problem alone
  SyntaxProblem(std::string_view problem = "syntax error", std::string_view token = {},
                bool atEndOfInput = false)
      : problem(problem), token(token), atEndOfInput(atEndOfInput) {}

  std::string_view problem;  // "unexpected 'ELSE'", "malformed condition"
  std::string_view token;    // the token met as written, if one was
  bool atEndOfInput;         // then each open block gets a note
};

/// How far the reported messages went: an error leaves no output for the
/// file, and once fatal every negative message is thrown.
enum class ErrorState : std::uint8_t { None, Error, Fatal };

class Diagnostics {
 public:
  /// Prints to `out` in the numbered format.
  explicit Diagnostics(std::ostream& out) : numbers_(out), sink_(&numbers_) {}
  Diagnostics(std::ostream& out, const DiagnosticStyle& style) : Diagnostics(out) {
    if (style.format != DiagnosticFormat::Numbers) {
      owned_ = makeDiagnosticSink(style, out);
      sink_ = owned_.get();
    }
  }
  /// Hands every report to `sink`, which must outlive this object.
  explicit Diagnostics(DiagnosticSink& sink) : numbers_(nowhere()), sink_(&sink) {}

  /// Prints the message and applies its severity: returns, or throws AbortFile.
  /// The inserts and notes appear only in the readable formats.
  void reportMessage(Msg msg, int line, Inserts inserts = {}, std::vector<Note> notes = {});

  /// Prints a message that abandons the current work and throws AbortFile: one
  /// of severity Thrown, or any negative one in fatal mode. Callers that must
  /// not go on after the message use it, so that the compiler sees it too.
  [[noreturn]] void throwMessage(Msg msg, int line, Inserts inserts = {},
                                 std::vector<Note> notes = {});

  /// -236 when no block is open, -255 otherwise; both return unless fatal.
  void reportSyntaxError(int line, const SyntaxProblem& problem = {});

  /// An information message without prefix (help, listing), with the lines
  /// that follow it.
  void reportInformation(Msg msg, Inserts inserts, std::vector<std::string> lines = {});

  /// A warning without a number: shown only by the readable formats, never
  /// counted as an error.
  void warn(Warning warning, int line, Inserts inserts);

  void fileStarted(const std::string& path) { sink_->fileStarted(path); }
  void fileError(const std::string& path, const std::string& text) { sink_->fileError(path, text); }
  void helpText(std::string_view text) { sink_->helpText(text); }
  /// Prints the line and records an error that is not a numbered message.
  void internalError(std::string_view line) {
    sink_->internalError(line);
    markError();
  }
  void setSourceLines(const SourceLines* lines) { sink_->setSourceLines(lines); }
  DiagnosticSink& sink() { return *sink_; }

  /// From now on every negative message is thrown.
  void enterFatalMode() { errorState_ = ErrorState::Fatal; }

  /// Records an error that is not a numbered message (an internal error).
  void markError() {
    if (errorState_ == ErrorState::None) errorState_ = ErrorState::Error;
  }

  ErrorState errorState() const { return errorState_; }
  bool anyError() const { return errorState_ != ErrorState::None; }

  std::optional<std::string> currentFileName() const {
    return fileHandle_ ? std::optional<std::string>(*fileHandle_) : std::nullopt;
  }
  void setCurrentFileName(std::optional<std::string> name);
  /// The current file's name in a form that can be kept cheaply (by open blocks).
  const std::shared_ptr<const std::string>& currentFileHandle() const { return fileHandle_; }

  void setSyntaxContext(const SyntaxContext* context) { syntaxContext_ = context; }

 private:
  Diagnostic describe(Msg msg, int line, Inserts inserts, std::vector<Note> notes) const;

  static std::ostream& nowhere();

  NumbersSink numbers_;
  std::unique_ptr<DiagnosticSink> owned_;
  DiagnosticSink* sink_;
  ErrorState errorState_ = ErrorState::None;
  std::shared_ptr<const std::string> fileHandle_;
  const SyntaxContext* syntaxContext_ = nullptr;
};

}  // namespace pelc
