// The logical line reader: the common lines are found by looking ahead in the
// unread bytes and taken in one step; the others are read character by character.
#include "source/line_reader.h"

#include <algorithm>
#include <array>
#include <optional>

#include "base/char_class.h"
#include "source/byte_runs.h"

namespace pelc {
namespace {

constexpr bool isBrace(int ch) { return ch == '{' || ch == '}'; }

constexpr int upper(int ch) { return ch >= 'a' && ch <= 'z' ? ch - ('a' - 'A') : ch; }

/// Bytes that, outside quotes and comments, are only stored: no line end, join,
/// comment marker, brace or quote among them.
using PlainStops = StopBytes<'\n', '\r', '\\', '/', '{', '}', '"', '\'', '`'>;

/// Bytes inside a quoted section that are only stored: no line end, join or
/// escape, and no quote character that might close the section.
using QuotedStops = StopBytes<'\n', '\r', '\\', '"', '\'', '`'>;

/// Bytes inside a comment (read raw) that are only dropped: no line end and no
/// `*` that might close the comment.
using CommentStops = StopBytes<'\n', '\r', '*'>;

/// Bytes inside a comment that a look-ahead stops at: a newline, to count it, and
/// a `*` that might close the comment.
using CommentScanStops = StopBytes<'\n', '*'>;

/// A stretch of the unread bytes that a logical line leaves out of its text: a
/// comment, or a line join.
struct Gap {
  std::size_t start;
  std::size_t end;
  bool isComment;
  int32_t newlines;  // inside a comment
};

/// The gaps of a line found by looking ahead, in order.
class Gaps {
 public:
  /// Just past the gap; 0 when the line has too many for a look-ahead.
  std::size_t add(const Gap& gap) {
    if (count_ == list_.size()) return 0;
    list_[count_++] = gap;
    bytes_ += gap.end - gap.start;
    anyComment_ = anyComment_ || gap.isComment;
    return gap.end;
  }
  std::size_t count() const { return count_; }
  const Gap& operator[](std::size_t i) const { return list_[i]; }
  std::size_t bytes() const { return bytes_; }
  bool anyComment() const { return anyComment_; }

 private:
  std::size_t count_ = 0;
  std::size_t bytes_ = 0;
  bool anyComment_ = false;
  // Only the first count_ are set: most lines have none.
  std::array<Gap, 4> list_;
};

/// How a line found by looking ahead ends.
enum class LineEnd {
  NotCommon,  // the line is left to the character-by-character read
  Lf,
  CrLf,
  BeforeNext,  // before the character after it, which is given back
};

/// A line found by looking ahead: `length` bytes, gaps included, then its end.
struct CommonLine {
  std::size_t length = 0;
  LineEnd end = LineEnd::NotCommon;
};

/// Every character handed out, the last one too, must find room in the line; a
/// line that would not is the full read's, which reports it.
CommonLine withRoom(std::size_t length, LineEnd end, const Gaps& gaps) {
  if (length - gaps.bytes() >= kMaxLogicalLine) return {};
  return {length, end};
}

/// The line before `at`, where a newline should follow; a lone CR is the full
/// read's.
CommonLine lineBeforeNewline(std::string_view bytes, std::size_t at, const Gaps& gaps) {
  if (at < bytes.size() && bytes[at] == '\n') return withRoom(at, LineEnd::Lf, gaps);
  if (at + 1 < bytes.size() && bytes[at] == '\r' && bytes[at + 1] == '\n') {
    return withRoom(at, LineEnd::CrLf, gaps);
  }
  return {};
}

/// With split braces: a brace after text ends the line, except on a REM line,
/// where it is text and the scan goes on (nullopt); a brace first on its line
/// starts one that holds it and the blanks after it.
std::optional<CommonLine> lineAtBrace(std::string_view bytes, std::size_t brace, const Gaps& gaps) {
  // Whether there is text, and what it says, would have to be found without the gaps.
  if (gaps.count() != 0) return CommonLine{};
  std::size_t textStart = 0;
  while (textStart < brace && isBlank(static_cast<unsigned char>(bytes[textStart]))) ++textStart;
  if (textStart != brace) {
    if (isRemLine(bytes.substr(textStart, brace - textStart))) return std::nullopt;
    return withRoom(brace, LineEnd::BeforeNext, gaps);
  }
  std::size_t end = brace + 1;
  while (end < bytes.size() && bytes[end] != '\n' && bytes[end] != '\r' &&
         isBlank(static_cast<unsigned char>(bytes[end]))) {
    ++end;
  }
  if (end == bytes.size() || bytes[end] == '/' || bytes[end] == '\\') return CommonLine{};
  if (bytes[end] == '\n' || bytes[end] == '\r') return lineBeforeNewline(bytes, end, gaps);
  return withRoom(end, LineEnd::BeforeNext, gaps);
}

/// Just past the quote that closes the quoted section opened at `open`; 0 when a
/// line end or an escape comes first.
std::size_t afterQuoted(std::string_view bytes, StopFinder<PlainStops>& stops, std::size_t open) {
  const char quote = bytes[open];
  for (std::size_t at = stops.next(open + 1); at < bytes.size(); at = stops.next(at + 1)) {
    const char ch = bytes[at];
    if (ch == quote) return at + 1;
    if (ch == '\n' || ch == '\r' || ch == '\\') break;
    // Other quotes, slashes and braces are text inside quotes.
  }
  return 0;
}

// A comment is read raw: no line joins inside it, and its `*/` must stand
// together. The line goes on after it, so its newlines are counted.
std::size_t afterComment(std::string_view bytes, std::size_t open, Gaps& gaps) {
  const std::size_t first = open + 2;
  StopFinder<CommentScanStops> inside(bytes.data(), bytes.size(), first);
  int32_t newlines = 0;
  for (std::size_t at = inside.next(first); at < bytes.size(); at = inside.next(at + 1)) {
    if (bytes[at] == '\n') {
      ++newlines;
    } else if (at + 1 < bytes.size() && bytes[at + 1] == '/') {
      return gaps.add(Gap{open, at + 2, true, newlines});
    }
  }
  return 0;
}

// The byte after a slash decides whether it opens a comment; after a line join
// that is for the full read to find out.
std::size_t afterSlash(std::string_view bytes, std::size_t slash, Gaps& gaps) {
  const std::size_t next = slash + 1;
  if (next == bytes.size() || bytes[next] == '\\') return 0;
  return bytes[next] == '*' ? afterComment(bytes, slash, gaps) : next;
}

/// Just past the line join at `backslash`; 0 when the backslash is text.
std::size_t afterJoin(std::string_view bytes, std::size_t backslash, Gaps& gaps) {
  std::size_t end = backslash + 1;
  if (end < bytes.size() && bytes[end] == '\r') ++end;
  if (end == bytes.size() || bytes[end] != '\n') return 0;
  return gaps.add(Gap{backslash, end + 1, false, 0});
}

/// Looks ahead in `ahead`, the unread bytes, for a logical line of the kinds
/// that most sources are made of: a physical line, or a few of them joined by
/// line joins and comments, whose quoted sections close on it without escapes,
/// which holds no lone CR, and whose braces stand after its text or first on it.
/// Every other line is left to the character-by-character read.
CommonLine findCommonLine(std::string_view ahead, bool splitBraces, Gaps& gaps) {
  // Longer lines are the full read's: it reports them.
  const std::string_view bytes(ahead.data(), std::min(ahead.size(), kMaxLogicalLine + 1));
  StopFinder<PlainStops> stops(bytes.data(), bytes.size(), 0);
  for (std::size_t at = stops.next(0); at < bytes.size();) {
    const int ch = static_cast<unsigned char>(bytes[at]);
    std::size_t next = at + 1;  // where the scan goes on; 0 where it cannot
    if (ch == '\n') {
      return withRoom(at, LineEnd::Lf, gaps);
    } else if (ch == '\r') {
      return lineBeforeNewline(bytes, at, gaps);
    } else if (isQuote(ch)) {
      next = afterQuoted(bytes, stops, at);
    } else if (ch == '/') {
      next = afterSlash(bytes, at, gaps);
    } else if (ch == '\\') {
      next = afterJoin(bytes, at, gaps);
    } else if (splitBraces) {
      if (const std::optional<CommonLine> line = lineAtBrace(bytes, at, gaps)) return *line;
    }
    if (next == 0) return {};
    at = stops.next(next);
  }
  return {};
}

/// Takes the bytes [from, to) of the line as ordinary characters.
void takeText(SourceReader& reader, std::string_view bytes, std::size_t from, std::size_t to,
              std::string& text) {
  text.append(bytes.data() + from, to - from);
  reader.takeOrdinary(to - from);
}

/// Takes the line that findCommonLine found in `ahead`, as the character-by-
/// character read would have taken it, into the reader's state and `text`.
void takeCommonLine(SourceReader& reader, std::string_view ahead, const CommonLine& line,
                    const Gaps& gaps, std::string& text) {
  std::size_t from = 0;
  for (std::size_t i = 0; i < gaps.count(); ++i) {
    const Gap& gap = gaps[i];
    takeText(reader, ahead, from, gap.start, text);
    if (gap.isComment) {
      reader.takeRaw(gap.end - gap.start, gap.newlines);
    } else {
      reader.skipJoin(gap.end - gap.start);
    }
    from = gap.end;
  }
  switch (line.end) {
    case LineEnd::Lf:
      // The LF is stored as it stands in the source, with the text before it.
      text.append(ahead.data() + from, line.length + 1 - from);
      reader.takeToNewline(line.length - from, 1);
      return;
    case LineEnd::CrLf:
      text.append(ahead.data() + from, line.length - from);
      text.push_back('\n');
      reader.takeToNewline(line.length - from, 2);
      return;
    case LineEnd::BeforeNext:
    case LineEnd::NotCommon:
      break;
  }
  takeText(reader, ahead, from, line.length, text);
  // The character after the line is handed out and given back, as the full read does.
  reader.takeOrdinary(1);
  reader.ungetSourceChar(static_cast<unsigned char>(ahead[line.length]));
}

/// The state of one readLogicalLine call.
class LineBuilder {
 public:
  LineBuilder(SourceReader& reader, Diagnostics& diag, std::string& text, bool splitBraces)
      : reader_(reader), diag_(diag), text_(text), splitBraces_(splitBraces) {}

  void run();
  bool commentRemoved() const { return commentRemoved_; }
  bool endedWithNewline() const { return endedWithNewline_; }

 private:
  enum class Next { Continue, EndLine };

  Next onQuoted(int ch);
  Next onComment(int ch);
  Next onPlain(int ch);
  Next onBrace(int ch);
  void checkRoom();
  void takeRun();
  void takePlainRun();
  void store(int ch) { text_.push_back(static_cast<char>(ch)); }

  SourceReader& reader_;
  Diagnostics& diag_;
  std::string& text_;
  const bool splitBraces_;
  bool inQuote_ = false;
  int quoteChar_ = 0;
  bool inComment_ = false;
  bool splitPending_ = false;
  bool textSeen_ = false;
  bool commentRemoved_ = false;
  bool endedWithNewline_ = false;
};

void LineBuilder::run() {
  takeRun();
  int ch = reader_.getSourceChar(false);
  while (ch != END_OF_SOURCE) {
    checkRoom();
    const Next next = inQuote_ ? onQuoted(ch) : inComment_ ? onComment(ch) : onPlain(ch);
    if (next == Next::EndLine) return;
    takeRun();
    ch = reader_.getSourceChar(inComment_);
  }
}

// Most of a line, and most of a quoted section or comment, is bytes that need no
// decision: they are stored, or dropped, as one run instead of char by char.
void LineBuilder::takeRun() {
  if (inComment_) {
    reader_.takeRun<CommentStops>(reader_.bytes().size());
  } else if (inQuote_) {
    text_.append(reader_.takeRun<QuotedStops>(kMaxLogicalLine - text_.size()));
  } else if (!splitPending_) {
    takePlainRun();
  }
}

void LineBuilder::takePlainRun() {
  const std::string_view run = reader_.takeRun<PlainStops>(kMaxLogicalLine - text_.size());
  if (run.empty()) return;
  text_.append(run);
  if (!textSeen_) {
    for (const char c : run) {
      if (!isBlank(static_cast<unsigned char>(c))) {
        textSeen_ = true;
        break;
      }
    }
  }
}

// Called before every store, so an escaped pair inside quotes cannot carry the
// line past its buffer either.
void LineBuilder::checkRoom() {
  if (text_.size() < kMaxLogicalLine) return;
  diag_.throwMessage(Msg::LineTooLong, reader_.currentLine());
}

LineBuilder::Next LineBuilder::onQuoted(int ch) {
  store(ch);
  if (ch == '\\') {
    const int escaped = reader_.getSourceChar(false);
    if (escaped == END_OF_SOURCE) return Next::EndLine;
    checkRoom();
    store(escaped);
  } else if (ch == quoteChar_) {
    inQuote_ = false;
  }
  return Next::Continue;
}

LineBuilder::Next LineBuilder::onComment(int ch) {
  if (ch == '*') {
    const int next = reader_.getSourceChar(true);
    if (next == '/') {
      inComment_ = false;
    } else {
      reader_.ungetSourceChar(next);
    }
  }
  return Next::Continue;
}

LineBuilder::Next LineBuilder::onPlain(int ch) {
  if (ch == '\n') {
    store(ch);
    endedWithNewline_ = true;
    return Next::EndLine;
  }
  if (ch == '/') {
    const int next = reader_.getSourceChar(false);
    if (next == '*') {
      inComment_ = true;
      commentRemoved_ = true;
      return Next::Continue;
    }
    reader_.ungetSourceChar(next);
  }
  if (splitPending_ && !isBlank(ch)) {
    reader_.ungetSourceChar(ch);
    return Next::EndLine;
  }
  if (splitBraces_ && isBrace(ch)) return onBrace(ch);
  if (!isBlank(ch)) {
    textSeen_ = true;
    if (isQuote(ch)) {
      inQuote_ = true;
      quoteChar_ = ch;
    }
  }
  store(ch);
  return Next::Continue;
}

LineBuilder::Next LineBuilder::onBrace(int ch) {
  if (isRemLine(text_)) {
    store(ch);
    return Next::Continue;
  }
  if (textSeen_) {
    reader_.ungetSourceChar(ch);
    return Next::EndLine;
  }
  store(ch);
  splitPending_ = true;
  return Next::Continue;
}

/// Reads the line character by character, for the lines that findCommonLine
/// leaves alone. Returns whether a comment was removed.
// Kept out of line: inlined, it would weigh on every common line too.
[[gnu::noinline]] bool readFullLine(SourceReader& reader, Diagnostics& diag, std::string& text,
                                    bool splitBraces, LineInfo& info) {
  // Only a caller that did not set up its buffer pays for it, and only once.
  if (text.capacity() < kLineBufferSize) text.reserve(kLineBufferSize);
  LineBuilder builder(reader, diag, text, splitBraces);
  builder.run();
  info.endedWithNewline = builder.endedWithNewline();
  return builder.commentRemoved();
}

}  // namespace

std::size_t readLogicalLine(SourceReader& reader, Diagnostics& diag, std::string& text,
                            bool splitBraces, LineInfo& info, bool* commentRemoved) {
  text.clear();
  // A character that the last line gave back goes back into the bytes, so that
  // this line too can be looked ahead at.
  reader.settlePending();
  info.startPos = reader.sourcePosition();
  info.startLine = reader.currentLine();
  bool removed = false;
  const std::string_view ahead = reader.unreadBytes();
  Gaps gaps;
  const CommonLine line = findCommonLine(ahead, splitBraces, gaps);
  if (line.end != LineEnd::NotCommon) {
    takeCommonLine(reader, ahead, line, gaps, text);
    info.endedWithNewline = line.end == LineEnd::Lf || line.end == LineEnd::CrLf;
    removed = gaps.anyComment();
  } else {
    removed = readFullLine(reader, diag, text, splitBraces, info);
  }
  info.endPos = reader.sourcePosition();
  if (commentRemoved != nullptr) *commentRemoved = removed;
  return text.size();
}

bool isRemLine(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && isBlank(static_cast<unsigned char>(text[i]))) ++i;
  const std::string_view rest = text.substr(i);
  if (rest.size() < 3) return false;
  if (upper(rest[0]) != 'R' || upper(rest[1]) != 'E' || upper(rest[2]) != 'M') return false;
  return rest.size() == 3 || isBlank(static_cast<unsigned char>(rest[3]));
}

}  // namespace pelc
