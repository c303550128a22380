// Numbered message reporting, the run's error state and the name of the file
// that messages refer to.
#pragma once

#include <optional>
#include <ostream>
#include <string>

#include "diag/messages.h"

namespace pelc {

/// The one exception that abandons the current work after a thrown message.
/// It carries nothing: the message has already been printed.
struct AbortFile {};

/// Line values of reportMessage besides a real line number.
inline constexpr int kNoPrefix = -1;
inline constexpr int kNoLine = 0;

/// What the syntax-error report needs to know about the open blocks.
/// Implemented by the block stack; abstract so diagnostics stay below it.
class SyntaxContext {
 public:
  virtual bool anyBlockOpen() const = 0;

 protected:
  ~SyntaxContext() = default;
};

class Diagnostics {
 public:
  explicit Diagnostics(std::ostream& out) : out_(out) {}

  /// Prints "<prefix>Prompt not found: pnum = <|code|>" and applies the
  /// message's severity: returns, or throws AbortFile.
  void reportMessage(Msg msg, int line);

  /// Prints a message that abandons the current work and throws AbortFile: one
  /// of severity Thrown, or any negative one in fatal mode. Callers that must
  /// not go on after the message use it, so that the compiler sees it too.
  [[noreturn]] void throwMessage(Msg msg, int line);

  /// -236 when no block is open, -255 otherwise; both return unless fatal.
  void reportSyntaxError(int line);

  /// From now on every negative message is thrown.
  void enterFatalMode() { errorState_ = 2; }

  /// Records an error that is not a numbered message (an internal error).
  void markError() {
    if (errorState_ == 0) errorState_ = 1;
  }

  int errorState() const { return errorState_; }

  const std::optional<std::string>& currentFileName() const { return currentFileName_; }
  void setCurrentFileName(std::optional<std::string> name) { currentFileName_ = std::move(name); }

  void setSyntaxContext(const SyntaxContext* context) { syntaxContext_ = context; }

  std::ostream& out() { return out_; }

 private:
  void printLine(Msg msg, int line);

  std::ostream& out_;
  int errorState_ = 0;
  std::optional<std::string> currentFileName_;
  const SyntaxContext* syntaxContext_ = nullptr;
};

}  // namespace pelc
