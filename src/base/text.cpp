// Text helpers that the layers share.
#include "base/text.h"

#include "base/char_class.h"

namespace pelc {

bool isAllBlank(std::string_view text) {
  for (const char c : text) {
    if (!isBlank(static_cast<unsigned char>(c))) return false;
  }
  return true;
}

int compareKeywords(std::string_view a, std::string_view b) {
  const std::size_t common = a.size() < b.size() ? a.size() : b.size();
  for (std::size_t i = 0; i < common; ++i) {
    const int left = upperCase(a[i]);
    const int right = upperCase(b[i]);
    if (left != right) return left < right ? -1 : 1;
  }
  if (a.size() == b.size()) return 0;
  return a.size() < b.size() ? -1 : 1;
}

}  // namespace pelc
