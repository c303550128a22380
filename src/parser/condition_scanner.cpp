// Scanners for the bracketed and delimited texts in the heads of block statements.
#include "parser/condition_scanner.h"

#include <utility>

#include "source/char_class.h"

namespace pelc {
namespace {

constexpr std::size_t kNoPosition = std::string_view::npos;

std::size_t skipBlanks(std::string_view text, std::size_t pos) {
  while (pos < text.size() && isBlank(text[pos])) ++pos;
  return pos;
}

bool onlyBlanksFrom(std::string_view text, std::size_t pos) {
  return skipBlanks(text, pos) == text.size();
}

/// Copies the quoted section that opens at `pos`, quotes included, onto `out`. Returns the index
/// after its closing quote (the end of the text when it is never closed), or kNoPosition for a
/// backslash that has nothing left to escape.
std::size_t copyQuoted(std::string_view text, std::size_t pos, std::string& out) {
  const char quote = text[pos];
  out += text[pos++];
  while (pos < text.size()) {
    const char c = text[pos++];
    out += c;
    if (c == quote) return pos;
    if (c == '\\') {
      if (pos == text.size()) return kNoPosition;
      out += text[pos++];
    }
  }
  return pos;
}

enum class Stop { AtClosing, AtEnd, Failed };

/// What a compacting scan produced: the text without the closing character, and where it ended.
struct Compacted {
  Stop stop = Stop::AtEnd;
  std::string text;
  std::size_t next = 0;  // after the closing character, or the end of the input
  bool balanced = true;  // no parenthesis or bracket open where the scan stopped
};

/// Copies a text without its blanks outside quotes up to `closing`, following the nesting of
/// parentheses and brackets. `closing` ends the text only outside quotes, and for `)` only
/// outside any parenthesis; meeting it inside a group, or closing a group never opened, fails.
class Compactor {
 public:
  Compactor(std::string_view text, std::size_t pos) : text_(text), pos_(pos) {}

  Compacted run(char closing) {
    while (pos_ < text_.size()) {
      const char c = text_[pos_];
      if (isQuote(c)) {
        pos_ = copyQuoted(text_, pos_, result_.text);
        if (pos_ == kNoPosition) return finish(Stop::Failed);
        continue;
      }
      ++pos_;
      if (isBlank(c)) continue;
      if (c == closing && (c != ')' || parens_ == 0)) {
        return finish(balanced() ? Stop::AtClosing : Stop::Failed);
      }
      if (!followNesting(c)) return finish(Stop::Failed);
      result_.text += c;
    }
    return finish(Stop::AtEnd);
  }

 private:
  // False for a `)` or `]` that has no group left to close.
  bool followNesting(char c) {
    switch (c) {
      case '(':
        ++parens_;
        return true;
      case ')':
        return parens_-- > 0;
      case '[':
        ++brackets_;
        return true;
      case ']':
        return brackets_-- > 0;
      default:
        return true;
    }
  }

  bool balanced() const { return parens_ == 0 && brackets_ == 0; }

  Compacted finish(Stop stop) {
    result_.stop = stop;
    result_.next = stop == Stop::Failed ? text_.size() : pos_;
    result_.balanced = balanced();
    return std::move(result_);
  }

  std::string_view text_;
  std::size_t pos_;
  int parens_ = 0;
  int brackets_ = 0;
  Compacted result_;
};

ForPart failedPart(std::string_view text, Diagnostics& diag, int line) {
  diag.reportSyntaxError(line);
  return ForPart{ForPart::Status::Failed, {}, text.size()};
}

// A `)`-closed part is the last of the FOR head; a body cannot share its line.
ForPart finishPart(ForPart part, std::string_view text, char closing, Diagnostics& diag, int line) {
  if (closing == ')' && !onlyBlanksFrom(text, part.next)) return failedPart(text, diag, line);
  return part;
}

CaseValue failedValue(std::string_view text, Diagnostics& diag, int line) {
  diag.reportSyntaxError(line);
  return CaseValue{false, {}, '\0', text.size()};
}

}  // namespace

std::optional<std::string> scanCondition(std::string_view text, Diagnostics& diag, int line) {
  const std::size_t open = skipBlanks(text, 0);
  if (open < text.size() && text[open] == '(') {
    Compacted inner = Compactor(text, open + 1).run(')');
    if (inner.stop == Stop::AtClosing && onlyBlanksFrom(text, inner.next)) {
      return "(" + inner.text + ")";
    }
  }
  diag.reportSyntaxError(line);
  return std::nullopt;
}

ForPart scanForPart(std::string_view text, char opening, char closing, Diagnostics& diag,
                    int line) {
  std::size_t pos = skipBlanks(text, 0);
  if (opening != '\0') {
    if (pos == text.size() || text[pos] != opening) return failedPart(text, diag, line);
    ++pos;
  } else if (pos < text.size() && text[pos] == closing) {
    return finishPart(ForPart{ForPart::Status::Absent, {}, pos + 1}, text, closing, diag, line);
  }
  Compacted part = Compactor(text, pos).run(closing);
  if (part.stop != Stop::AtClosing) return failedPart(text, diag, line);
  return finishPart(ForPart{ForPart::Status::Text, std::move(part.text), part.next}, text, closing,
                    diag, line);
}

CaseValue scanCaseValue(std::string_view text, Diagnostics& diag, int line) {
  const std::size_t pos = skipBlanks(text, 0);
  if (pos == text.size()) return failedValue(text, diag, line);
  Compacted value = Compactor(text, pos).run(':');
  if (value.stop == Stop::Failed || !value.balanced) return failedValue(text, diag, line);
  const char end = value.stop == Stop::AtClosing ? ':' : '\0';
  return CaseValue{true, std::move(value.text), end, value.next};
}

}  // namespace pelc
