// Text helpers that the layers share.
#pragma once

#include <cstddef>
#include <string_view>

#include "base/char_class.h"

namespace pelc {

/// True when `text` is empty or holds only blanks.
bool isAllBlank(std::string_view text);

/// ASCII letters compared without regard to case, every other byte by value.
int compareKeywords(std::string_view a, std::string_view b);

/// Whether `a` and `b` are the same but for the case of ASCII letters.
inline bool equalIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (upperCase(a[i]) != upperCase(b[i])) return false;
  }
  return true;
}

}  // namespace pelc
