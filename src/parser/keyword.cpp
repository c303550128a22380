// Keyword extraction and case-insensitive keyword order.
#include "parser/keyword.h"

namespace pelc {

bool isAllBlank(std::string_view text) {
  for (const char c : text) {
    if (!isBlank(static_cast<unsigned char>(c))) return false;
  }
  return true;
}

namespace {

int foldCase(unsigned char c) { return (c >= 'a' && c <= 'z') ? c - 'a' + 'A' : c; }

}  // namespace

Keyword extractKeyword(std::string_view line) {
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

int compareKeywords(std::string_view a, std::string_view b) {
  const std::size_t common = a.size() < b.size() ? a.size() : b.size();
  for (std::size_t i = 0; i < common; ++i) {
    const int left = foldCase(static_cast<unsigned char>(a[i]));
    const int right = foldCase(static_cast<unsigned char>(b[i]));
    if (left != right) return left < right ? -1 : 1;
  }
  if (a.size() == b.size()) return 0;
  return a.size() < b.size() ? -1 : 1;
}

}  // namespace pelc
