// Macro expansion of a logical line and the conversion of character literals.
#include "preproc/macro_expander.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <optional>

#include "base/char_class.h"
#include "source/byte_runs.h"

namespace pelc {

namespace {

/// The stops of every scan; it stops besides at the bytes that begin a defined name.
constexpr ScanStops kAlwaysStops = [] {
  ScanStops table{};
  for (int c = 0; c < 256; ++c) {
    if (isQuote(c)) table[static_cast<std::size_t>(c)] = ScanStop::QUOTE;
  }
  table[0] = ScanStop::END;
  return table;
}();

/// The stop that a byte makes when a defined name begins with it; PLAIN for the bytes that
/// cannot open a name, which the scan would not take for a name's start.
constexpr ScanStop nameStop(std::size_t byte) {
  if (isLetter(static_cast<int>(byte))) return ScanStop::LETTER;
  return byte == '$' || byte == '@' ? ScanStop::SIGIL : ScanStop::PLAIN;
}

/// The bytes that continue a name, one load each on the walk over a candidate.
constexpr std::array<bool, 256> kContinuesName = [] {
  std::array<bool, 256> table{};
  for (int c = 0; c < 256; ++c) table[static_cast<std::size_t>(c)] = continuesMacroName(c);
  return table;
}();

/// The first byte from `p` on for which `stops` holds, as it must for the NUL after the text.
/// Four bytes a round, since the runs that the scan walks over are most of a line.
template <typename Stops>
const char* findFirst(const char* p, Stops stops) {
  for (;; p += 4) {
    if (stops(p[0])) return p;
    if (stops(p[1])) return p + 1;
    if (stops(p[2])) return p + 2;
    if (stops(p[3])) return p + 3;
  }
}

ScanStop stopAt(const ScanStops& stops, const char* p) {
  return stops[static_cast<unsigned char>(*p)];
}

// Out of line the walk keeps no byte in a register for its caller: three instructions a byte
// instead of four, on the loop that takes most of the expansion.
[[gnu::noinline]] const char* findScanStop(const ScanStops& stops, const char* p) {
  return findFirst(
      p, [&stops](char c) { return stops[static_cast<unsigned char>(c)] != ScanStop::PLAIN; });
}

const char* findNameEnd(const char* p) {
  return findFirst(p, [](char c) { return !kContinuesName[static_cast<unsigned char>(c)]; });
}

/// Whether the letter at `p` lies within a name that begins before it. The scan knows
/// `outside` to lie outside any name, and only names and plain bytes lie between the two.
bool continuesEarlierName(const char* outside, const char* p) {
  // Digits and underscores are plain outside a name, so in `1ABC` the name is `ABC`.
  const char* run = p;
  while (run > outside && (isDigit(run[-1]) || run[-1] == '_')) --run;
  // The byte before the run is in a name if it is a letter, and opens one with the run (or
  // with `p`) if it is a `$` or `@` that the next byte makes a name.
  return run > outside && opensMacroName({run - 1, 2}, 0);
}

/// The `quote` that closes the section opened at `open`, or nothing when the text ends first
/// at `end`. A backslash makes the next character ordinary. Strings can be long, so the bytes
/// between the stops are skipped in runs.
template <char quote>
const char* findClosing(const char* open, const char* end) {
  using Stops = StopBytes<quote, '\\'>;
  const char* p = open + 1;
  for (;;) {
    p += Stops::runLength(p, static_cast<std::size_t>(end - p));
    if (p == end) return nullptr;
    if (*p == quote) return p;
    if (end - p <= 2) return nullptr;  // nothing is left after the escaped character
    p += 2;
  }
}

/// The quote that closes the section that the quote at `open` opens, as findClosing.
const char* findClosingQuote(const char* open, const char* end) {
  switch (*open) {
    case '"':
      return findClosing<'"'>(open, end);
    case '\'':
      return findClosing<'\''>(open, end);
    default:
      return findClosing<'`'>(open, end);
  }
}

/// A reference in a scanned text: where it starts, how many bytes it spans (the name, or the
/// literal with its quotes) and its kind.
struct Reference {
  const char* start;
  std::size_t length;
  int kind;
};

/// At the quote that opens a section at `p`: a closed single-quoted section is a literal
/// whatever its length (the conversion rejects the malformed ones), and an unclosed section
/// ends the scan without a reference; both are returned. Any other section is stepped over
/// and the scan goes on.
std::optional<Reference> stepOverQuote(const char*& p, const char* end) {
  const char* close = findClosingQuote(p, end);
  if (close == nullptr) return Reference{end, 0, MacroExpander::NO_REFERENCE};
  const auto length = static_cast<std::size_t>(close + 1 - p);
  if (*p == '\'') return Reference{p, length, MacroExpander::CHAR_LITERAL};
  p = close + 1;
  return std::nullopt;
}

// With no macro defined only character literals can be references, and only
// quotes need a look: the bytes between them are skipped in runs.
Reference findLiteralReference(const char* from, const char* end) {
  using Quotes = StopBytes<'"', '\'', '`'>;
  const char* p = from;
  for (;;) {
    p += Quotes::runLength(p, static_cast<std::size_t>(end - p));
    if (p == end) return Reference{end, 0, MacroExpander::NO_REFERENCE};
    if (const auto found = stepOverQuote(p, end)) return *found;
  }
}

/// The reference to a defined name if the candidate name that starts at `name` is one; `p`
/// receives the candidate's end. Inlined at both its calls, since it runs for every candidate.
[[gnu::always_inline]] inline std::optional<Reference> definedName(const MacroTable& table,
                                                                   const char* name,
                                                                   const char*& p) {
  // A candidate runs as far as names continue; the byte that ends it is examined anew.
  p = findNameEnd(name + 1);
  const std::string_view candidate(name, static_cast<std::size_t>(p - name));
  const auto index = table.lookUp(candidate);
  if (!index) return std::nullopt;
  return Reference{name, candidate.size(), static_cast<int>(*index)};
}

/// The first reference in the text [from, end), which a NUL follows, as `stops` shows the
/// table. The scan walks to the bytes that may begin a reference, and from a letter looks back
/// only as far as it knows to be outside any name, to tell whether the letter begins one.
/// Inlined into the expansion loop: most lines are short, and a call per scan costs as much
/// as the scan.
[[gnu::always_inline]] inline Reference findReference(const MacroTable& table,
                                                      const ScanStops& stops, const char* from,
                                                      const char* end) {
  if (table.size() == 0) return findLiteralReference(from, end);
  const char* p = from;
  for (;;) {
    const char* outside = p;
    p = findScanStop(stops, p);
    const ScanStop stop = stopAt(stops, p);
    if (stop == ScanStop::LETTER) {
      if (continuesEarlierName(outside, p)) {
        p = findNameEnd(p);
      } else if (const auto found = definedName(table, p, p)) {
        return *found;
      }
    } else if (stop == ScanStop::END) {
      if (p == end) return Reference{end, 0, MacroExpander::NO_REFERENCE};
      ++p;
    } else if (stop == ScanStop::QUOTE) {
      if (const auto found = stepOverQuote(p, end)) return *found;
    } else if (!opensMacroName({p, 2}, 0)) {  // a SIGIL; the NUL after the text makes p[1] readable
      ++p;
    } else if (const auto found = definedName(table, p, p)) {
      return *found;
    }
  }
}

/// Puts `text`, which lies outside the line, in place of line[at, at + length).
void spliceLine(std::string& line, std::size_t at, std::size_t length, std::string_view text) {
  // A name and its number are often equally long, and then the tail need not move.
  if (text.size() == length) {
    std::copy(text.begin(), text.end(), line.begin() + static_cast<std::ptrdiff_t>(at));
  } else {
    line.replace(at, length, text);
  }
}

bool contains(const MacroTable::ByteSet& set, std::size_t byte) {
  return (set[byte / 64] >> (byte % 64) & 1) != 0;
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

void formatHexByte(unsigned char value, CharLiteralText& out) {
  constexpr std::string_view digits = "0123456789abcdef";
  out = {'0', 'x', digits[value >> 4], digits[value & 0x0f], '\0'};
}

[[noreturn]] void reportMalformedLiteral(Diagnostics& diag, int lineNumber) {
  diag.enterFatalMode();
  diag.throwMessage(Msg::SyntaxAtTopLevel, lineNumber,
                    {{"problem", "malformed character literal (one character or escape)"}});
}

}  // namespace

std::size_t charLiteralText(std::string_view literal, CharLiteralText& textOut, Diagnostics& diag,
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

MacroExpander::MacroExpander(const MacroTable& table, Diagnostics& diag)
    : table_(table), diag_(diag), scanStops_(kAlwaysStops) {
  markFirstBytes();
}

/// Brings scanStops_ in line with the bytes that begin the names now defined.
void MacroExpander::followFirstBytes() {
  if (stopsVersion_ != table_.firstBytesVersion()) markFirstBytes();
}

void MacroExpander::markFirstBytes() {
  stopsVersion_ = table_.firstBytesVersion();
  const MacroTable::ByteSet& firstBytes = table_.firstBytes();
  for (std::size_t word = 0; word < firstBytes.size(); ++word) {
    for (auto changed = firstBytes[word] ^ stopsFor_[word]; changed != 0; changed &= changed - 1) {
      const std::size_t byte = word * 64 + static_cast<std::size_t>(std::countr_zero(changed));
      const ScanStop opener = nameStop(byte);
      const bool begins = contains(firstBytes, byte) && opener != ScanStop::PLAIN;
      scanStops_[byte] = begins ? opener : kAlwaysStops[byte];
    }
  }
  stopsFor_ = firstBytes;
}

int MacroExpander::expandMacros(std::string& line, int lineNumber) {
  followFirstBytes();
  line_ = &line;
  lineNumber_ = lineNumber;
  replacements_ = 0;
  firstChange_ = std::string::npos;
  const bool completed = expandSource(line.data(), line.data() + line.size(), 0, 0);
  line_ = nullptr;
  return completed && replacements_ > 0 ? 2 : 0;
}

/// Expands at `depth` the references in the text [from, end), which a NUL follows and whose
/// bytes stand in the line from `lineAt` on. At depth 0 the text is the line itself, whose
/// rest after a replacement lies where the replacement ends; deeper it is the replacement,
/// as the table or the frame above holds it, unchanged while its copy in the line expands.
/// Returns false after a reported failure.
bool MacroExpander::expandSource(const char* from, const char* end, std::size_t lineAt, int depth) {
  for (;;) {
    const Reference ref = findReference(table_, scanStops_, from, end);
    if (ref.kind == NO_REFERENCE) return true;
    const std::size_t refStart = lineAt + static_cast<std::size_t>(ref.start - from);
    const auto next = replaceReference(refStart, ref.kind, depth);
    if (!next) return false;
    // The expanded replacement is skipped so that its end never joins the following text
    // into a new name.
    lineAt = *next;
    if (depth == 0) {
      from = line_->data() + lineAt;
      end = line_->data() + line_->size();
    } else {
      from = ref.start + ref.length;
    }
  }
}

/// Replaces the reference at `refStart`, expands the replacement one level deeper and
/// returns the offset just after it, or nothing after a reported failure.
std::optional<std::size_t> MacroExpander::replaceReference(std::size_t refStart, int kind,
                                                           int depth) {
  if (!chainAllows(kind, depth)) return std::nullopt;
  expansionChain_[depth] = kind;
  std::size_t replacedLength = 0;
  // A literal's text lives in this frame: deeper literals must not overwrite it while it is
  // scanned.
  CharLiteralText literalText;
  const std::string_view replacement = replacementFor(kind, refStart, replacedLength, literalText);
  std::string& line = *line_;
  const std::size_t tailLength = line.size() - refStart - replacedLength;
  const std::size_t spaceLeft = refStart < LINE_BUFFER_SIZE ? LINE_BUFFER_SIZE - refStart : 0;
  if (replacement.size() + tailLength + 1 > spaceLeft || ++replacements_ > MAX_REPLACEMENTS) {
    diag_.reportMessage(Msg::ExpansionTooLong, lineNumber_);
    return std::nullopt;
  }
  // The first replacement of a line is made at its top level, the leftmost of all.
  if (replacements_ == 1) firstChange_ = refStart;
  spliceLine(line, refStart, replacedLength, replacement);
  const char* text = replacement.data();
  const char* end = text + replacement.size();
  // Most replacements are numbers, and the walk to their first stop tells that they hold no
  // reference without a deeper scan.
  if (findScanStop(scanStops_, text) != end && !expandSource(text, end, refStart, depth + 1)) {
    return std::nullopt;
  }
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
      diag_.reportMessage(Msg::MacroRecursion, lineNumber_,
                          {{"macro", table_.at(static_cast<std::size_t>(kind)).name}});
      return false;
    }
    if (depth > MAX_EXPANSION_DEPTH) {
      diag_.reportMessage(Msg::ExpansionTooDeep, lineNumber_);
      return false;
    }
  }
  return true;
}

/// The replacement, which a NUL follows, of the reference of `kind` at `refStart`.
std::string_view MacroExpander::replacementFor(int kind, std::size_t refStart,
                                               std::size_t& replacedLength,
                                               CharLiteralText& literalText) {
  if (kind == CHAR_LITERAL) {
    replacedLength =
        charLiteralText(std::string_view(*line_).substr(refStart), literalText, diag_, lineNumber_);
    return {literalText.data(), literalText.size() - 1};
  }
  const MacroEntry& entry = table_.at(static_cast<std::size_t>(kind));
  replacedLength = entry.name.size();
  return entry.value;
}

int MacroExpander::findMacroReference(const std::string& text, std::size_t& refOut) {
  followFirstBytes();
  const Reference ref = findReference(table_, scanStops_, text.data(), text.data() + text.size());
  if (ref.kind != NO_REFERENCE) refOut = static_cast<std::size_t>(ref.start - text.data());
  return ref.kind;
}

}  // namespace pelc
