// Macro expansion of a logical line: macro names become their values and character literals
// their codes, recursively, within the bounds of the line buffer.
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "diag/diagnostics.h"
#include "preproc/macro_table.h"

namespace pelc {

/// Converts the character literal that starts at the opening quote of `literal` into its code
/// written as "0x%02x" of the unsigned byte, and returns the literal's length with both
/// quotes. A malformed literal ('ab', '', a backslash at the end) switches the diagnostics
/// to fatal mode and reports a syntax error at `lineNumber`, which throws AbortFile.
std::size_t charLiteralText(std::string_view literal, std::string& textOut, Diagnostics& diag,
                            int lineNumber);

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

  MacroExpander(const MacroTable& table, Diagnostics& diag) : table_(table), diag_(diag) {}

  /// Expands the whole logical line in place; messages are reported at `lineNumber`.
  /// Returns 2 when something was replaced, 0 when nothing was or when expansion failed with
  /// a reported error (the replacements made before the failure stay in the line).
  int expandMacros(std::string& line, int lineNumber);

  /// The first reference in `text`: a macro index, CHAR_LITERAL or NO_REFERENCE. `refOut`
  /// receives the offset of the name or of the literal's opening quote.
  int findMacroReference(std::string_view text, std::size_t& refOut) const;

 private:
  static int findLiteralReference(std::string_view text, std::size_t& refOut);
  int expandRegion(std::size_t begin, std::size_t end, int depth);
  std::optional<std::size_t> replaceReference(std::size_t refStart, int kind, int depth);
  bool chainAllows(int kind, int depth);
  std::string_view replacementFor(int kind, std::size_t refStart, std::size_t& replacedLength);

  const MacroTable& table_;
  Diagnostics& diag_;
  std::string* line_ = nullptr;
  int lineNumber_ = 0;
  long replacements_ = 0;
  /// The macro index (or CHAR_LITERAL) being expanded at each depth.
  std::array<int, MAX_EXPANSION_DEPTH + 1> expansionChain_{};
  // Reused for every literal so that expansion allocates nothing per reference.
  std::string literalText_;
};

}  // namespace pelc
