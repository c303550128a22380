// The leading keyword of a logical line.
#pragma once

#include <cstddef>
#include <string_view>

#include "base/char_class.h"

namespace pelc {

inline constexpr std::size_t kKeywordField = 32;

/// The keyword of a line: a view into the line it was extracted from, so it is
/// valid only as long as that text is neither changed nor moved.
class Keyword {
 public:
  bool blank() const { return blank_; }
  std::string_view text() const { return text_; }
  bool isDirective() const { return !text_.empty() && text_.front() == '#'; }
  /// Index in the line where the rest begins.
  std::size_t restOffset() const { return restOffset_; }

 private:
  friend Keyword extractKeyword(std::string_view line);
  std::string_view text_;
  std::size_t restOffset_ = 0;
  bool blank_ = true;
};

/// Leading blanks skipped; `{` or `}` alone; else `#` and up to 30 letters, or
/// up to 31 letters (a keyword fits a 32-byte field with its NUL). A
/// line that is all blank has no keyword. Inline: every line is asked, and
/// the keyword then stays in registers.
inline Keyword extractKeyword(std::string_view line) {
  Keyword keyword;
  const char* const end = line.data() + line.size();
  const char* at = line.data();
  while (at != end && isBlank(static_cast<unsigned char>(*at))) ++at;
  if (at == end) return keyword;
  keyword.blank_ = false;
  const char* const start = at;
  std::size_t letters = kKeywordField - 1;
  if (*at == '{' || *at == '}') {
    letters = 0;
    ++at;
  } else if (*at == '#') {
    letters = kKeywordField - 2;
    ++at;
  }
  const char* const stop = static_cast<std::size_t>(end - at) < letters ? end : at + letters;
  while (at != stop && isLetter(*at)) ++at;
  keyword.text_ = std::string_view(start, static_cast<std::size_t>(at - start));
  keyword.restOffset_ = static_cast<std::size_t>(at - line.data());
  return keyword;
}

}  // namespace pelc
