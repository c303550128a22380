// Macro expansion of a logical line and the conversion of character literals.
#include "preproc/macro_expander.h"

#include <cstdint>

#include "source/byte_runs.h"
#include "source/char_class.h"

namespace pelc {

namespace {

/// What a byte can do in the reference scan, as bits of one table entry, so that the scan
/// loads one entry per byte.
enum ByteClass : std::uint8_t {
  CONTINUES_NAME = 1,  // letters, digits and underscore
  OPENS_NAME = 2,      // letters
  MAY_OPEN_NAME = 4,   // `$` and `@`, when the next byte allows (opensMacroName)
  OPENS_QUOTE = 8,     // the double quote, the single quote and the back quote
};
constexpr std::uint8_t BEGINS_REFERENCE = OPENS_NAME | MAY_OPEN_NAME | OPENS_QUOTE;

constexpr std::array<std::uint8_t, 256> kByteClass = [] {
  std::array<std::uint8_t, 256> table{};
  for (int c = 0; c < 256; ++c) {
    auto& bits = table[static_cast<std::size_t>(c)];
    if (isLetter(c) || isDigit(c) || c == '_') bits |= CONTINUES_NAME;
    if (isLetter(c)) bits |= OPENS_NAME;
    if (c == '$' || c == '@') bits |= MAY_OPEN_NAME;
    if (isQuote(c)) bits |= OPENS_QUOTE;
  }
  return table;
}();

std::uint8_t byteClass(char c) { return kByteClass[static_cast<unsigned char>(c)]; }

/// The index of the quote that closes the section opened at `open`, or npos when the text
/// ends first. A backslash makes the next character ordinary.
std::size_t findClosingQuote(std::string_view text, std::size_t open) {
  for (std::size_t i = open + 1; i < text.size(); ++i) {
    if (text[i] == '\\') {
      ++i;
    } else if (text[i] == text[open]) {
      return i;
    }
  }
  return std::string_view::npos;
}

/// What stepOverQuote returns when the scan goes on after the quoted section.
constexpr int kScanOn = -3;

/// At the quote that opens a section at text[i]: a closed single-quoted section is a literal
/// whatever its length (the conversion rejects the malformed ones), and an unclosed section
/// ends the scan without a reference; any other section is skipped and the scan goes on.
int stepOverQuote(std::string_view text, std::size_t& i, std::size_t& refOut) {
  const std::size_t close = findClosingQuote(text, i);
  if (close == std::string_view::npos) return MacroExpander::NO_REFERENCE;
  if (text[i] == '\'') {
    refOut = i;
    return MacroExpander::CHAR_LITERAL;
  }
  i = close + 1;
  return kScanOn;
}

unsigned char escapeValue(char c) {
  switch (c) {
    case '0':
      return 0;
    case 'a':
      return 7;
    case 'b':
      return 8;
    case 'f':
      return 12;
    case 'n':
      return 10;
    case 'r':
      return 13;
    case 't':
      return 9;
    default:
      return static_cast<unsigned char>(c);
  }
}

void formatHexByte(unsigned char value, std::string& out) {
  constexpr std::string_view digits = "0123456789abcdef";
  out.assign("0x");
  out.push_back(digits[value >> 4]);
  out.push_back(digits[value & 0x0f]);
}

[[noreturn]] void reportMalformedLiteral(Diagnostics& diag, int lineNumber) {
  diag.enterFatalMode();
  diag.reportMessage(Msg::SyntaxAtTopLevel, lineNumber);
  throw AbortFile{};  // fatal mode already throws; this makes the contract hold regardless
}

}  // namespace

std::size_t charLiteralText(std::string_view literal, std::string& textOut, Diagnostics& diag,
                            int lineNumber) {
  std::size_t pos = 1;
  if (pos >= literal.size() || literal[pos] == '\'') reportMalformedLiteral(diag, lineNumber);
  auto value = static_cast<unsigned char>(literal[pos]);
  if (literal[pos] == '\\') {
    if (++pos >= literal.size()) reportMalformedLiteral(diag, lineNumber);
    value = escapeValue(literal[pos]);
  }
  ++pos;
  if (pos >= literal.size() || literal[pos] != '\'') reportMalformedLiteral(diag, lineNumber);
  formatHexByte(value, textOut);
  return pos + 1;
}

int MacroExpander::expandMacros(std::string& line, int lineNumber) {
  line_ = &line;
  lineNumber_ = lineNumber;
  replacements_ = 0;
  // With the whole buffer reserved, replacing in place never reallocates.
  line.reserve(LINE_BUFFER_SIZE);
  const int result = expandRegion(0, line.size(), 0);
  line_ = nullptr;
  return result < 0 ? 0 : result;
}

/// Expands line[begin, end) at `depth`: 0 or 2 as expandMacros, -1 on failure.
int MacroExpander::expandRegion(std::size_t begin, std::size_t end, int depth) {
  std::string& line = *line_;
  int result = 0;
  std::size_t pos = begin;
  for (;;) {
    std::size_t ref = 0;
    const int kind = findMacroReference(std::string_view(line).substr(pos, end - pos), ref);
    if (kind == NO_REFERENCE) return result;
    const std::size_t sizeBefore = line.size();
    const auto next = replaceReference(pos + ref, kind, depth);
    if (!next) return -1;
    end = end + line.size() - sizeBefore;
    result = 2;
    // The expanded replacement is skipped so that its end never joins the following text
    // into a new name.
    pos = *next;
  }
}

/// Replaces the reference at `refStart`, expands the replacement one level deeper and
/// returns the offset just after it, or nothing after a reported failure.
std::optional<std::size_t> MacroExpander::replaceReference(std::size_t refStart, int kind,
                                                           int depth) {
  if (!chainAllows(kind, depth)) return std::nullopt;
  expansionChain_[depth] = kind;
  std::size_t replacedLength = 0;
  const std::string_view replacement = replacementFor(kind, refStart, replacedLength);
  std::string& line = *line_;
  const std::size_t tailLength = line.size() - refStart - replacedLength;
  const std::size_t spaceLeft = refStart < LINE_BUFFER_SIZE ? LINE_BUFFER_SIZE - refStart : 0;
  if (replacement.size() + tailLength + 1 > spaceLeft || ++replacements_ > MAX_REPLACEMENTS) {
    diag_.reportMessage(Msg::ExpansionTooLong, lineNumber_);
    return std::nullopt;
  }
  line.replace(refStart, replacedLength, replacement);
  if (expandRegion(refStart, refStart + replacement.size(), depth + 1) < 0) return std::nullopt;
  return line.size() - tailLength;
}

/// Whether a reference of `kind` may be expanded at `depth`; reports why not. At the depth
/// one past the limit only the outermost macro is checked for recursion.
bool MacroExpander::chainAllows(int kind, int depth) {
  if (kind == CHAR_LITERAL) {
    if (depth <= MAX_EXPANSION_DEPTH) return true;
    diag_.reportMessage(Msg::ExpansionTooDeep, lineNumber_);
    return false;
  }
  for (int d = 0; d < depth; ++d) {
    if (expansionChain_[d] == kind) {
      diag_.reportMessage(Msg::MacroRecursion, lineNumber_);
      return false;
    }
    if (depth > MAX_EXPANSION_DEPTH) {
      diag_.reportMessage(Msg::ExpansionTooDeep, lineNumber_);
      return false;
    }
  }
  return true;
}

std::string_view MacroExpander::replacementFor(int kind, std::size_t refStart,
                                               std::size_t& replacedLength) {
  if (kind == CHAR_LITERAL) {
    replacedLength = charLiteralText(std::string_view(*line_).substr(refStart), literalText_, diag_,
                                     lineNumber_);
    return literalText_;
  }
  const MacroEntry& entry = table_.at(static_cast<std::size_t>(kind));
  replacedLength = entry.name.size();
  return entry.value;
}

int MacroExpander::findMacroReference(std::string_view text, std::size_t& refOut) const {
  if (table_.size() == 0) return findLiteralReference(text, refOut);
  const std::size_t size = text.size();
  std::size_t i = 0;
  for (;;) {
    // Most bytes begin nothing; digits and underscores neither, so in `1ABC` the name is `ABC`.
    while (i < size && (byteClass(text[i]) & BEGINS_REFERENCE) == 0) ++i;
    if (i == size) return NO_REFERENCE;
    const std::uint8_t bits = byteClass(text[i]);
    if (bits & OPENS_QUOTE) {
      if (const int kind = stepOverQuote(text, i, refOut); kind != kScanOn) return kind;
    } else if ((bits & OPENS_NAME) || opensMacroName(text, i)) {
      // A candidate runs as far as names continue; the byte that ends it is examined anew.
      const std::size_t candidate = i;
      ++i;
      while (i < size && (byteClass(text[i]) & CONTINUES_NAME)) ++i;
      if (const auto index = table_.lookUp(text.substr(candidate, i - candidate))) {
        refOut = candidate;
        return static_cast<int>(*index);
      }
    } else {
      ++i;  // a `$` or `@` that the next byte does not make a name
    }
  }
}

// With no macro defined only character literals can be references, and only
// quotes need a look: the bytes between them are skipped in runs.
int MacroExpander::findLiteralReference(std::string_view text, std::size_t& refOut) {
  using Quotes = StopBytes<'"', '\'', '`'>;
  std::size_t i = 0;
  for (;;) {
    i += Quotes::runLength(text.data() + i, text.size() - i);
    if (i == text.size()) return NO_REFERENCE;
    if (const int kind = stepOverQuote(text, i, refOut); kind != kScanOn) return kind;
  }
}

}  // namespace pelc
