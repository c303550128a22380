// The character classes of the source language, shared by every scanner.
// They are ASCII only: no locale may turn other bytes into letters or blanks.
#pragma once

namespace pelc {

/// Space, tab, line feed, vertical tab, form feed and carriage return.
constexpr bool isBlank(int ch) { return ch == ' ' || (ch >= '\t' && ch <= '\r'); }

/// The double quote, the apostrophe and the back quote.
constexpr bool isQuote(int ch) { return ch == '"' || ch == '\'' || ch == '`'; }

/// The ASCII letters only.
constexpr bool isLetter(int ch) { return (ch >= 'A' && ch <= 'Z') || (ch >= 'a' && ch <= 'z'); }

constexpr bool isDigit(int ch) { return ch >= '0' && ch <= '9'; }

/// A lower-case ASCII letter in upper case; every other byte as it is.
constexpr unsigned char upperCase(char ch) {
  const auto byte = static_cast<unsigned char>(ch);
  return byte >= 'a' && byte <= 'z' ? static_cast<unsigned char>(byte - 'a' + 'A') : byte;
}

}  // namespace pelc
