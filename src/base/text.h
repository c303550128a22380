// Text helpers that the layers share.
#pragma once

#include <string_view>

namespace pelc {

/// True when `text` is empty or holds only blanks.
bool isAllBlank(std::string_view text);

/// ASCII letters compared without regard to case, every other byte by value.
int compareKeywords(std::string_view a, std::string_view b);

}  // namespace pelc
