// Macro expansion of a logical line: macro names become their values and character literals
// their codes, recursively, within the bounds of the line buffer.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "diag/diagnostics.h"
#include "preproc/macro_table.h"

namespace pelc {

/// The code of a character literal written as "0x%02x" of the unsigned byte, and a NUL.
using CharLiteralText = std::array<char, 5>;

/// Converts the character literal that starts at the opening quote of `literal` into its code
/// and returns the literal's length with both quotes. A malformed literal ('ab', '', a
/// backslash at the end) switches the diagnostics to fatal mode and reports a syntax error at
/// `lineNumber`, which throws AbortFile.
std::size_t charLiteralText(std::string_view literal, CharLiteralText& textOut, Diagnostics& diag,
                            int lineNumber);

/// What the reference scan does at a byte: it walks over PLAIN bytes and stops at the others.
enum class ScanStop : std::uint8_t {
  PLAIN,
  QUOTE,   // opens a quoted section, which may be a character literal
  END,     // NUL: the end of the text, which a NUL always follows, or a byte within it
  LETTER,  // a letter that begins a defined name
  SIGIL,   // a `$` or `@` that begins a defined name
};
using ScanStops = std::array<ScanStop, 256>;

class MacroExpander {
 public:
  /// The line stands for a buffer of this size: the expanded line and its terminator fit.
  static constexpr std::size_t LINE_BUFFER_SIZE = 2048;
  /// Deepest nesting whose replacement may still be expanded; one more level fails.
  static constexpr int MAX_EXPANSION_DEPTH = 100;
  /// Reference kinds besides a macro index.
  static constexpr int NO_REFERENCE = -1;
  static constexpr int CHAR_LITERAL = -2;
  /// Replacements one line may take. Macros that stand for several uses of
  /// empty macros unfold exponentially without the line ever growing; past
  /// this many replacements the expansion counts as too long for the line.
  static constexpr long MAX_REPLACEMENTS = 100000;

  MacroExpander(const MacroTable& table, Diagnostics& diag);

  /// Expands the whole logical line in place; messages are reported at `lineNumber`.
  /// Returns 2 when something was replaced, 0 when nothing was or when expansion failed with
  /// a reported error (the replacements made before the failure stay in the line).
  int expandMacros(std::string& line, int lineNumber);
  /// Where the last expandMacros call first changed its line: the offset of the first
  /// reference it replaced, or npos when it replaced none.
  std::size_t firstChange() const { return firstChange_; }

  /// The first reference in `text`: a macro index, CHAR_LITERAL or NO_REFERENCE. `refOut`
  /// receives the offset of the name or of the literal's opening quote.
  int findMacroReference(const std::string& text, std::size_t& refOut);

 private:
  void followFirstBytes();
  void markFirstBytes();
  bool expandSource(const char* from, const char* end, std::size_t lineAt, int depth);
  std::optional<std::size_t> replaceReference(std::size_t refStart, int kind, int depth);
  bool chainAllows(int kind, int depth);
  std::string_view replacementFor(int kind, std::size_t refStart, std::size_t& replacedLength,
                                  CharLiteralText& literalText);

  const MacroTable& table_;
  Diagnostics& diag_;
  std::string* line_ = nullptr;
  int lineNumber_ = 0;
  long replacements_ = 0;
  std::size_t firstChange_ = std::string::npos;
  /// The macro index (or CHAR_LITERAL) being expanded at each depth.
  std::array<int, MAX_EXPANSION_DEPTH + 1> expansionChain_{};
  /// The scan's stops: the quotes, NUL and the bytes that begin the names of stopsFor_, the
  /// table's first bytes as of stopsVersion_.
  ScanStops scanStops_;
  MacroTable::ByteSet stopsFor_{};
  std::uint64_t stopsVersion_ = 0;
};

}  // namespace pelc
