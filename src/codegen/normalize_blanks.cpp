// Blank normalisation of statement lines that are written again after a rewrite.
#include "codegen/normalize_blanks.h"

#include <cstddef>

#include "source/char_class.h"

namespace pelc {
namespace {

/// Rewrites a text in place; the write index never passes the read index.
class BlankNormalizer {
 public:
  explicit BlankNormalizer(std::string& text) : text_(text) {}

  void run() {
    while (read_ < text_.size() && isBlank(text_[read_])) ++read_;
    write_ = read_;
    while (read_ < text_.size()) {
      if (quote_ != '\0') {
        copyQuoted();
      } else {
        copyPlain();
      }
    }
    while (write_ > 0 && isBlank(text_[write_ - 1])) --write_;
    text_.resize(write_);
  }

 private:
  void put(char c) { text_[write_++] = c; }

  void copyQuoted() {
    const char c = text_[read_++];
    put(c);
    if (c == '\\') {
      if (read_ < text_.size()) put(text_[read_++]);
    } else if (c == quote_) {
      quote_ = '\0';
    }
  }

  void copyPlain() {
    const char c = text_[read_++];
    if (isBlank(c)) {
      if (!inBlankRun_) put(' ');
      inBlankRun_ = true;
      return;
    }
    inBlankRun_ = false;
    if (isQuote(c)) quote_ = c;
    put(c);
  }

  std::string& text_;
  std::size_t read_ = 0;
  std::size_t write_ = 0;
  char quote_ = '\0';
  bool inBlankRun_ = false;
};

}  // namespace

void normalizeBlanks(std::string& text) { BlankNormalizer(text).run(); }

}  // namespace pelc
