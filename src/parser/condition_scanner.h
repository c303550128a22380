// Scanners for the bracketed and delimited texts in the heads of block statements.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>

#include "base/char_class.h"
#include "diag/diagnostics.h"

namespace pelc {

/// What a scan of a condition does with a byte outside quotes: copies it as it is, drops it
/// (a blank), or gives it a step of its own.
enum class ByteRole : std::uint8_t { Copied, Dropped, Stepped };

/// The roles of all bytes for a scan that steps at quotes, parentheses, brackets and the
/// bytes of `stepped`. Most bytes of a condition are parts of names and numbers, taken in
/// runs by the scans without a step each.
constexpr std::array<ByteRole, 256> conditionByteRoles(std::initializer_list<char> stepped) {
  std::array<ByteRole, 256> roles{};
  for (int c = 0; c < 256; ++c) {
    if (isBlank(c)) roles[static_cast<std::size_t>(c)] = ByteRole::Dropped;
    if (isQuote(c)) roles[static_cast<std::size_t>(c)] = ByteRole::Stepped;
  }
  for (const char c : {'(', ')', '[', ']'})
    roles[static_cast<unsigned char>(c)] = ByteRole::Stepped;
  for (const char c : stepped) roles[static_cast<unsigned char>(c)] = ByteRole::Stepped;
  return roles;
}

/// Reads a parenthesised condition: blanks, `(`, the condition up to its matching `)`, and
/// nothing but blanks after it. Returns the condition with its outer parentheses and without
/// the blanks outside quotes ("(a==1)" from " ( a == 1 ) "), or nothing after reporting a
/// syntax error.
std::optional<std::string> scanCondition(std::string_view text, Diagnostics& diag, int line);

/// One of the three parts of a FOR head.
struct ForPart {
  enum class Status { Text, Absent, Failed } status;
  std::string text;
  std::size_t next;  // index in the input after the closing character
};

/// Reads one FOR part up to `closing` (`;` or `)`), first skipping `opening` unless that is
/// '\0'. A part without an opening character that is empty is Absent. A `)`-closed part ends the
/// head, so only blanks may follow it. Syntax errors are reported and give Failed.
ForPart scanForPart(std::string_view text, char opening, char closing, Diagnostics& diag, int line);

/// One value of a CASE line.
struct CaseValue {
  bool ok;
  std::string value;
  char end;          // ':' or '\0' for the end of the text
  std::size_t next;  // index in the input after `end`
};

/// Reads a CASE value up to the first `:` outside quotes or the end of the text, blanks outside
/// quotes dropped. An empty text and unbalanced parentheses or brackets are syntax errors,
/// reported, and give ok == false.
CaseValue scanCaseValue(std::string_view text, Diagnostics& diag, int line);

}  // namespace pelc
