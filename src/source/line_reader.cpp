// The logical line reader.
#include "source/line_reader.h"

#include <array>

#include "source/byte_runs.h"
#include "source/char_class.h"

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
  diag_.reportMessage(Msg::LineTooLong, reader_.currentLine());
  // The message is a thrown one; the line must not outgrow its buffer even if that changes.
  throw AbortFile{};
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

}  // namespace

std::size_t readLogicalLine(SourceReader& reader, Diagnostics& diag, std::string& text,
                            bool splitBraces, LineInfo& info, int* commentFlag) {
  text.clear();
  // Only a caller that did not set up its buffer pays for it, and only once.
  if (text.capacity() < kLineBufferSize) text.reserve(kLineBufferSize);
  info.startPos = reader.sourcePosition();
  info.startLine = reader.currentLine();
  LineBuilder builder(reader, diag, text, splitBraces);
  builder.run();
  info.endPos = reader.sourcePosition();
  info.endedWithNewline = builder.endedWithNewline();
  if (commentFlag != nullptr) *commentFlag = builder.commentRemoved() ? 1 : 0;
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
