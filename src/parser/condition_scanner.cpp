// Scanners for the bracketed and delimited texts in the heads of block statements.
#include "parser/condition_scanner.h"

#include <array>
#include <cstdint>
#include <utility>

#include "base/char_class.h"

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

/// Copies the quoted section that opens at `pos`, quotes included, to `out`, which is advanced
/// past the copy. Returns the index after its closing quote (the end of the text when it is
/// never closed), or kNoPosition for a backslash that has nothing left to escape.
std::size_t copyQuoted(std::string_view text, std::size_t pos, char*& out) {
  const char quote = text[pos];
  *out++ = text[pos++];
  while (pos < text.size()) {
    const char c = text[pos++];
    *out++ = c;
    if (c == quote) return pos;
    if (c == '\\') {
      if (pos == text.size()) return kNoPosition;
      *out++ = text[pos++];
    }
  }
  return pos;
}

enum class Stop { AtClosing, AtEnd, Failed };

// `;` and `:` close FOR parts and CASE values.
constexpr std::array<ByteRole, 256> kByteRoles = conditionByteRoles({';', ':'});

/// Where a compacting scan ended and how much it wrote, the closing character not included.
struct Compacted {
  Stop stop = Stop::AtEnd;
  std::size_t length = 0;
  std::size_t next = 0;  // after the closing character, or the end of the input
  bool balanced = true;  // no parenthesis or bracket open where the scan stopped
};

/// Copies a text without its blanks outside quotes up to `closing`, following the nesting of
/// parentheses and brackets. `closing` ends the text only outside quotes, and for `)` only
/// outside any parenthesis; meeting it inside a group, or closing a group never opened, fails.
/// The copy goes to a buffer with room for the whole rest of the text, since compaction never
/// lengthens it; growing a string byte by byte cost more than the scan.
class Compactor {
 public:
  Compactor(std::string_view text, std::size_t pos, char* out)
      : text_(text), pos_(pos), begin_(out), out_(out) {}

  Compacted run(char closing) {
    while (pos_ < text_.size()) {
      copyPlainRun(closing);
      if (pos_ == text_.size()) break;
      const char c = text_[pos_];
      if (isQuote(c)) {
        pos_ = copyQuoted(text_, pos_, out_);
        if (pos_ == kNoPosition) return finish(Stop::Failed);
        continue;
      }
      ++pos_;
      if (isBlank(c)) continue;
      if (c == closing && (c != ')' || parens_ == 0)) {
        return finish(balanced() ? Stop::AtClosing : Stop::Failed);
      }
      if (!followNesting(c)) return finish(Stop::Failed);
      *out_++ = c;
    }
    return finish(Stop::AtEnd);
  }

 private:
  // Takes the bytes up to the next one that may quote, nest or close.
  void copyPlainRun(char closing) {
    while (pos_ < text_.size()) {
      const char c = text_[pos_];
      const ByteRole role = kByteRoles[static_cast<unsigned char>(c)];
      if (role == ByteRole::Stepped || c == closing) return;
      if (role == ByteRole::Copied) *out_++ = c;
      ++pos_;
    }
  }

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

  Compacted finish(Stop stop) const {
    return Compacted{stop, static_cast<std::size_t>(out_ - begin_),
                     stop == Stop::Failed ? text_.size() : pos_, balanced()};
  }

  std::string_view text_;
  std::size_t pos_;
  char* const begin_;
  char* out_;
  int parens_ = 0;
  int brackets_ = 0;
};

/// Compacts the text from `pos` into a string allocated once, cut to what was written.
Compacted compactInto(std::string& out, std::string_view text, std::size_t pos, char closing) {
  out.resize(text.size() - pos);
  const Compacted compacted = Compactor(text, pos, out.data()).run(closing);
  out.resize(compacted.length);
  return compacted;
}

ForPart failedPart(std::string_view text, Diagnostics& diag, int line) {
  diag.reportSyntaxError(line, {"malformed FOR head"});
  return ForPart{ForPart::Status::Failed, {}, text.size()};
}

// A `)`-closed part is the last of the FOR head; a body cannot share its line.
ForPart finishPart(ForPart part, std::string_view text, char closing, Diagnostics& diag, int line) {
  if (closing == ')' && !onlyBlanksFrom(text, part.next)) return failedPart(text, diag, line);
  return part;
}

CaseValue failedValue(std::string_view text, Diagnostics& diag, int line) {
  diag.reportSyntaxError(line, {"malformed CASE value"});
  return CaseValue{false, {}, '\0', text.size()};
}

}  // namespace

std::optional<std::string> scanCondition(std::string_view text, Diagnostics& diag, int line) {
  const std::size_t open = skipBlanks(text, 0);
  std::string_view problem = "expected '(' before the condition";
  if (open < text.size() && text[open] == '(') {
    // The text from `open` on leaves room for both parentheses around the compacted inside.
    std::string condition(text.size() - open + 1, '(');
    const Compacted inner = Compactor(text, open + 1, condition.data() + 1).run(')');
    if (inner.stop == Stop::AtClosing && onlyBlanksFrom(text, inner.next)) {
      condition[inner.length + 1] = ')';
      condition.resize(inner.length + 2);
      return condition;
    }
    problem = inner.stop == Stop::AtClosing ? "text after the condition's closing ')'"
              : inner.stop == Stop::AtEnd   ? "the condition's '(' is not closed"
                                            : "malformed condition";
  }
  diag.reportSyntaxError(line, {problem});
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
  std::string partText;
  const Compacted part = compactInto(partText, text, pos, closing);
  if (part.stop != Stop::AtClosing) return failedPart(text, diag, line);
  return finishPart(ForPart{ForPart::Status::Text, std::move(partText), part.next}, text, closing,
                    diag, line);
}

CaseValue scanCaseValue(std::string_view text, Diagnostics& diag, int line) {
  const std::size_t pos = skipBlanks(text, 0);
  if (pos == text.size()) return failedValue(text, diag, line);
  std::string valueText;
  const Compacted value = compactInto(valueText, text, pos, ':');
  if (value.stop == Stop::Failed || !value.balanced) return failedValue(text, diag, line);
  const char end = value.stop == Stop::AtClosing ? ':' : '\0';
  return CaseValue{true, std::move(valueText), end, value.next};
}

}  // namespace pelc
